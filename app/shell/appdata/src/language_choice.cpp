// Language table, program location rule and the related-library list.
#include "shell/language_choice.h"

#include <sys/stat.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/langid.h"
#include "platform/mounts.h"
#include "platform/version_record.h"
#include "res/resource_module.h"

namespace shell {
namespace {

// Primary language identifiers of the language table.
constexpr uint16_t kLangChinese = 0x04;
constexpr uint16_t kLangGerman = 0x07;
constexpr uint16_t kLangSpanish = 0x0A;
constexpr uint16_t kLangFrench = 0x0C;
constexpr uint16_t kLangItalian = 0x10;
constexpr uint16_t kLangJapanese = 0x11;
constexpr uint16_t kLangKorean = 0x12;
constexpr uint16_t kLangPortuguese = 0x16;
constexpr uint16_t kLangRussian = 0x19;

constexpr uint16_t kSubChineseTraditional = 1;
constexpr uint16_t kSubChineseSimplified = 2;
constexpr uint16_t kSubPortugueseBrazil = 1;

// The libraries of the suite the About box lists, before the language's own.
constexpr const char* kRelatedLibraries[] = {"BelvAplIF.so",  "ZoScan.so",       "ZoImgFileIO.so", "ZoDIBImage.so",
                                             "ZoVerDisp.so",  "QelScnCommUI.so", "Hux_ImgFlt.so"};

bool IsFile(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

RELATION_LIB_INFO Record(std::string_view fileName) {
  RELATION_LIB_INFO r;
  std::memset(&r, 0, sizeof r);
  r.folderKind = kRelationLibFolderKind;
  std::size_t n = std::min(fileName.size(), sizeof r.fileName - 1);
  std::memcpy(r.fileName, fileName.data(), n);
  return r;
}

}  // namespace

LanguageChoice ChooseLanguage(uint16_t langId) {
  const uint16_t primary = platform::PrimaryLangId(langId);
  const uint16_t sub = platform::SubLangId(langId);
  switch (primary) {
    case kLangChinese:
      if (sub == kSubChineseSimplified) return {"Res_CHN.so", "VEXO_CHN.pdf"};
      if (sub == kSubChineseTraditional) return {"Res_CHT.so", "VEXO_CHT.pdf"};
      break;
    case kLangGerman: return {"Res_DEU.so", "VEXO_DEU.pdf"};
    case kLangSpanish: return {"Res_ESP.so", "VEXO_ESP.pdf"};
    case kLangFrench: return {"Res_FRA.so", "VEXO_FRA.pdf"};
    case kLangItalian: return {"Res_ITA.so", "VEXO_ITA.pdf"};
    case kLangJapanese: return {"Res_JPN.so", "VEXO_JPN.pdf"};
    case kLangKorean: return {"", "VEXO_KOR.pdf"};
    case kLangPortuguese:
      if (sub == kSubPortugueseBrazil) return {"Res_POR.so", "VEXO_PTB.pdf"};
      break;
    case kLangRussian: return {"Res_RUS.so", "VEXO_RUS.pdf"};
    default: break;
  }
  return {"", std::string(kEnglishManual)};
}

std::string HelpFilePath(const std::string& programFolder, const LanguageChoice& choice) {
  std::string path = programFolder + choice.helpManual;
  if (choice.helpManual.empty() || !IsFile(path)) path = programFolder + std::string(kEnglishManual);
  return path;
}

LanguageSetup ApplyLanguageChoice(const std::string& programFolder, const LanguageChoice& choice) {
  std::setlocale(LC_ALL, "");
  LanguageSetup setup;
  if (!choice.resourceLibrary.empty()) {
    if (std::unique_ptr<res::ResourceModule> module = res::LoadLanguageLibrary(programFolder + choice.resourceLibrary)) {
      res::SetCurrentResources(std::move(module));
      setup.resourceLibraryLoaded = true;
    }
  }
  setup.helpFilePath = HelpFilePath(programFolder, choice);
  return setup;
}

bool ProgramLocationAllowed(int32_t driveType) noexcept {
  switch (driveType) {
    case platform::kDriveUnknown:
    case platform::kDriveNoRootDir:
    case platform::kDriveRemote:
    case platform::kDriveCdrom:
    case platform::kDriveRamdisk:
      return false;
    default:
      // Removable, fixed, and any type the table does not know.
      return driveType >= platform::kDriveRemovable;
  }
}

bool CheckProgramLocation(const std::string& programFolder) {
  // A network path is a folder on a remote file system here, which the drive
  // type already tells.
  if (programFolder.empty() || programFolder.front() != '/') return false;
  return ProgramLocationAllowed(platform::GetDriveType(programFolder));
}

std::vector<RELATION_LIB_INFO> RelationLibraryRecords(const LanguageChoice& choice) {
  std::vector<RELATION_LIB_INFO> records;
  for (const char* name : kRelatedLibraries) records.push_back(Record(name));
  if (!choice.resourceLibrary.empty()) records.push_back(Record(choice.resourceLibrary));
  return records;
}

int32_t RelationLibraryLangId(uint16_t langId) noexcept {
  const uint16_t primary = platform::PrimaryLangId(langId);
  const uint16_t sub = platform::SubLangId(langId);
  switch (primary) {
    case kLangChinese:
      if (sub == kSubChineseSimplified) return 2052;
      if (sub == kSubChineseTraditional) return 1028;
      break;
    case kLangPortuguese:
      if (sub == kSubPortugueseBrazil) return 1046;
      break;
    case kLangJapanese: return 0x0411;
    case kLangRussian: return 0x0419;
    case kLangGerman:
    case kLangSpanish:
    case kLangFrench:
    case kLangItalian:
      return primary;
    default: break;
  }
  return 1033;
}

std::optional<std::string> FileVersionText(const std::string& path) {
  std::optional<platform::VersionRecord> record = platform::ReadVersionRecord(path);
  if (!record) return std::nullopt;
  const auto& v = record->fileVersion;
  char text[32];
  std::snprintf(text, sizeof text, "%d.%d.%d.%d", v[0], v[1], v[2], v[3]);
  return std::string(text);
}

}  // namespace shell
