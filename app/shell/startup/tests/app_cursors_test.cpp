// The six cursors of the application and the three pictures of our own.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPixmap>

#include "shell/app_cursors.h"
#include "startup_test_support.h"

namespace shell {
namespace {

int OpaquePixels(const QImage& image) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += qAlpha(image.pixel(x, y)) > 128;
  return n;
}

TEST(AppCursors, SixInTheOrderTheyAreLoaded) {
  const CAppCursors cursors;
  ASSERT_EQ(cursors.All().size(), 6u);
  const Qt::CursorShape shapes[] = {Qt::ArrowCursor,  Qt::BitmapCursor, Qt::SizeAllCursor,
                                    Qt::BitmapCursor, Qt::BitmapCursor, Qt::WaitCursor};
  for (int i = 0; i < kAppCursorCount; ++i) EXPECT_EQ(cursors.All()[i].shape(), shapes[i]) << i;
  EXPECT_EQ(cursors.Get(AppCursor::kWait).shape(), Qt::WaitCursor);
  EXPECT_EQ(cursors.Get(AppCursor::kSizeAll).shape(), Qt::SizeAllCursor);

  // The bitmap ones are 105, 137 and 138 in that order.
  const struct {
    AppCursor which;
    uint32_t id;
  } kOwn[] = {{AppCursor::kMagnify, kIdcMagnify}, {AppCursor::kScroll, kIdcScroll},
              {AppCursor::kScrollDrag, kIdcScrollDrag}};
  for (const auto& own : kOwn) {
    const std::optional<QCursor> loaded = LoadCursorResource(own.id);
    ASSERT_TRUE(loaded) << own.id;
    const QCursor& held = cursors.Get(own.which);
    EXPECT_EQ(held.pixmap().toImage(), loaded->pixmap().toImage()) << own.id;
    EXPECT_EQ(held.hotSpot(), loaded->hotSpot()) << own.id;
  }
}

TEST(AppCursors, OwnPicturesAre32SquareWithTheHotSpotOnThem) {
  QImage sheet(3 * 4 * kCursorPictureSize, 4 * kCursorPictureSize, QImage::Format_ARGB32);
  sheet.fill(QColor(0x80, 0x90, 0xA0));
  QPainter painter(&sheet);
  std::vector<QImage> pictures;
  int column = 0;
  for (uint32_t id : {kIdcMagnify, kIdcScroll, kIdcScrollDrag}) {
    const std::optional<QCursor> cursor = LoadCursorResource(id);
    ASSERT_TRUE(cursor) << id;
    const QImage picture = cursor->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(picture.size(), QSize(kCursorPictureSize, kCursorPictureSize)) << id;
    const QPoint hot = cursor->hotSpot();
    EXPECT_TRUE(picture.rect().contains(hot)) << id;
    EXPECT_GT(OpaquePixels(picture), 60) << id;
    // The hot spot lies on the drawn shape, not in the transparent corner.
    EXPECT_GT(qAlpha(picture.pixel(hot)), 0) << id;
    EXPECT_LT(OpaquePixels(picture), kCursorPictureSize * kCursorPictureSize * 3 / 4) << id << ": a shape, not a block";
    for (const QImage& earlier : pictures) EXPECT_NE(picture, earlier) << id << " has a picture of its own";
    pictures.push_back(picture);
    painter.drawImage(QRect(column++ * 4 * kCursorPictureSize, 0, 4 * kCursorPictureSize, 4 * kCursorPictureSize),
                      picture);
  }
  EXPECT_FALSE(LoadCursorResource(106).has_value());
  painter.end();
  if (const char* folder = std::getenv("VISTEL_SCREENSHOT_DIR"); folder && *folder) {
    QDir().mkpath(QString::fromLocal8Bit(folder));
    sheet.save(QString::fromLocal8Bit(folder) + QStringLiteral("/cursors_x4.png"));
  }
}

}  // namespace
}  // namespace shell
