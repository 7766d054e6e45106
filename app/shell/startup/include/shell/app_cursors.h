// The six cursors the application loads at start-up and the views and
// tools use: the arrow, the magnify tool's (cursor 105), the four-way move
// cursor, the scroll tool's over the image (137) and while dragging (138),
// and the wait cursor. Cursors 105, 137 and 138 are pictures of our own.
// Runs on the GUI thread (needs a QGuiApplication).
#pragma once

#include <QCursor>
#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace shell {

// Index in the application's cursor list (the order it loads them in).
enum class AppCursor : int {
  kArrow = 0,
  kMagnify = 1,     // cursor 105
  kSizeAll = 2,
  kScroll = 3,      // cursor 137
  kScrollDrag = 4,  // cursor 138
  kWait = 5,
};
inline constexpr int kAppCursorCount = 6;

inline constexpr uint32_t kIdcMagnify = 105, kIdcScroll = 137, kIdcScrollDrag = 138;
inline constexpr int kCursorPictureSize = 32;

// Cursor resource 105 (a magnifying glass, hot spot at the lens centre), 137
// (an open hand) or 138 (a grabbing hand; both with the hot spot in the
// palm): a 32 × 32 picture with transparency. nullopt for any other id.
std::optional<QCursor> LoadCursorResource(uint32_t id);

class CAppCursors {
 public:
  CAppCursors();  // loads all six

  const QCursor& Get(AppCursor which) const noexcept { return cursors_[static_cast<int>(which)]; }
  std::span<const QCursor, kAppCursorCount> All() const noexcept { return cursors_; }

 private:
  std::array<QCursor, kAppCursorCount> cursors_;
};

}  // namespace shell
