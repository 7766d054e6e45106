#include "shell/frame_placement.h"

namespace shell {

Placement PlaceFrame(const WindowRect& stored, int32_t screenWidth, int32_t screenHeight) noexcept {
  Placement p;
  if (stored.IsMaximized()) {
    p.maximized = true;
    return p;
  }
  p.rect = stored;
  // 64-bit: stored values are read from a file and may be anything.
  if (stored.left > screenWidth) {
    p.rect.left = 0;
    p.rect.right = int32_t(int64_t(stored.right) - stored.left);
  }
  if (stored.top > screenHeight) {
    p.rect.top = 0;
    p.rect.bottom = int32_t(int64_t(stored.bottom) - stored.top);
  }
  return p;
}

}  // namespace shell
