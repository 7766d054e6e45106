// Private header of the working file model: helpers its sources share.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace model::detail {

// ASCII case is ignored in file names, as on the system the files come from.
bool EqualsIgnoreCase(std::string_view a, std::string_view b) noexcept;
bool StartsWithIgnoreCase(std::string_view s, std::string_view prefix) noexcept;
bool EndsWithIgnoreCase(std::string_view s, std::string_view suffix) noexcept;

// Files (not folders) of folder whose names begin with prefix and end with
// suffix, ignoring case; full paths, sorted by name.
std::vector<std::string> FilesWithPrefix(const std::string& folder, std::string_view prefix, std::string_view suffix);

void RemoveFile(const std::string& path) noexcept;

}  // namespace model::detail
