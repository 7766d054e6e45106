// Filling in the version texts of the caller's records.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/paths.h"
#include "platform/version_record.h"
#include "verdisp_private.h"

namespace verdisp {
namespace {

constexpr std::size_t kMaxPath = 259;

std::string Field(const char (&field)[64]) { return std::string(field, strnlen(field, sizeof field)); }

std::string FolderOf(int32_t kind) {
  switch (kind) {
    case ZOVERDISP_FOLDER_WINDOWS: return platform::WindowsFolder();
    case ZOVERDISP_FOLDER_SYSTEM: return platform::SystemFolder();
    case ZOVERDISP_FOLDER_PROGRAM: return platform::ProgramFolder();
    default: return {};  // callers pass no other kind; such a record lists as missing
  }
}

}  // namespace

std::string RecordPath(const RELATION_LIB_INFO& record) {
  std::string path = FolderOf(record.folderKind);
  if (path.empty()) return {};
  if (path.back() != '/') path += '/';
  std::string sub = Field(record.subFolder);
  std::replace(sub.begin(), sub.end(), '\\', '/');  // records made for the other system's separator
  if (!sub.empty()) {
    path += sub;
    if (path.back() != '/') path += '/';
  }
  path += Field(record.fileName);
  if (path.size() > kMaxPath) return {};
  return path;
}

std::string VersionText(const std::string& path) {
  if (path.empty() || platform::GetFileVersionInfoSize(path) == 0) return ZOVERDISP_NOT_EXIST;
  std::optional<platform::VersionRecord> record = platform::ReadVersionRecord(path);
  if (!record) return ZOVERDISP_NOT_EXIST;
  if (record->translations.empty()) {
    // Nothing names the string table to read: the fixed version is the
    // best answer a user can get.
    const auto& v = record->fileVersion;
    char text[32];
    std::snprintf(text, sizeof text, "%d.%d.%d.%d", v[0], v[1], v[2], v[3]);
    return text;
  }
  char query[64];
  std::snprintf(query, sizeof query, "\\StringFileInfo\\%04X%04X\\%s", record->translations.front().first,
                record->translations.front().second, "FileVersion");
  return record->Query(query).value_or(std::string());
}

void FillVersions(std::span<RELATION_LIB_INFO> records) {
  for (RELATION_LIB_INFO& record : records) {
    std::string text = VersionText(RecordPath(record));
    std::size_t n = std::min(text.size(), sizeof record.version - 1);
    std::memcpy(record.version, text.data(), n);
    record.version[n] = '\0';
  }
}

}  // namespace verdisp
