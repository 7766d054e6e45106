// Opening a document with the application the desktop associates with its
// type (the shell's "open" verb). Results as the shell gives them: above 32
// success, 31 no application is associated with the type, 2 the file does
// not exist, 0 the opener could not be started.
#pragma once

#include <string>

namespace platform {

inline constexpr int kOpenNoAssociation = 31;
inline constexpr int kOpenFileNotFound = 2;
inline constexpr int kOpenSucceeded = 42;

// Asks xdg-mime for the default application of the file's type, then hands
// the file to xdg-open without waiting for it.
int OpenDocument(const std::string& path);

}  // namespace platform
