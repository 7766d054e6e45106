// Private header of ZoImgFileIO: whole files for the codecs. An input file
// is read through a read-only mapping; a file that replaces another is
// written beside it under a temporary name, flushed and renamed over it.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace zoimg::detail {

// Read-only view of a whole file.
class MappedFile {
 public:
  MappedFile() = default;
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  // kOk; kErrOpen (missing, no access), kErrRead (not a regular file, the
  // mapping fails), kErrBadFormat (empty file).
  int32_t Open(const std::string& path) noexcept;
  std::span<const uint8_t> Bytes() const noexcept { return {data_, size_}; }

 private:
  const uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
};

// A new file that takes the place of path only on Commit(); dropped
// unfinished otherwise, so the old file is never touched by a failure.
class StagedFile {
 public:
  StagedFile() = default;
  ~StagedFile();
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  // kOk, kErrBadString (empty path), kErrCreate (no folder, not writable).
  int32_t Create(const std::string& path) noexcept;
  int Fd() const noexcept { return fd_; }
  const std::string& TempPath() const noexcept { return temp_; }
  // kOk or kErrWrite.
  int32_t Write(std::span<const uint8_t> data) noexcept;
  // Flushes, closes and renames over the final name. kOk or kErrWrite.
  int32_t Commit() noexcept;

 private:
  std::string path_;
  std::string temp_;
  int fd_ = -1;
};

// Writes all of data at offset (pwrite, retried on EINTR). False on failure.
bool WriteAllAt(int fd, std::span<const uint8_t> data, uint64_t offset) noexcept;
// Flushes the folder that holds path, so that a rename in it is durable.
void SyncFolderOf(const std::string& path) noexcept;

}  // namespace zoimg::detail
