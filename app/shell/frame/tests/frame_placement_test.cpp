// Placement of the main window from the stored rectangle.
#include "shell/frame_placement.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

TEST(PlaceFrame, StoredRectanglesOnA1920By1080Screen) {
  struct Case {
    shell::WindowRect stored;
    bool maximized;
    shell::WindowRect placed;
  } cases[] = {
      {{0, 0, 0, 0}, true, {}},
      {{2000, 100, 2600, 700}, false, {0, 100, 600, 700}},        // off to the right: x = 0, width kept
      {{100, 1200, 900, 1800}, false, {100, 0, 900, 600}},        // below: y = 0, height kept
      {{2000, 1200, 2600, 1500}, false, {0, 0, 600, 300}},
      {{1800, 1000, 2400, 1600}, false, {1800, 1000, 2400, 1600}},  // partly off: as stored
      {{1920, 1080, 2000, 1100}, false, {1920, 1080, 2000, 1100}},  // on the edge is not beyond
      {{-50, 10, 500, 400}, false, {-50, 10, 500, 400}},
      {{INT_MAX, 0, INT_MIN, 10}, false, {0, 0, 1, 10}},  // garbage from the file cannot overflow
  };
  for (const Case& c : cases) {
    const shell::Placement p = shell::PlaceFrame(c.stored, 1920, 1080);
    EXPECT_EQ(p.maximized, c.maximized) << c.stored.left;
    if (c.maximized) continue;
    EXPECT_EQ((std::vector<int>{p.rect.left, p.rect.top, p.rect.right, p.rect.bottom}),
              (std::vector<int>{c.placed.left, c.placed.top, c.placed.right, c.placed.bottom}))
        << c.stored.left << "," << c.stored.top;
  }
}

}  // namespace
