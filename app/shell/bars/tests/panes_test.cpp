// The page panes: the header above each pane, a pane drawing its image by
// the centring rule (read back from its pixels), and the splitter laying
// out the panes of each separation layout with their headers.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "ZoImgFileIO.h"
#include "bars_test_support.h"
#include "shell/belv_app_view.h"
#include "shell/message_presenter.h"
#include "shell/page_header_dlg.h"
#include "shell/scripted_presenter.h"
#include "shell/splitter_wnd_ex.h"
#include "testsupport/temp_env.h"

namespace {

using shell::CBelvAppView;
using shell::CBelvPageHeaderDlg;
using shell::CSplitterWndEx;

const QColor kImageColour(220, 30, 30);

QImage Filled(int w, int h, const QColor& colour = kImageColour) {
  QImage image(w, h, QImage::Format_RGB888);
  image.fill(colour);
  return image;
}

// A page-like picture for the screenshots: white sheet, lines of "text", a number.
QImage PagePicture(int n) {
  QImage image(420, 594, QImage::Format_RGB888);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setPen(QPen(Qt::black, 3));
  for (int y = 80; y < 540; y += 24) p.drawLine(40, y, 380 - (y * 7 % 90), y);
  QFont font(QStringLiteral("Sans"));
  font.setPixelSize(60);
  font.setBold(true);
  p.setFont(font);
  p.drawText(QRect(0, 0, 420, 70), Qt::AlignCenter, QString::number(n));
  return image;
}

bool Show(CBelvAppView& view, const QImage& image) {
  const std::vector<uint8_t> dib = barstest::PackedDib(image);
  if (!view.Dib().SetScanDIBObject(dib, 0, 0)) return false;
  view.ImageChanged();
  return true;
}

// ---- page header ---------------------------------------------------------------

TEST(PageHeader, HoldsTheCaptionInACentredLabelStretchedOverItsWidth) {
  CBelvPageHeaderDlg header;
  EXPECT_EQ(header.property("ctrlId").toUInt(), 144u);
  EXPECT_EQ(header.Label()->property("ctrlId").toUInt(), 1050u);
  EXPECT_EQ(header.Icon()->property("ctrlId").toUInt(), 1075u);
  EXPECT_TRUE(header.Icon()->isHidden());
  EXPECT_TRUE(header.Label()->alignment() & Qt::AlignHCenter);
  EXPECT_TRUE(header.Label()->alignment() & Qt::AlignVCenter);

  EXPECT_EQ(header.LabelText(), QString());
  header.SetLabelText(QStringLiteral("12-C"));
  EXPECT_EQ(header.LabelText(), QStringLiteral("12-C"));
  EXPECT_EQ(header.Label()->text(), QStringLiteral("12-C"));

  const int height = header.HeaderHeight();
  EXPECT_GE(height, header.fontMetrics().height()) << "the caption fits";
  EXPECT_LE(height, 2 * header.fontMetrics().height()) << "a strip, not a panel";
  EXPECT_EQ(height, header.height());

  // Hidden, the frame lays it out; shown, it follows its size by itself.
  header.resize(333, height);
  header.Layout();
  EXPECT_EQ(header.Label()->geometry(), QRect(0, 0, 333, height));
  barstest::ShowAndWait(&header);
  header.resize(90, height);
  QApplication::processEvents();
  EXPECT_EQ(header.Label()->geometry(), QRect(0, 0, 90, height));
}

// ---- the pane --------------------------------------------------------------------

struct DrawCase {
  const char* name;
  QSize client;
  QSize image;
  QPoint scroll;    // scroll bar values set before drawing
  QPoint expected;  // where the image's top-left pixel lands
};

TEST(AppView, DrawsItsImageCentredWhileItFitsAndScrolledOtherwise) {
  const DrawCase cases[] = {
      {"even gap", {200, 100}, {50, 40}, {0, 0}, {75, 30}},
      {"odd gap rounds up", {201, 101}, {50, 40}, {0, 0}, {76, 31}},
      {"exact fit", {120, 90}, {120, 90}, {0, 0}, {0, 0}},
      {"wider than the pane", {200, 100}, {300, 40}, {30, 0}, {-30, 30}},
      {"taller than the pane", {200, 100}, {50, 160}, {0, 45}, {75, -45}},
  };
  for (const DrawCase& c : cases) {
    SCOPED_TRACE(c.name);
    CBelvAppView view(3);
    view.setFrameShape(QFrame::NoFrame);
    view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.resize(c.client);
    barstest::ShowAndWait(&view);
    ASSERT_EQ(view.viewport()->size(), c.client);
    ASSERT_TRUE(Show(view, Filled(c.image.width(), c.image.height())));
    EXPECT_EQ(view.ImageState(), CBelvAppView::kImageLoaded);
    EXPECT_EQ(view.horizontalScrollBar()->maximum(), std::max(0, c.image.width() - c.client.width()));
    EXPECT_EQ(view.verticalScrollBar()->maximum(), std::max(0, c.image.height() - c.client.height()));
    view.horizontalScrollBar()->setValue(c.scroll.x());
    view.verticalScrollBar()->setValue(c.scroll.y());
    EXPECT_EQ(view.ImageOrigin(), c.expected);

    const QImage shot = view.viewport()->grab().toImage();
    const QRect drawn = QRect(c.expected, c.image).intersected(QRect(QPoint(0, 0), c.client));
    EXPECT_EQ(QColor(shot.pixel(drawn.topLeft())), kImageColour);
    EXPECT_EQ(QColor(shot.pixel(drawn.bottomRight())), kImageColour);
    if (drawn.left() > 0) {
      EXPECT_NE(QColor(shot.pixel(drawn.left() - 1, drawn.top())), kImageColour);
    }
    if (drawn.top() > 0) {
      EXPECT_NE(QColor(shot.pixel(drawn.left(), drawn.top() - 1)), kImageColour);
    }
    if (drawn.right() + 1 < c.client.width()) {
      EXPECT_NE(QColor(shot.pixel(drawn.right() + 1, drawn.bottom())), kImageColour);
    }
    if (drawn.bottom() + 1 < c.client.height()) {
      EXPECT_NE(QColor(shot.pixel(drawn.right(), drawn.bottom() + 1)), kImageColour);
    }
  }
}

TEST(AppView, AnEmptyPaneDrawsNothingAndHasNoScrollRange) {
  CBelvAppView view(0);
  view.resize(160, 120);
  barstest::ShowAndWait(&view);
  const QImage before = view.viewport()->grab().toImage();
  ASSERT_TRUE(Show(view, Filled(400, 400)));
  EXPECT_GT(view.horizontalScrollBar()->maximum(), 0);
  view.ClearImage();
  EXPECT_EQ(view.ImageState(), CBelvAppView::kImageNone);
  EXPECT_EQ(view.horizontalScrollBar()->maximum(), 0);
  EXPECT_EQ(view.verticalScrollBar()->maximum(), 0);
  const QImage after = view.viewport()->grab().toImage();
  EXPECT_EQ(after, before);
  const QColor background = view.viewport()->palette().color(view.viewport()->backgroundRole());
  EXPECT_EQ(after.pixel(after.width() / 2, after.height() / 2), background.rgb());
}

TEST(AppView, LoadsAPageFromAFileAndReportsOneItCannotRead) {
  testsupport::TempDir dir;
  const std::string path = dir.File("page.bmp");
  {
    CDIB source;
    const std::vector<uint8_t> dib = barstest::PackedDib(Filled(64, 48));
    ASSERT_TRUE(source.SetScanDIBObject(dib, 0, 0));
    ASSERT_TRUE(source.Write2File(path, zoimg::BMP_UNCOMPRESSED));
  }
  shell::ScriptedPresenter presenter;
  shell::ScopedMessagePresenter scoped(presenter);
  CBelvAppView view(1);
  EXPECT_EQ(view.LoadImage(path, 1), 1);
  EXPECT_EQ(view.ImageState(), CBelvAppView::kImageLoaded);
  EXPECT_EQ(view.Dib().GetDIBSize(), QSize(64, 48));
  EXPECT_TRUE(presenter.Calls().empty());

  EXPECT_EQ(view.LoadImage(dir.File("missing.bmp"), 1), 0);
  EXPECT_EQ(view.ImageState(), CBelvAppView::kImageNone);
  EXPECT_EQ(presenter.Codes(), (std::vector<uint32_t>{CVexoDIB::kMsgOpenFailed}));
}

// ---- the splitter ------------------------------------------------------------------

struct LayoutCase {
  int layout;
  std::vector<int> panes;
  int rows, columns;
};

class Splitter : public ::testing::Test {
 protected:
  void SetUp() override {
    splitter.resize(806, 606);
    barstest::ShowAndWait(&splitter);
  }
  std::vector<int> Shown() const {
    std::vector<int> shown;
    for (int i = 0; i < CSplitterWndEx::kPaneCount; ++i)
      if (splitter.View(i)->isVisible()) shown.push_back(i);
    return shown;
  }
  // The pane's cell: its header and view together.
  QRect Cell(int pane) const { return splitter.Header(pane)->geometry().united(splitter.View(pane)->geometry()); }

