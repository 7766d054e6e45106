// The eight view slots: which page side each pane shows, and the display
// state the pane keeps with the page side.
#include <algorithm>
#include <cstdio>

#include "model/vexo_dib.h"
#include "model/vexo_file_info.h"

namespace {

// Views per separation layout 0–6.
constexpr int kViews[7] = {1, 2, 2, 4, 4, 8, 8};

// Which view gets the i-th page (modes 1 and 2) or the i-th image of the
// screen's pairs (mode 3), per layout. Horizontal layouts fill rows, vertical
// ones columns; a pair stands one above the other in horizontal order and
// side by side in vertical order.
constexpr int kSingleOrder[7][8] = {
    {0, 1, 2, 3, 4, 5, 6, 7}, {0, 1, 2, 3, 4, 5, 6, 7}, {0, 4, 1, 5, 2, 6, 3, 7}, {0, 1, 4, 5, 2, 3, 6, 7},
    {0, 4, 1, 5, 2, 6, 3, 7}, {0, 1, 2, 3, 4, 5, 6, 7}, {0, 4, 1, 5, 2, 6, 3, 7},
};
// Layout 0 never shows pairs (the views switch to two views first); should
// it happen, it is laid out as layout 1.
constexpr int kPairOrder[7][8] = {
    {0, 1, 4, 5, 2, 3, 6, 7}, {0, 1, 4, 5, 2, 3, 6, 7}, {0, 4, 1, 5, 2, 6, 3, 7}, {0, 4, 1, 5, 2, 6, 3, 7},
    {0, 1, 4, 5, 2, 3, 6, 7}, {0, 4, 1, 5, 2, 6, 3, 7}, {0, 1, 4, 5, 2, 3, 6, 7},
};

std::string Label(int page, bool companion) {
  char text[24];
  std::snprintf(text, sizeof text, companion ? "%d-C" : "%d", page);
  return text;
}

bool ValidView(int view) noexcept { return view >= 0 && view < kViewCount; }

}  // namespace

int CVEXOFileInfo::Layout() const noexcept {
  return layoutOwner_ ? std::clamp(layoutOwner_->SeparationLayout(), 0, 6) : 0;
}

bool CVEXOFileInfo::Pairs() const noexcept { return layoutOwner_ && layoutOwner_->PairDisplay(); }

const VEXO_VIEW_SLOT_INF& CVEXOFileInfo::Slot(int view) const noexcept {
  static const VEXO_VIEW_SLOT_INF kEmpty{};
  return ValidView(view) ? slots_[view] : kEmpty;
}

int CVEXOFileInfo::PagesPerScreen() const noexcept {
  const int k = kViews[Layout()];
  return mode_ == kModePairs ? std::max(1, k / 2) : k;
}

void CVEXOFileInfo::EmptySlot(int view) noexcept {
  VEXO_VIEW_SLOT_INF& s = slots_[view];
  s.page = s.side = s.pageIndex = s.fileIndex = s.pageInPath = s.partnerView = -1;
  s.label.clear();
  s.path.clear();
  s.viewMode = s.zoom = -1;
  s.scrollX = s.scrollY = 0;
}

void CVEXOFileInfo::FillSlot(int view, int pageIndex, int visiblePage, int side, bool pairLabel, int partner) {
  VEXO_VIEW_SLOT_INF& s = slots_[view];
  const VEXO_FILE_PAGE_INF& page = pages_[static_cast<size_t>(pageIndex)];
  const VEXO_PAGE_SIDE_INF& ps = page.Side(side);
  PageSource source;
  ResolveSide(page, side, &source);
  s.page = visiblePage;
  s.label = Label(visiblePage, pairLabel && side == 1);
  s.path = source.path;
  s.pageInPath = source.page;
  s.fileIndex = page.fileIndex;
  s.pageIndex = pageIndex;
  s.side = side;
  s.viewMode = ps.viewMode;
  s.zoom = ps.zoom;
  s.scrollX = ps.scrollX;
  s.scrollY = ps.scrollY;
  s.partnerView = partner;
}

