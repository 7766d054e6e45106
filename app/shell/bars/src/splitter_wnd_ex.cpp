// CSplitterWndEx: the eight page panes and their headers, laid out by the
// separation layout.
#include "shell/splitter_wnd_ex.h"

#include <QPainter>

#include <algorithm>
#include <utility>

#include "shell/belv_app_view.h"
#include "shell/page_header_dlg.h"

namespace shell {
namespace {

constexpr int kPanes0[] = {0};
constexpr int kPanes1[] = {0, 1};
constexpr int kPanes2[] = {0, 4};
constexpr int kPanes4[] = {0, 1, 4, 5};
constexpr int kPanes8[] = {0, 1, 2, 3, 4, 5, 6, 7};

int ValidLayout(int layout) { return layout >= 0 && layout < CSplitterWndEx::kLayoutCount ? layout : 0; }

// Start and length of cell i of n equal cells over length, bars between;
// the last cell takes what the division leaves.
std::pair<int, int> Cell(int i, int n, int length) {
  const int bars = (n - 1) * CSplitterWndEx::kBarWidth;
  const int cell = std::max(0, (length - bars) / n);
  const int start = i * (cell + CSplitterWndEx::kBarWidth);
  return {start, i == n - 1 ? std::max(0, length - start) : cell};
}

}  // namespace

CSplitterWndEx::CSplitterWndEx(QWidget* parent) : QWidget(parent) {
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Button);  // what shows between the panes: the bars
  for (int i = 0; i < kPaneCount; ++i) {
    headers_[i] = new CBelvPageHeaderDlg(this);
    views_[i] = new CBelvAppView(i, this);
    connect(views_[i], &CBelvAppView::captionChanged, headers_[i],
            [header = headers_[i]](int, const QString& caption) { header->SetLabelText(caption); });
    connect(views_[i], &CBelvAppView::clicked, this, &CSplitterWndEx::SetActiveView);
  }
  Arrange(0);
}

CSplitterWndEx::~CSplitterWndEx() = default;

CBelvAppView* CSplitterWndEx::View(int pane) const {
  return pane >= 0 && pane < kPaneCount ? views_[pane] : nullptr;
}

CBelvPageHeaderDlg* CSplitterWndEx::Header(int pane) const {
  return pane >= 0 && pane < kPaneCount ? headers_[pane] : nullptr;
}

std::span<const int> CSplitterWndEx::PanesOfLayout(int layout) {
  switch (ValidLayout(layout)) {
    case 1: return kPanes1;
    case 2: return kPanes2;
    case 3:
    case 4: return kPanes4;
    case 5:
    case 6: return kPanes8;
    default: return kPanes0;
  }
}

int CSplitterWndEx::RowsOfLayout(int layout) {
  const int l = ValidLayout(layout);
  return l == 0 || l == 1 ? 1 : 2;
}

int CSplitterWndEx::ColumnsOfLayout(int layout) {
  switch (ValidLayout(layout)) {
    case 1:
    case 3:
    case 4: return 2;
    case 5:
    case 6: return 4;
    default: return 1;
  }
}

void CSplitterWndEx::Arrange(int layout) {
  layout_ = ValidLayout(layout);
  LayoutPanes();
}

void CSplitterWndEx::LayoutPanes() {
  const std::span<const int> shown = PanesOfLayout(layout_);
  const int rows = RowsOfLayout(layout_);
  const int columns = ColumnsOfLayout(layout_);
  for (int pane = 0; pane < kPaneCount; ++pane) {
    const bool visible = std::find(shown.begin(), shown.end(), pane) != shown.end();
    if (!visible) {
      views_[pane]->hide();
      headers_[pane]->hide();
      continue;
    }
    // Pane p sits at row p / 4, column p % 4 of the full grid.
    const auto [x, w] = Cell(pane % kColumns, columns, width());
    const auto [y, h] = Cell(pane / kColumns, rows, height());
    CBelvPageHeaderDlg* header = headers_[pane];
    const int headerHeight = std::min(header->sizeHint().height(), h);
    header->setGeometry(x, y, w, headerHeight);
    views_[pane]->setGeometry(x, y + headerHeight, w, h - headerHeight);
    header->show();
    views_[pane]->show();
  }
  update();
}

void CSplitterWndEx::SetActiveView(int pane) {
  if (pane < -1 || pane >= kPaneCount) return;
  for (int i = 0; i < kPaneCount; ++i) views_[i]->SetActive(i == pane);
  if (pane == active_) return;
  active_ = pane;
  emit activeViewChanged(pane);
}

void CSplitterWndEx::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayoutPanes();
}

void CSplitterWndEx::paintEvent(QPaintEvent*) {
  // The bars are the background between the panes; a dark edge on each
  // side of them shows where one pane ends.
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::Dark));
  const int rows = RowsOfLayout(layout_);
  const int columns = ColumnsOfLayout(layout_);
  for (int c = 1; c < columns; ++c) {
    const int x = Cell(c, columns, width()).first - kBarWidth;
    painter.drawLine(x, 0, x, height());
    painter.drawLine(x + kBarWidth - 1, 0, x + kBarWidth - 1, height());
  }
  for (int r = 1; r < rows; ++r) {
    const int y = Cell(r, rows, height()).first - kBarWidth;
    painter.drawLine(0, y, width(), y);
    painter.drawLine(0, y + kBarWidth - 1, width(), y + kBarWidth - 1);
  }
}

}  // namespace shell
