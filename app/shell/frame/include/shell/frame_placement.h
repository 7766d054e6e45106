// Where the main window opens, from the rectangle stored at the last close
// (what closing stores: PlacementToStore in shell/app_settings.h).
#pragma once

#include <cstdint>

#include "shell/app_settings.h"

namespace shell {

struct Placement {
  bool maximized = false;
  WindowRect rect;  // when not maximized
};

// All four 0: maximized. A left edge beyond the screen width moves the window
// to x = 0 and a top edge beyond the screen height to y = 0, each keeping its
// size; a window that lies only partly off the screen stays where it was.
Placement PlaceFrame(const WindowRect& stored, int32_t screenWidth, int32_t screenHeight) noexcept;

}  // namespace shell
