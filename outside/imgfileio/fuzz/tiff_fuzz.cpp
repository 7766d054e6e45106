// libFuzzer target: the TIFF reader on any bytes (page count, page facts,
// pages 1 to 3), through the codec itself and through the sniffing entry.
#include "read_pages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> file(data, size);
  zoimg::detail::TiffPageCount(file);
  zoimg::detail::MemoryTotalPage(file);
  fuzzing::ReadPages(file, zoimg::detail::TiffPageInfo, zoimg::detail::TiffReadPage);
  return 0;
}
