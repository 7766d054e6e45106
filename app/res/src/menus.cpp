// Structure of the program's menus and toolbars (texts: english_table.cpp).
#include "res/menus.h"

namespace res {
namespace {

constexpr MenuItem C(uint32_t id) { return {MenuItem::Kind::kCommand, id, {}}; }
constexpr MenuItem kSep{};
constexpr MenuItem P(std::span<const MenuItem> items) { return {MenuItem::Kind::kPopup, 0, items}; }

constexpr MenuItem kFile[] = {C(32826), C(32818), C(32893), C(32819), kSep, C(57606),
                              C(32869), C(32870), kSep,     C(57665)};
constexpr MenuItem kScan[] = {C(32809), C(32915), kSep, C(32780), C(32827), kSep,    C(32880),
                              C(32879), C(32881), kSep, C(32775), kSep,     C(32876)};
constexpr MenuItem kPage[] = {C(32804), C(32803), C(32886), kSep, C(32882), C(32890), C(32891), C(32892), C(32914)};
constexpr MenuItem kImage[] = {C(32884), kSep, C(32875), kSep, C(32798), C(32799), C(32867), C(32868), kSep, C(32848)};
constexpr MenuItem kSeparation[] = {C(32787), C(32788), C(32789), C(32813)};
constexpr MenuItem kOrder[] = {C(32815), C(32816)};
constexpr MenuItem kToolbars[] = {C(32851), C(32854), C(32852), C(32853), C(32866)};
// Separation and Order sit at positions 9 and 10: editing greys them there.
constexpr MenuItem kView[] = {C(32801), C(32802), kSep,           C(32782),      C(32774), C(32781), C(32773),
                              kSep,     C(32785), P(kSeparation), P(kOrder),     kSep,     P(kToolbars)};
constexpr MenuItem kTool[] = {C(32783), C(32784)};
constexpr MenuItem kOption[] = {C(32806)};
constexpr MenuItem kHelp[] = {C(32807), kSep, C(32808)};

constexpr MenuItem kMain[] = {P(kFile), P(kScan), P(kPage), P(kImage), P(kView), P(kTool), P(kOption), P(kHelp)};

constexpr MenuItem kPageEditItems[] = {C(32875), kSep, C(32798), C(32799), C(32867), C(32868)};
constexpr MenuItem kPageEdit[] = {P(kPageEditItems)};

// Appended to the menu bar only when a user function is installed.
constexpr MenuItem kPlugInItems[] = {C(32894)};
constexpr MenuItem kPlugIn[] = {P(kPlugInItems)};

constexpr Accelerator kAccelerators[] = {{32826, "Ctrl+O"}, {32809, "Ctrl+S"}, {32780, "Ctrl+E"}};

constexpr uint32_t kFileButtons[] = {32826, 32893, 32819, 0, 32869, 0, 32848, 32807};
constexpr uint32_t kScanButtons[] = {32809, 0, 32827, 32780, 0, 32915, 0, 32880, 32881, 32879, 0, 32775};
constexpr uint32_t kViewButtons[] = {32782, 32774, 32781, 32773, 0,     32801, 32802, 0,     32799, 32798, 0,    32787,
                                     32788, 32789, 32813, 0,     32815, 32816, 0,     32783, 32784, 0,     32785};
constexpr uint32_t kPageButtons[] = {32804, 32803};
constexpr uint32_t kPlugInButtons[] = {32894};

}  // namespace

std::span<const MenuItem> MenuStructure(uint32_t menuId) {
  if (menuId == kMenuMain) return kMain;
  if (menuId == kMenuPageEdit) return kPageEdit;
  if (menuId == kMenuPlugIn) return kPlugIn;
  return {};
}

std::span<const Accelerator> Accelerators() { return kAccelerators; }

std::span<const uint32_t> ToolbarButtons(uint32_t toolbarId) {
  switch (toolbarId) {
    case kToolbarFile:
      return kFileButtons;
    case kToolbarScan:
      return kScanButtons;
    case kToolbarView:
      return kViewButtons;
    case kToolbarPage:
      return kPageButtons;
    case kToolbarPlugIn:
      return kPlugInButtons;
    default:
      return {};
  }
}

CommandTexts SplitCommandString(std::string_view text) {
  const size_t nl = text.find('\n');
  if (nl == std::string_view::npos) return {text, {}};
  return {text.substr(0, nl), text.substr(nl + 1)};
}

}  // namespace res
