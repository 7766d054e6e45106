// The parameter dump: when [ImgFlt] outputDir of the tuning file names a
// folder, every execute entry writes the records it was given into
// "<prefix><date>[<number>](Start).csv" before it works and into the same
// name with "(End).csv" after it succeeded, one line per field, enumerated
// fields by enumerator name. The file name lives from Start to End
// (module-wide state; calls do not overlap). Files that cannot be created
// are skipped silently: the dump never makes a call fail.
#ifndef IMGFLT_TUNING_PARAM_DUMP_H
#define IMGFLT_TUNING_PARAM_DUMP_H

#include <ctime>
#include <span>
#include <string>
#include <string_view>

#include "Hux_ImgFlt.h"

namespace imgflt::dump {

inline constexpr std::string_view kPrefixExecute = "QelExecute";
inline constexpr std::string_view kPrefixDistinClbw = "QelDistinClbw";
inline constexpr std::string_view kPrefixMulti = "QelMulti";
inline constexpr std::string_view kPrefixPlural = "QelPlural";
inline constexpr int kMaxNumber = 9999;

// The records of one call, in the order the dump lists them; null entries
// are skipped but keep their index. At most 2 images, 4 filter records and
// 3 colour management records are listed.
struct Records {
  std::span<const HUX_IMG_INF* const> images;
  std::span<const HUX_IMG_FILTER_PARAM* const> params;
  std::span<const CIM_INFO* const> cims;
};

// Picks the file name (reading outputDir now) and writes the start file.
void Start(std::string_view prefix, const Records& records) noexcept;
// Writes the end file under the name Start chose; nothing when Start chose
// none (no outputDir, or all numbers taken).
void End(const Records& records) noexcept;

// The pieces, for tests: the text of a dump, and the name of a file.
std::string Format(const Records& records);
// prefix + date "%d-%m-%Y %H_%M_%S" + "[%05d]" (without the suffix).
std::string FileStem(std::string_view prefix, const std::tm& localTime, int number);

}  // namespace imgflt::dump

#endif
