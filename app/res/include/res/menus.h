// The main window's command resources: the structure of menu 128 (the menu
// bar), menu 223 (the page pop-up), menu 238 (the plug-in pop-up), the accelerators and the toolbar
// button lists. Only the structure lives here; the texts are looked up by
// (menu id, key) in the current resource module, so a language module
// changes texts and nothing else.
//
// Text keys: a command item's key is its command id; a pop-up's key is
// PopupKey(top-level position) for a title on the menu bar and
// SubmenuKey(top-level position, position inside it) for a nested one.
// Command ids also name the string that holds "status prompt\ntooltip".
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace res {

constexpr uint32_t kMenuMain = 128;
constexpr uint32_t kMenuPageEdit = 223;
constexpr uint32_t kMenuPlugIn = 238;

constexpr uint32_t PopupKey(uint32_t top) { return 0x80000000u | top; }
constexpr uint32_t SubmenuKey(uint32_t top, uint32_t position) {
  return 0x80000000u | ((position + 1) << 8) | top;
}

struct MenuItem {
  enum class Kind : uint8_t { kCommand, kSeparator, kPopup };
  Kind kind = Kind::kSeparator;
  uint32_t commandId = 0;             // kCommand
  std::span<const MenuItem> items{};  // kPopup
};

// Top level of a menu: pop-ups in bar order.
std::span<const MenuItem> MenuStructure(uint32_t menuId);

struct Accelerator {
  uint32_t commandId;
  const char* keys;  // portable key sequence text, e.g. "Ctrl+O"
};
std::span<const Accelerator> Accelerators();

// Toolbar resources: 128 File, 134 Scan, 151 View, 153 Page, 239 Plug-in.
// 0 stands for a separator.
constexpr uint32_t kToolbarFile = 128, kToolbarScan = 134, kToolbarView = 151, kToolbarPage = 153,
                   kToolbarPlugIn = 239;
std::span<const uint32_t> ToolbarButtons(uint32_t toolbarId);

// The status prompt and the tooltip of a command (the halves of its string).
struct CommandTexts {
  std::string_view prompt;
  std::string_view tip;
};
CommandTexts SplitCommandString(std::string_view text);

}  // namespace res