int CVEXOFileInfo::FillViewSlots(int firstPage) noexcept {
  if (total_ <= 0) return 0;
  firstPage_ = std::clamp(firstPage, 1, total_);
  const int layout = Layout();
  const int k = kViews[layout];
  for (int v = 0; v < kViewCount; ++v) EmptySlot(v);
  // One pass over the records finds the screen's pages in order.
  int index = PageToIndex(firstPage_);
  auto nextLive = [this](int from) {
    for (int i = from + 1; i < static_cast<int>(pages_.size()); ++i)
      if (pages_[static_cast<size_t>(i)].deleted == 0) return i;
    return -1;
  };
  if (mode_ != kModePairs) {
    for (int i = 0; i < k && index >= 0; ++i, index = nextLive(index))
      FillSlot(kSingleOrder[layout][i], index, firstPage_ + i, 1, false, -1);
  } else {
    const int* order = kPairOrder[layout];
    for (int j = 0; j < std::max(1, k / 2) && index >= 0; ++j, index = nextLive(index)) {
      const int v1 = order[2 * j], v2 = order[2 * j + 1];
      FillSlot(v1, index, firstPage_ + j, 1, true, v2);
      FillSlot(v2, index, firstPage_ + j, 2, true, v1);
    }
  }
  return 1;
}

int CVEXOFileInfo::ScanPageView(int attribute) const noexcept {
  const int layout = Layout();
  const int k = kViews[layout];
  if (k == 1) return 0;
  int n = insertMode_ != kInsertNone ? countBase_ + static_cast<int>(insPages_.size()) : total_;
  n = std::max(n, 1);
  if (!Pairs()) return kSingleOrder[layout][(n - 1) % k];
  const int m = attribute != 0 ? 2 * n - 1 : 2 * n;
  return kPairOrder[layout][(m - 1) % k];
}

CVEXOFileInfo::SlotImage CVEXOFileInfo::LoadViewSlot(int view, CVexoDIB& image) const {
  if (!ValidView(view)) return {};
  const VEXO_VIEW_SLOT_INF& s = slots_[view];
  if (s.side == -1 || s.path.empty()) return {};
  if (!image.LoadForDisplay(s.path, s.pageInPath)) return {};
  return {s.label, s.page};
}

void CVEXOFileInfo::SetViewState(int view, int mode, int zoom, int scrollX, int scrollY) noexcept {
  if (!ValidView(view)) return;
  VEXO_VIEW_SLOT_INF& s = slots_[view];
  s.viewMode = mode;
  s.zoom = zoom;
  s.scrollX = scrollX;
  s.scrollY = scrollY;
  if (VEXO_FILE_PAGE_INF* page = SlotPage(view)) {
    VEXO_PAGE_SIDE_INF& ps = page->Side(s.side);
    ps.viewMode = mode;
    ps.zoom = zoom;
    ps.scrollX = scrollX;
    ps.scrollY = scrollY;
  }
}

ViewState CVEXOFileInfo::GetViewState(int view) const noexcept {
  if (!ValidView(view)) return {};
  const VEXO_VIEW_SLOT_INF& s = slots_[view];
  return {s.viewMode, s.zoom, s.scrollX, s.scrollY};
}

int CVEXOFileInfo::FirstPageOfScreen(int visiblePage) const noexcept {
  const int n = std::clamp(visiblePage, 1, std::max(total_, 1));
  const int k = PagesPerScreen();
  return ((n + k - 1) / k - 1) * k + 1;
}

VEXO_FILE_PAGE_INF* CVEXOFileInfo::SlotPage(int view) noexcept {
  if (!ValidView(view)) return nullptr;
  const VEXO_VIEW_SLOT_INF& s = slots_[view];
  if (s.side != 1 && s.side != 2) return nullptr;
  if (s.pageIndex < 0 || s.pageIndex >= static_cast<int>(pages_.size())) return nullptr;
  return &pages_[static_cast<size_t>(s.pageIndex)];
}