  CSplitterWndEx splitter;
};

TEST_F(Splitter, ArrangeShowsThePanesOfEachLayoutInEqualSharesWithHeadersAbove) {
  const LayoutCase cases[] = {
      {0, {0}, 1, 1},          {1, {0, 1}, 1, 2},          {2, {0, 4}, 2, 1},
      {3, {0, 1, 4, 5}, 2, 2}, {4, {0, 1, 4, 5}, 2, 2},    {5, {0, 1, 2, 3, 4, 5, 6, 7}, 2, 4},
      {6, {0, 1, 2, 3, 4, 5, 6, 7}, 2, 4},
      {7, {0}, 1, 1},  // out of range: one pane
      {-1, {0}, 1, 1},
  };
  const int bar = CSplitterWndEx::kBarWidth;
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(c.layout);
    splitter.Arrange(c.layout);
    EXPECT_EQ(Shown(), c.panes);
    const std::span<const int> listed = CSplitterWndEx::PanesOfLayout(c.layout);
    EXPECT_EQ(std::vector<int>(listed.begin(), listed.end()), c.panes);
    for (int pane = 0; pane < CSplitterWndEx::kPaneCount; ++pane)
      EXPECT_EQ(splitter.Header(pane)->isVisible(), splitter.View(pane)->isVisible()) << pane;

    const int cellWidth = (splitter.width() - (c.columns - 1) * bar) / c.columns;
    const int cellHeight = (splitter.height() - (c.rows - 1) * bar) / c.rows;
    for (int pane : c.panes) {
      SCOPED_TRACE(pane);
      const QRect header = splitter.Header(pane)->geometry();
      const QRect view = splitter.View(pane)->geometry();
      // The header sits right above its pane, as wide as it.
      EXPECT_EQ(header.bottom() + 1, view.top());
      EXPECT_EQ(header.left(), view.left());
      EXPECT_EQ(header.width(), view.width());
      EXPECT_EQ(header.height(), splitter.Header(pane)->HeaderHeight());
      EXPECT_GT(view.height(), header.height());
      // Equal shares (the last row and column take the odd pixels).
      const int row = pane / 4, column = pane % 4;
      const QRect cell = Cell(pane);
      EXPECT_EQ(cell.left(), column * (cellWidth + bar));
      EXPECT_EQ(cell.top(), row * (cellHeight + bar));
      EXPECT_NEAR(cell.width(), cellWidth, c.columns - 1);
      EXPECT_NEAR(cell.height(), cellHeight, c.rows - 1);
      if (column == c.columns - 1) {
        EXPECT_EQ(cell.right(), splitter.width() - 1);
      }
      if (row == c.rows - 1) {
        EXPECT_EQ(cell.bottom(), splitter.height() - 1);
      }
    }
    // Side by side and one above the other, a bar between.
    auto has = [&](int p) { return std::find(c.panes.begin(), c.panes.end(), p) != c.panes.end(); };
    if (has(1)) {
      EXPECT_EQ(Cell(1).top(), Cell(0).top());
      EXPECT_EQ(Cell(1).left(), Cell(0).right() + 1 + bar);
    }
    if (has(4)) {
      EXPECT_EQ(Cell(4).left(), Cell(0).left());
      EXPECT_EQ(Cell(4).top(), Cell(0).bottom() + 1 + bar);
    }
  }
}

