// libFuzzer target of the PDF reader: the input becomes a file, which is
// counted, described and its first page read through the public functions.
// Pages whose reading would decode or render more than kMaxPixels are only
// described, so that one input never takes long. A page that reads must be
// a valid image of the size and depth its attributes gave.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "ZoImgFileIO.h"

namespace {

constexpr uint64_t kMaxPixels = uint64_t(1) << 21;

// One file for the whole run, removed at exit.
const std::string& InputPath() {
  static const std::string path = [] {
    const char* tmp = std::getenv("TMPDIR");
    std::string templ = std::string(tmp && *tmp ? tmp : "/tmp") + "/pdf_fuzz.XXXXXX";
    int fd = mkstemp(templ.data());
    if (fd < 0) std::abort();
    close(fd);
    static std::string removeAtExit;
    removeAtExit = templ;
    std::atexit([] { unlink(removeAtExit.c_str()); });
    return templ;
  }();
  return path;
}

bool WriteInput(const uint8_t* data, size_t size) {
  int fd = open(InputPath().c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (fd < 0) return false;
  size_t done = 0;
  while (done < size) {
    ssize_t n = write(fd, data + done, size - done);
    if (n <= 0) break;
    done += size_t(n);
  }
  close(fd);
  return done == size;
}

}  // namespace

// fontconfig, which poppler asks for fonts, keeps its caches to the end.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!WriteInput(data, size)) return 0;
  const std::string& path = InputPath();
  (void)zoimg::GetTotalPage(path);
  (void)zoimg::GetPageFileType(path, 0);
  int32_t bits = 0, width = 0, height = 0, xDpi = 0, yDpi = 0, compression = 0;
  if (zoimg::GetImageFileAttributes(path, 1, &bits, &width, &height, &xDpi, &yDpi, &compression) != 0) return 0;
  if (width <= 0 || height <= 0 || uint64_t(width) * uint64_t(height) > kMaxPixels) return 0;
  zoimg::PageImage page;
  if (zoimg::ReadPage(path, 1, &page) != zoimg::kOk) return 0;
  if (!page.IsValid()) std::abort();
  // A PDF page reads as what its attributes promised.
  if (compression == zoimg::PDF && (page.width != width || page.height != height || page.bitsPerPixel != bits))
    std::abort();
  return 0;
}
