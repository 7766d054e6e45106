// Private header of ZoVerDisp: the version lookup, the library's resources
// in its ten languages, and the list dialog.
#pragma once

#include <QDialog>
#include <cstdint>
#include <span>
#include <string>

#include "ZoVerDisp.h"

class QTreeWidget;

namespace verdisp {

// Full path of a record's file, or empty when the folder kind is unknown or
// the path would exceed 259 characters.
std::string RecordPath(const RELATION_LIB_INFO& record);

// The version text of a file: its FileVersion string (first translation),
// " does not exist" without version information.
std::string VersionText(const std::string& path);

// Fills every record's version field (always NUL-terminated).
void FillVersions(std::span<RELATION_LIB_INFO> records);

// The library's texts in one resource language.
struct LanguageResources {
  uint16_t langId;
  const char* caption;   // dialog 22000
  const char* okButton;  // control 1
  const char* library;   // string 100
  const char* version;   // string 101
};

// The template of exactly that resource language, or null.
const LanguageResources* FindLanguage(uint16_t langId);

// Dialog ids.
constexpr int kDialogId = 22000;
constexpr int kListId = 22003;
constexpr int kOkId = 1;
constexpr int kColumnPadding = 20;  // pixels beyond the widest text of column 1
constexpr int kListEndGap = 5;      // pixels left free right of column 2

class CDllVersionDlg : public QDialog {
 public:
  CDllVersionDlg(const LanguageResources& texts, std::span<const RELATION_LIB_INFO> records);

  QTreeWidget* List() const { return list_; }

 private:
  void SizeColumns();
  int TextWidth(const QString& text) const;

  const LanguageResources& texts_;
  std::span<const RELATION_LIB_INFO> records_;
  QTreeWidget* list_;
};

}  // namespace verdisp
