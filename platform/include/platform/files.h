// File facts the program asks of files it does not own.
#pragma once

#include <string_view>

namespace platform {

// A file is read-only when it exists and cannot be written: it cannot be
// opened for writing, its file system is mounted read-only, or none of its
// write permission bits is set. The last rule is the file's own read-only
// mark, which holds even for a user whom the system lets write anyway.
// A missing file is not read-only.
bool IsReadOnlyFile(std::string_view path) noexcept;

}  // namespace platform
