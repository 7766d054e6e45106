// The tuning-switch file "HuxImgFlt.ini" in the Windows folder. Every switch
// is read at the moment it is used; nothing is cached, so service staff can
// change a switch between two pages.
#ifndef IMGFLT_TUNING_TUNING_INI_H
#define IMGFLT_TUNING_TUNING_INI_H

#include <cstdint>
#include <string>
#include <string_view>

namespace imgflt::tuning {

inline constexpr std::string_view kIniFileName = "HuxImgFlt.ini";

// Full path of the tuning file; empty when the Windows folder is unknown.
std::string IniPath() noexcept;

// Integer and string switches; the default when the file, the section or the
// key is missing or the Windows folder is unknown.
int32_t ReadInt(std::string_view section, std::string_view key, int32_t defaultValue) noexcept;
std::string ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) noexcept;

// [Deskew] allSideDetect = 1: measure the skew from all four page edges.
bool AllSideDetect() noexcept;
// [Crop] nRmvKind = 1: crop detection removes isolated specks instead of
// closing short runs.
bool CropRemovesSpecks() noexcept;
// [ImgFlt] outputDir: folder of the parameter dump; empty = no dump.
std::string DumpFolder() noexcept;

}  // namespace imgflt::tuning

#endif
