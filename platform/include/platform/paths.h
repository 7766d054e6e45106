// Folders the system is described with, and names for temporary files.
// Every folder string returned here ends in '/'.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Folder of the running executable ($VISTEL_PROGRAM_DIR when set).
std::string ProgramFolder() noexcept;

// Folder of the running executable itself, whatever $VISTEL_PROGRAM_DIR says
// (where the libraries that ship with the program lie).
std::string ExecutableFolder() noexcept;

// Same, without the trailing '/' when trailingSlash is false, truncated to a
// buffer of bufferSize bytes (bufferSize - 1 characters; 0 = no limit).
std::string ProgramFolder(bool trailingSlash, std::size_t bufferSize) noexcept;

// $TMPDIR when set and a directory, else "/tmp/". Empty when the result does
// not fit a buffer of bufferSize bytes ("cannot report"; 0 = no limit).
std::string TempFolder(std::size_t bufferSize = 0) noexcept;

// $VISTEL_WINDOWS_DIR when set, else "/etc/".
std::string WindowsFolder() noexcept;

// $VISTEL_SYSTEM_DIR when set, else the folder holding the C library.
std::string SystemFolder() noexcept;

// GetTempFileName-style: folder + first three characters of prefix + four
// upper-case hex digits + ".tmp", created empty and exclusively. Empty string
// on failure (errno set).
std::string CreateTempFileName(std::string_view folder, std::string_view prefix) noexcept;

// True for an absolute path whose file name components hold no control
// character and none of <>:"|?*\ (so the files can move to Windows shares).
bool IsValidPathName(std::string_view path) noexcept;

// Joins a folder and a name with exactly one '/' between them.
std::string JoinPath(std::string_view folder, std::string_view name) noexcept;

}  // namespace platform
