// The language choice of start-up (resource library and help manual by the
// user default LANGID), the program location check, and what the About box
// hands the version display library: the related-library records and their
// language identifier.
//
//   ChooseLanguage            LANGID → resource library and manual names
//   HelpFilePath              the manual's full path, English when missing
//   ApplyLanguageChoice       locale, resource library, help path (start-up)
//   ProgramLocationAllowed    drive type rule (pure)
//   CheckProgramLocation      the rule for the program folder
//   RelationLibraryRecords    the records for DispRelationLibrary
//   RelationLibraryLangId     its language identifier
//   FileVersionText           "%d.%d.%d.%d" of a binary's file version
//
// Runs on the GUI thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ZoVerDisp.h"

namespace shell {

inline constexpr std::string_view kEnglishManual = "VEXO_ENG.pdf";
inline constexpr std::string_view kVerDispLibrary = "ZoVerDisp.so";
inline constexpr std::string_view kDispRelationLibraryName = "DispRelationLibrary";
// The first field of every related-library record: the program folder.
inline constexpr int32_t kRelationLibFolderKind = ZOVERDISP_FOLDER_PROGRAM;

struct LanguageChoice {
  std::string resourceLibrary;  // "Res_DEU.so" …; empty: the program's own English resources
  std::string helpManual;       // "VEXO_DEU.pdf" …
  friend bool operator==(const LanguageChoice&, const LanguageChoice&) = default;
};

// The language table: primary language = langId & 0x3FF, sublanguage =
// langId >> 10. Chinese and Portuguese depend on the sublanguage; Korean
// has a manual but no resource library; unknown languages get English.
LanguageChoice ChooseLanguage(uint16_t langId);

// programFolder (ending in '/') + the chosen manual, or + "VEXO_ENG.pdf"
// when the chosen one is not there.
std::string HelpFilePath(const std::string& programFolder, const LanguageChoice& choice);

struct LanguageSetup {
  bool resourceLibraryLoaded = false;
  std::string helpFilePath;
};

// Start-up: sets the run-time locale to the user default, loads the chosen
// resource library from programFolder and makes it the current resources
// (a missing or broken library leaves the English ones, silently), and
// finds the help manual. Shutdown frees the library with
// res::SetCurrentResources(nullptr).
LanguageSetup ApplyLanguageChoice(const std::string& programFolder, const LanguageChoice& choice);

// Removable (2), fixed (3) and unknown higher types pass; 0 (not
// determined), 1 (no root), remote (4), CD-ROM (5) and RAM disk (6) fail.
bool ProgramLocationAllowed(int32_t driveType) noexcept;

// The rule for the drive holding programFolder. The caller shows message
// 0x41 and ends start-up when it fails.
bool CheckProgramLocation(const std::string& programFolder);

// The records DispRelationLibrary lists, zero-filled, folder kind 2, file
// names: BelvAplIF, ZoScan, ZoImgFileIO, ZoDIBImage, ZoVerDisp,
// QelScnCommUI, Hux_ImgFlt (each ".so"), then the language's resource
// library when it has one (7 or 8 records).
std::vector<RELATION_LIB_INFO> RelationLibraryRecords(const LanguageChoice& choice);

// The dialog language of the list: 2052 simplified Chinese, 1028
// traditional Chinese, 1046 Brazilian Portuguese, 0x0411 Japanese, 0x0419
// Russian, the primary language alone for German, Spanish, French and
// Italian, and 1033 for every other language.
int32_t RelationLibraryLangId(uint16_t langId) noexcept;

// "%d.%d.%d.%d" of the file version of the binary at path, most
// significant part first; nothing when it carries no version record.
std::optional<std::string> FileVersionText(const std::string& path);

}  // namespace shell