TEST_F(Splitter, PanesFollowTheSplittersSize) {
  splitter.Arrange(3);
  splitter.resize(500, 400);
  QApplication::processEvents();
  EXPECT_EQ(Cell(5).right(), 499);
  EXPECT_EQ(Cell(5).bottom(), 399);
  EXPECT_EQ(Cell(1).left(), Cell(0).right() + 1 + CSplitterWndEx::kBarWidth);
}

TEST_F(Splitter, HeadersShowTheCaptionsOfTheirPanes) {
  splitter.Arrange(5);
  for (int i = 0; i < CSplitterWndEx::kPaneCount; ++i) splitter.View(i)->SetCaption(QString::number(10 + i));
  splitter.View(5)->SetCaption(QStringLiteral("3-C"));
  for (int i = 0; i < CSplitterWndEx::kPaneCount; ++i)
    EXPECT_EQ(splitter.Header(i)->LabelText(), i == 5 ? QStringLiteral("3-C") : QString::number(10 + i));
  splitter.View(2)->SetCaption(QString());
  EXPECT_EQ(splitter.Header(2)->LabelText(), QString());
}

TEST_F(Splitter, AClickMakesThatPaneTheOnlyActiveOne) {
  splitter.Arrange(3);
  QSignalSpy changes(&splitter, &CSplitterWndEx::activeViewChanged);
  for (int pane : {4, 1, 1, 5}) {
    QTest::mouseClick(splitter.View(pane)->viewport(), Qt::LeftButton);
    EXPECT_EQ(splitter.ActiveView(), pane);
    for (int i = 0; i < CSplitterWndEx::kPaneCount; ++i) EXPECT_EQ(splitter.View(i)->IsActive(), i == pane) << i;
  }
  EXPECT_EQ(changes.count(), 3) << "clicking the active pane again changes nothing";
  QTest::mouseClick(splitter.View(0)->viewport(), Qt::RightButton);
  EXPECT_EQ(splitter.ActiveView(), 0) << "any button";
  splitter.SetActiveView(-1);
  for (int i = 0; i < CSplitterWndEx::kPaneCount; ++i) EXPECT_FALSE(splitter.View(i)->IsActive());
}

