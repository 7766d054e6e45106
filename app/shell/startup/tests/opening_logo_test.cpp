// The opening logo on the offscreen screen, and the wait that keeps events
// turning while start-up pauses.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QSet>
#include <QTimer>

#include "shell/event_wait.h"
#include "shell/opening_logo_dlg.h"
#include "startup_test_support.h"

namespace shell {
namespace {

TEST(OpeningLogo, IsTheBitmapPlusTheFrameCentredOnTheScreen) {
  COpeningLogoDlg logo;
  logo.Open();
  QCoreApplication::processEvents();

  ASSERT_EQ(logo.Bitmap().size(), QSize(kOpeningLogoWidth, kOpeningLogoHeight));
  EXPECT_GT(logo.FrameWidth(), 0) << "the style has a frame";
  EXPECT_EQ(logo.size(), logo.Bitmap().size() + QSize(2 * logo.FrameWidth(), 2 * logo.FrameWidth()));
  EXPECT_EQ(logo.frameGeometry().size(), logo.size()) << "no window decoration around it";

  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  const QPoint offset = logo.frameGeometry().center() - screen.center();
  EXPECT_LE(std::abs(offset.x()), 1) << "horizontal centre";
  EXPECT_LE(std::abs(offset.y()), 1) << "vertical centre";

  EXPECT_TRUE(logo.isVisible());
  EXPECT_FALSE(logo.isModal());
  EXPECT_TRUE(logo.windowFlags() & Qt::FramelessWindowHint);
  startup_test::Screenshot(&logo, QStringLiteral("opening_logo"));
}

TEST(OpeningLogo, PaintsTheBitmapOneToOneInsideTheFrame) {
  COpeningLogoDlg logo;
  logo.Open();
  const QImage shown = logo.grab().toImage().convertToFormat(QImage::Format_RGB32);
  const int f = logo.FrameWidth();
  EXPECT_EQ(shown.copy(f, f, kOpeningLogoWidth, kOpeningLogoHeight), logo.Bitmap());
  // The frame is drawn: its pixels are not the bitmap's edge.
  EXPECT_NE(shown.pixel(0, shown.height() / 2), logo.Bitmap().pixel(0, kOpeningLogoHeight / 2));
}

TEST(OpeningLogo, BitmapIsAPictureNotAFill) {
  const QImage bitmap = OpeningLogoBitmap();
  QSet<QRgb> colours;
  for (int y = 0; y < bitmap.height(); y += 3)
    for (int x = 0; x < bitmap.width(); x += 3) colours.insert(bitmap.pixel(x, y));
  EXPECT_GT(colours.size(), 50);
  // The product name is written in white on the right half.
  int white = 0;
  for (int y = 0; y < bitmap.height(); ++y)
    for (int x = bitmap.width() / 2; x < bitmap.width(); ++x) white += bitmap.pixel(x, y) == qRgb(255, 255, 255);
  EXPECT_GT(white, 300);
}

TEST(WaitWithEventsTurning, WaitsTheDurationWhileEventsAreHandled) {
  struct Case {
    int waitMs;
    int timerMs;
  } const cases[] = {{200, 20}, {50, 0}};
  for (const Case& c : cases) {
    bool fired = false;
    QTimer::singleShot(c.timerMs, [&fired] { fired = true; });
    QElapsedTimer clock;
    clock.start();
    WaitWithEventsTurning(std::chrono::milliseconds(c.waitMs));
    const qint64 elapsed = clock.elapsed();
    EXPECT_TRUE(fired) << c.waitMs;
    EXPECT_GE(elapsed, c.waitMs);
    EXPECT_LT(elapsed, c.waitMs + 300);
  }
}

}  // namespace
}  // namespace shell
