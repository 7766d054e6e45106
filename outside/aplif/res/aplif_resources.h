// The library's own texts, by id. Every text a dialog or message box of the
// interface shows comes from this table (English); "%1", "%2" … are filled
// with QString::arg.
#pragma once

#include <QString>

namespace aplif {

enum class TextId : int {
  // Dialog captions.
  kCaptionScanSetting = 100,
  kCaptionScanSettingList,
  kCaptionJobSetting,
  kCaptionJobSettingList,
  kCaptionScanSelect,
  kCaptionUserReadCond,
  kCaptionScannerInfo,
  kCaptionMaintenance,
  // Buttons.
  kButtonOk = 200,
  kButtonCancel,
  kButtonHelp,
  kButtonAdd,
  kButtonRename,
  kButtonDelete,
  // Field labels.
  kLabelName = 300,
  kLabelImageType,
  kLabelResolution,
  kLabelPaper,
  kLabelDuplex,
  kLabelUnit,
  kLabelSettings,
  kLabelNewName,
  kLabelFilePrefix,
  kLabelDigits,
  kLabelPagesPerFile,
  kLabelUseOwnSetting,
  kLabelOwnSetting,
  kLabelScanners,
  kLabelFunction,
  kLabelReadCond,
  kSuffixDpi,
  kPagesAtControlSheets,
  kReadCondNone,
  // Value names (consecutive, indexed by their code).
  kImageTypeFirst = 400,  // APL_IMAGE_BW … APL_IMAGE_BW_COLOR: 400 … 405
  kPaperFirst = 420,      // APL_PAPER_LETTER … APL_PAPER_B5: 420 … 425
  kPaperWithSize = 430,   // "%1 (%2 × %3 %4)"
  kUnitFirst = 440,       // APL_UNIT_MM, APL_UNIT_INCH: 440, 441
  kMaintenanceFirst = 460,  // the six maintenance items: 460 … 465
  // Refusals shown in a dialog's error line.
  kErrNameEmpty = 500,
  kErrNameTooLong,
  kErrNameCharacter,
  kErrNameDuplicate,
  kErrNoSelection,
  kErrLastSetting,
  kErrTooMany,
  kErrPrefixCharacter,
  // Information and warnings.
  kInfoScanner = 600,   // "%1" name, "%2" id
  kInfoCounterLine,     // "%1" item, "%2" pages, "%3" limit
  kInfoNoScanner,
  kWarnMaintenance,     // "%1" scanner, "%2" item, "%3" pages, "%4" limit
};

// The text of id; an id missing from the table gives an empty text.
QString Text(TextId id);
// The n-th text of a consecutive group (kImageTypeFirst, kPaperFirst …).
QString Text(TextId first, int index);

}  // namespace aplif
