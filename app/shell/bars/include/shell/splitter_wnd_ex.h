// CSplitterWndEx: the main window's page area. It holds the eight page
// panes (pane order 0–7: 0–3 the top row, 4–7 the bottom row), each with
// its page header above it, and lays out the panes of a separation layout
// in equal shares. The bars between panes are drawn but cannot be dragged.
//
//   layout  panes shown       grid
//   0       0                 1 × 1
//   1       0, 1              side by side
//   2       0, 4              one above the other
//   3, 4    0, 1, 4, 5        2 × 2
//   5, 6    all               2 rows × 4
// (Odd and even layouts differ in the order pages fill the panes, which is
// the document's business, not in where the panes are.)
//
// GUI thread only.
#pragma once

#include <QWidget>
#include <array>
#include <span>

namespace shell {

class CBelvAppView;
class CBelvPageHeaderDlg;

class CSplitterWndEx : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kPaneCount = 8;
  static constexpr int kColumns = 4;   // of the full grid
  static constexpr int kLayoutCount = 7;
  static constexpr int kBarWidth = 6;  // pixels between panes

  explicit CSplitterWndEx(QWidget* parent = nullptr);
  ~CSplitterWndEx() override;

  CBelvAppView* View(int pane) const;
  CBelvPageHeaderDlg* Header(int pane) const;

  // Shows the panes of layout (0–6; anything else is taken as 0) and lays
  // them out.
  void Arrange(int layout);
  int CurrentLayout() const noexcept { return layout_; }

  // The panes of a layout in pane order, and its grid.
  static std::span<const int> PanesOfLayout(int layout);
  static int RowsOfLayout(int layout);
  static int ColumnsOfLayout(int layout);

  // Makes pane the one active pane (-1: none active).
  void SetActiveView(int pane);
  int ActiveView() const noexcept { return active_; }

 signals:
  void activeViewChanged(int pane);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void LayoutPanes();

  std::array<CBelvAppView*, kPaneCount> views_{};
  std::array<CBelvPageHeaderDlg*, kPaneCount> headers_{};
  int layout_ = 0;
  int active_ = -1;
};

}  // namespace shell
