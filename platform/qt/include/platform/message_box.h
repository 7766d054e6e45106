// Message boxes with the classic style bits and button results.
#pragma once

#include <cstdint>
#include <string_view>

class QWidget;

namespace platform {

// Style bits.
constexpr uint32_t kMbOk = 0x0, kMbOkCancel = 0x1, kMbAbortRetryIgnore = 0x2, kMbYesNoCancel = 0x3,
                   kMbYesNo = 0x4, kMbRetryCancel = 0x5, kMbTypeMask = 0xF;
constexpr uint32_t kMbIconStop = 0x10, kMbIconQuestion = 0x20, kMbIconWarning = 0x30,
                   kMbIconInformation = 0x40, kMbIconMask = 0xF0;
constexpr uint32_t kMbDefButton1 = 0x000, kMbDefButton2 = 0x100, kMbDefButton3 = 0x200,
                   kMbDefMask = 0xF00;

// Button results.
constexpr int kIdOk = 1, kIdCancel = 2, kIdAbort = 3, kIdRetry = 4, kIdIgnore = 5, kIdYes = 6, kIdNo = 7;

// Shows a modal box (text and caption in UTF-8, text shown as plain text) and
// returns the button pressed. Escape or closing the box counts as Cancel where
// there is one and as OK for a lone OK; a Yes/No or Abort/Retry/Ignore box
// cannot be closed without a button (should it go away without one, the
// result is No or Abort). The box is named "vistelMessageBox" and each button
// carries its result as the property "ctrlId".
int ShowMessageBox(QWidget* parent, std::string_view text, std::string_view caption, uint32_t style);

}  // namespace platform
