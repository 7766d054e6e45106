// The toolbar button pictures: our own 24 × 24 glyphs, drawn in code, for
// every command id on the five toolbars (res/menus.h). The frame gives the
// command table's actions their icons with SetToolbarIcons once the table
// exists.
//
// GUI thread only (pixmaps).
#pragma once

#include <QIcon>
#include <QPixmap>
#include <cstdint>

namespace shell {

class CommandTable;

inline constexpr int kToolbarPictureSize = 24;  // pixels, square

// Whether we draw a picture for the command.
bool HasToolbarPicture(uint32_t commandId) noexcept;

// The picture of a command at size × size pixels (the glyph scales; 24 is
// the designed size). Transparent and empty for a command without one.
QPixmap ToolbarPicture(uint32_t commandId, int size = kToolbarPictureSize);

// The icon of a command: our picture at 24 and 48 pixels; for a command we
// have no picture of, the desktop theme's icon for it when there is one,
// else a null icon.
QIcon ToolbarIcon(uint32_t commandId);

// Sets the icon of every command on the five toolbars in the table.
void SetToolbarIcons(CommandTable& commands);

}  // namespace shell
