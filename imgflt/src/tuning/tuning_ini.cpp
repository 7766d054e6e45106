// Reading the tuning switches of "HuxImgFlt.ini".
#include "tuning/tuning_ini.h"

#include "platform/ini.h"
#include "platform/paths.h"

namespace imgflt::tuning {

std::string IniPath() noexcept {
  std::string folder = platform::WindowsFolder();
  if (folder.empty()) return {};
  return platform::JoinPath(folder, kIniFileName);
}

int32_t ReadInt(std::string_view section, std::string_view key, int32_t defaultValue) noexcept {
  std::string path = IniPath();
  if (path.empty()) return defaultValue;
  return platform::ini::ReadInt(path, section, key, defaultValue);
}

std::string ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) noexcept {
  try {
    std::string path = IniPath();
    if (path.empty()) return std::string(defaultValue);
    return platform::ini::ReadString(path, section, key, defaultValue);
  } catch (...) {
    return {};
  }
}

bool AllSideDetect() noexcept { return ReadInt("Deskew", "allSideDetect", 0) == 1; }

bool CropRemovesSpecks() noexcept { return ReadInt("Crop", "nRmvKind", 0) == 1; }

std::string DumpFolder() noexcept { return ReadString("ImgFlt", "outputDir", ""); }

}  // namespace imgflt::tuning
