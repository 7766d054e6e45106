// Whole files for the codecs: read-only mappings of inputs and files staged
// under a temporary name beside their final name.
#include "files.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>

#include "ZoImgFileIO.h"

namespace zoimg::detail {

MappedFile::~MappedFile() {
  if (data_ != nullptr) munmap(const_cast<uint8_t*>(data_), size_);
}

int32_t MappedFile::Open(const std::string& path) noexcept {
  if (path.empty() || path.find('\0') != std::string::npos) return kErrBadString;
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return kErrOpen;
  struct stat st {};
  int32_t result = kOk;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    result = kErrRead;
  } else if (st.st_size <= 0) {
    result = kErrBadFormat;
  } else {
    // A private mapping: the file is read in place, nothing is copied until
    // a page is touched.
    void* p = mmap(nullptr, std::size_t(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    if (p == MAP_FAILED) {
      result = errno == ENOMEM ? kErrNoMemory : kErrRead;
    } else {
      data_ = static_cast<const uint8_t*>(p);
      size_ = std::size_t(st.st_size);
    }
  }
  close(fd);
  return result;
}

StagedFile::~StagedFile() {
  if (fd_ >= 0) close(fd_);
  if (!temp_.empty()) unlink(temp_.c_str());
}

int32_t StagedFile::Create(const std::string& path) noexcept {
  if (path.empty() || path.back() == '/' || path.find('\0') != std::string::npos) return kErrBadString;
  try {
    std::size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    // The old file's permissions carry over; a new file gets 0666 less the
    // umask, as open() gives it.
    mode_t mode = 0666;
    struct stat st {};
    bool keepMode = stat(path.c_str(), &st) == 0;
    std::random_device rd;
    for (int attempt = 0; attempt < 16; ++attempt) {
      std::string temp = folder + "." + base + "." + std::to_string(rd() % 1000000u) + ".tmp";
      int fd = open(temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
      if (fd >= 0) {
        if (keepMode) (void)fchmod(fd, st.st_mode & 07777);
        fd_ = fd;
        temp_ = std::move(temp);
        path_ = path;
        return kOk;
      }
      if (errno != EEXIST) return kErrCreate;
    }
  } catch (...) {
    return kErrNoMemory;
  }
  return kErrCreate;
}

bool WriteAllAt(int fd, std::span<const uint8_t> data, uint64_t offset) noexcept {
  while (!data.empty()) {
    ssize_t n = pwrite(fd, data.data(), data.size(), off_t(offset));
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return false;
    data = data.subspan(std::size_t(n));
    offset += uint64_t(n);
  }
  return true;
}

int32_t StagedFile::Write(std::span<const uint8_t> data) noexcept {
  if (fd_ < 0) return kErrWrite;
  off_t at = lseek(fd_, 0, SEEK_CUR);
  if (at < 0 || !WriteAllAt(fd_, data, uint64_t(at))) return kErrWrite;
  return lseek(fd_, off_t(at) + off_t(data.size()), SEEK_SET) < 0 ? kErrWrite : kOk;
}

void SyncFolderOf(const std::string& path) noexcept {
  std::size_t slash = path.rfind('/');
  std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
  int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    // The rename is done either way; a failed flush of the folder only
    // weakens its durability, so it is not reported.
    (void)fsync(dir);
    close(dir);
  }
}

int32_t StagedFile::Commit() noexcept {
  if (fd_ < 0) return kErrWrite;
  bool ok = fsync(fd_) == 0;
  ok = close(fd_) == 0 && ok;
  fd_ = -1;
  if (!ok || rename(temp_.c_str(), path_.c_str()) != 0) return kErrWrite;
  temp_.clear();
  SyncFolderOf(path_);
  return kOk;
}

}  // namespace zoimg::detail