TEST_F(Splitter, ScreenshotsOfLayouts0_3And5) {
  for (int i = 0; i < CSplitterWndEx::kPaneCount; ++i) {
    CBelvAppView* view = splitter.View(i);
    ASSERT_TRUE(Show(*view, PagePicture(i + 1)));
    view->SetCaption(QString::number(i + 1));
  }
  for (int layout : {0, 3, 5}) {
    splitter.Arrange(layout);
    QApplication::processEvents();
    for (int pane : CSplitterWndEx::PanesOfLayout(layout)) {
      CBelvAppView* view = splitter.View(pane);
      // Twice: the first fit may hide scroll bars and so change the client area.
      for (int pass = 0; pass < 2; ++pass) {
        ASSERT_TRUE(view->Dib().FitWindow(view->viewport()->rect(), 0));
        view->ImageChanged();
        QApplication::processEvents();
      }
      EXPECT_FALSE(view->horizontalScrollBar()->isVisible()) << pane;
      EXPECT_FALSE(view->verticalScrollBar()->isVisible()) << pane;
      // Fitted: centred in the pane, so the origin lies inside it.
      const QPoint origin = view->ImageOrigin();
      EXPECT_GE(origin.x(), 0);
      EXPECT_GE(origin.y(), 0);
    }
    barstest::Screenshot(&splitter, QStringLiteral("splitter_layout_%1").arg(layout));
  }
}

}  // namespace
