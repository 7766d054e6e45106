// Where the main window opens, from the rectangle stored at the last close,
// and what is stored when it closes.
#pragma once

#include <cstdint>

namespace shell {

struct StoredRect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  bool AllZero() const noexcept { return left == 0 && top == 0 && right == 0 && bottom == 0; }
};

struct Placement {
  bool maximized = false;
  StoredRect rect;  // when not maximized
};

// All four 0: maximized. A left edge beyond the screen width moves the window
// to x = 0 and a top edge beyond the screen height to y = 0, each keeping its
// size; a window that lies only partly off the screen stays where it was.
Placement PlaceFrame(const StoredRect& stored, int32_t screenWidth, int32_t screenHeight) noexcept;

// What closing stores: nothing while minimized (the previous value stays),
// zeros while maximized, else the window's rectangle.
StoredRect RectToStore(const StoredRect& previous, const StoredRect& current, bool minimized, bool maximized) noexcept;

}  // namespace shell
