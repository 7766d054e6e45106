// Writing a whole file so that the old one is replaced only by a complete
// new one: a temporary file beside the target, flushed and renamed over it.
// An unfinished file is removed when the object goes away.
#ifndef IMGFLT_INTERFACE_ATOMIC_FILE_H
#define IMGFLT_INTERFACE_ATOMIC_FILE_H

#include <cstddef>
#include <string>

namespace imgflt {

class AtomicFile {
 public:
  AtomicFile() noexcept = default;
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;
  ~AtomicFile();

  // Each returns false with errno set on failure.
  bool Open(const std::string& path) noexcept;
  bool Write(const void* data, size_t bytes) noexcept;
  bool Commit() noexcept;  // flush, close, rename over the target

 private:
  std::string target_;
  std::string temp_;
  int fd_ = -1;
};

}  // namespace imgflt

#endif
