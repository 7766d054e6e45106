// libFuzzer target: the JPEG reader on any bytes (header facts, the stream
// decoder and the file entry).
#include "read_pages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> file(data, size);
  zoimg::detail::MemoryTotalPage(file);
  fuzzing::ReadPages(
      file,
      [](std::span<const uint8_t> f, int32_t page, zoimg::detail::PageInfo* info) {
        const int32_t err = zoimg::detail::JpegPageInfo(f, info);
        return err == zoimg::kOk && page != 1 ? zoimg::kErrPageNotFound : err;
      },
      [](std::span<const uint8_t> f, int32_t, zoimg::PageImage* out) { return zoimg::detail::DecodeJpeg(f, out); });
  return 0;
}
