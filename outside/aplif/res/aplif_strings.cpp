// English string table of the scanner application interface.

#include "aplif_resources.h"

namespace aplif {
namespace {

struct Entry {
  int id;
  const char* text;
};

constexpr int Id(TextId id) { return static_cast<int>(id); }

constexpr Entry kStrings[] = {
    {Id(TextId::kCaptionScanSetting), "Scan Setting"},
    {Id(TextId::kCaptionScanSettingList), "Scan Setting List"},
    {Id(TextId::kCaptionJobSetting), "Job Setting"},
    {Id(TextId::kCaptionJobSettingList), "Job Setting List"},
    {Id(TextId::kCaptionScanSelect), "Select Scanner"},
    {Id(TextId::kCaptionUserReadCond), "User Control Sheet Function"},
    {Id(TextId::kCaptionScannerInfo), "Scanner Information"},
    {Id(TextId::kCaptionMaintenance), "Scanner Maintenance"},

    {Id(TextId::kButtonOk), "OK"},
    {Id(TextId::kButtonCancel), "Cancel"},
    {Id(TextId::kButtonHelp), "Help"},
    {Id(TextId::kButtonAdd), "Add"},
    {Id(TextId::kButtonRename), "Rename"},
    {Id(TextId::kButtonDelete), "Delete"},

    {Id(TextId::kLabelName), "Setting name:"},
    {Id(TextId::kLabelImageType), "Image type:"},
    {Id(TextId::kLabelResolution), "Resolution:"},
    {Id(TextId::kLabelPaper), "Paper size:"},
    {Id(TextId::kLabelDuplex), "Scan both sides (duplex)"},
    {Id(TextId::kLabelUnit), "Unit:"},
    {Id(TextId::kLabelSettings), "Settings:"},
    {Id(TextId::kLabelNewName), "Name:"},
    {Id(TextId::kLabelFilePrefix), "File name prefix:"},
    {Id(TextId::kLabelDigits), "Number digits:"},
    {Id(TextId::kLabelPagesPerFile), "Pages per file:"},
    {Id(TextId::kLabelUseOwnSetting), "Use its own scan setting"},
    {Id(TextId::kLabelOwnSetting), "Scan setting:"},
    {Id(TextId::kLabelScanners), "Scanners:"},
    {Id(TextId::kLabelFunction), "Function #%1"},
    {Id(TextId::kLabelReadCond), "Scan setting:"},
    {Id(TextId::kSuffixDpi), " dpi"},
    {Id(TextId::kPagesAtControlSheets), "At control sheets"},
    {Id(TextId::kReadCondNone), "(None)"},

    {Id(TextId::kImageTypeFirst) + 0, "Black & White"},
    {Id(TextId::kImageTypeFirst) + 1, "16-level Gray"},
    {Id(TextId::kImageTypeFirst) + 2, "256-level Gray"},
    {Id(TextId::kImageTypeFirst) + 3, "24-bit Color"},
    {Id(TextId::kImageTypeFirst) + 4, "Black & White + 256-level Gray"},
    {Id(TextId::kImageTypeFirst) + 5, "Black & White + 24-bit Color"},
    {Id(TextId::kPaperFirst) + 0, "Letter"},
    {Id(TextId::kPaperFirst) + 1, "Legal"},
    {Id(TextId::kPaperFirst) + 2, "A3"},
    {Id(TextId::kPaperFirst) + 3, "A4"},
    {Id(TextId::kPaperFirst) + 4, "A5"},
    {Id(TextId::kPaperFirst) + 5, "B5 (JIS)"},
    {Id(TextId::kPaperWithSize), "%1 (%2 \u00d7 %3 %4)"},
    {Id(TextId::kUnitFirst) + 0, "mm"},
    {Id(TextId::kUnitFirst) + 1, "inches"},
    {Id(TextId::kMaintenanceFirst) + 0, "Clean the rollers"},
    {Id(TextId::kMaintenanceFirst) + 1, "Replace the rollers"},
    {Id(TextId::kMaintenanceFirst) + 2, "Replace the front lamp"},
    {Id(TextId::kMaintenanceFirst) + 3, "Replace the back lamp"},
    {Id(TextId::kMaintenanceFirst) + 4, "Clean the front glass plate"},
    {Id(TextId::kMaintenanceFirst) + 5, "Clean the back glass plate"},

    {Id(TextId::kErrNameEmpty), "Enter a name."},
    {Id(TextId::kErrNameTooLong), "The name is too long (at most 63 bytes)."},
    {Id(TextId::kErrNameCharacter), "The name holds a character that cannot be stored."},
    {Id(TextId::kErrNameDuplicate), "A setting named \"%1\" already exists."},
    {Id(TextId::kErrNoSelection), "Select a setting first."},
    {Id(TextId::kErrLastSetting), "The last setting cannot be deleted."},
    {Id(TextId::kErrTooMany), "No more settings can be added."},
    {Id(TextId::kErrPrefixCharacter), "The prefix holds a character that a file name cannot hold."},

    {Id(TextId::kInfoScanner), "Scanner: %1\nScanner ID: %2"},
    {Id(TextId::kInfoCounterLine), "%1: %2 of %3 pages"},
    {Id(TextId::kInfoNoScanner), "No scanner is selected. Choose one with Select Scanner."},
    {Id(TextId::kWarnMaintenance),
     "%1: %2.\n\n%3 pages have been fed since this was last done (due every %4 pages).\n\n"
     "Has it been done now? Yes resets the page counter."},
};

}  // namespace

QString Text(TextId id) { return Text(id, 0); }

QString Text(TextId first, int index) {
  const int id = static_cast<int>(first) + index;
  for (const Entry& e : kStrings)
    if (e.id == id) return QString::fromUtf8(e.text);
  return {};
}

}  // namespace aplif
