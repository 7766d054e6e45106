// Blank page detection on generated pages: clean, noisy, specked, shadowed
// at the edges, tinted, and pages that hold a few words.
#include <gtest/gtest.h>

#include <QFont>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "dib_fixtures.h"

namespace {

using namespace dibtest;

constexpr int kW = 827, kH = 1169;  // A4 at 100 dpi

QImage Paper(QColor colour) {
  QImage q(kW, kH, QImage::Format_RGB888);
  q.fill(colour);
  return q;
}

// Gaussian sensor noise (drawn from a table of samples: pages are large).
void Noise(QImage& q, double sigma, uint32_t seed) {
  std::mt19937 rng(seed);
  std::normal_distribution<double> n(0, sigma);
  std::vector<int> samples(4096);
  for (int& v : samples) v = int(std::lround(n(rng)));
  for (int y = 0; y < q.height(); ++y) {
    uchar* line = q.scanLine(y);
    for (int i = 0; i < q.width() * 3; ++i) line[i] = uchar(std::clamp(line[i] + samples[rng() >> 20], 0, 255));
  }
}

void Specks(QImage& q, int singles, int pairs, uint32_t seed) {
  std::mt19937 rng(seed);
  for (int i = 0; i < singles + pairs; ++i) {
    const int x = int(rng() % (kW - 1)), y = int(rng() % kH);
    q.setPixel(x, y, qRgb(0, 0, 0));
    if (i >= singles) q.setPixel(x + 1, y, qRgb(0, 0, 0));
  }
}

// Scanner edges and punch holes, all inside the ignored margin.
void EdgeShadows(QImage& q) {
  QPainter p(&q);
  p.fillRect(0, 0, kW * 4 / 100, kH, QColor(40, 40, 40));
  p.fillRect(0, 0, kW, kH * 3 / 100, QColor(60, 60, 60));
  p.fillRect(0, kH - kH * 2 / 100, kW, kH * 2 / 100, QColor(20, 20, 20));
  p.setBrush(Qt::black);
  for (int y : {kH / 3, kH * 2 / 3}) p.drawEllipse(QPoint(kW * 3 / 100, y), 9, 9);
}

void Words(QImage& q, const QString& text, QColor ink = Qt::black) {
  QPainter p(&q);
  QFont font("DejaVu Sans");
  font.setPixelSize(17);  // 12 pt at 100 dpi
  p.setFont(font);
  p.setPen(ink);
  p.drawText(QPoint(kW / 4, kH / 3), text);
}

PageImage ToPage(const QImage& rgb, int bpp) {
  PageImage img = MakeImage(kW, kH, bpp, 100, 100);
  for (int y = 0; y < kH; ++y) {
    const uchar* line = rgb.constScanLine(y);
    for (int x = 0; x < kW; ++x) {
      const uint32_t r = line[3 * x], g = line[3 * x + 1], b = line[3 * x + 2];
      const uint32_t grey = (r * 77 + g * 150 + b * 29) >> 8;
      if (bpp == 24)
        Set(img, x, y, (r << 16) | (g << 8) | b);
      else if (bpp == 8)
        Set(img, x, y, grey);
      else
        Set(img, x, y, grey < 128 ? 1 : 0);
    }
  }
  return img;
}

struct BlankCase {
  const char* page;
  std::function<QImage()> make;
  int bpp;
  int ratio;  // hundredths of a percent
  bool blank;
};

const QColor kWhite(255, 255, 255), kNearWhite(245, 245, 245), kTinted(200, 200, 200), kYellowish(240, 228, 180);

QImage NoisyWhite() {
  QImage q = Paper(kNearWhite);
  Noise(q, 6, 1);
  return q;
}
QImage Specked() {
  QImage q = Paper(kWhite);
  Specks(q, 2500, 150, 2);
  return q;
}
QImage Shadowed() {
  QImage q = NoisyWhite();
  EdgeShadows(q);
  return q;
}
QImage TintedNoisy() {
  QImage q = Paper(kTinted);
  Noise(q, 5, 3);
  return q;
}
QImage FewWords() {
  QImage q = Shadowed();
  Specks(q, 1000, 50, 4);
  Words(q, "Meeting at noon");
  return q;
}
QImage YellowWithStamp() {
  QImage q = Paper(kYellowish);
  Noise(q, 4, 5);
  QPainter p(&q);
  p.setPen(QPen(QColor(200, 30, 30), 3));
  p.drawEllipse(QPoint(kW / 2, kH / 2), 40, 40);
  return q;
}
QImage YellowNoisy() {
  QImage q = Paper(kYellowish);
  Noise(q, 4, 6);
  return q;
}

const BlankCase kCases[] = {
    {"clean white", [] { return Paper(kWhite); }, 8, 0, true},
    {"noisy near-white", NoisyWhite, 8, 1, true},
    {"isolated specks", Specked, 8, 1, true},
    {"isolated specks", Specked, 1, 1, true},
    {"edge shadows and punch holes", Shadowed, 8, 1, true},
    {"edge shadows and punch holes", Shadowed, 1, 1, true},
    {"edge shadows and punch holes", Shadowed, 24, 1, true},
    {"tinted paper", TintedNoisy, 8, 1, true},
    {"yellowish paper", YellowNoisy, 24, 1, true},
    {"a few words", FewWords, 8, 1, false},
    {"a few words", FewWords, 1, 1, false},
    {"a few words", FewWords, 24, 1, false},
    {"a few words", FewWords, 8, 0, false},
    {"a few words", FewWords, 8, 50, true},  // below 0.5 % of the page
    {"a stamp on yellowish paper", YellowWithStamp, 24, 1, false},
    {"a stamp on yellowish paper", YellowWithStamp, 8, 1, false},
};

TEST(DetectBlankPage, JudgesGeneratedPages) {
  std::map<std::string, QImage> pages;  // each page is drawn once
  for (const BlankCase& c : kCases) {
    SCOPED_TRACE(std::string(c.page) + " bpp " + std::to_string(c.bpp) + " ratio " + std::to_string(c.ratio));
    auto [it, fresh] = pages.try_emplace(c.page);
    if (fresh) it->second = c.make();
    CDIB dib;
    ASSERT_TRUE(Take(dib, ToPage(it->second, c.bpp)));
    bool blank = !c.blank;
    ASSERT_TRUE(dib.DetectBlankPage(c.ratio, &blank));
    EXPECT_EQ(blank, c.blank);
  }
}

TEST(DetectBlankPage, Failures) {
  CDIB empty;
  bool blank = false;
  EXPECT_FALSE(empty.DetectBlankPage(20, &blank));
  EXPECT_EQ(CDIB::GetErrorInformation(), kDibErrNoImage);
  CDIB dib;
  ASSERT_TRUE(Take(dib, MakeImage(50, 50, 8)));
  EXPECT_FALSE(dib.DetectBlankPage(-1, &blank));
  EXPECT_EQ(CDIB::GetErrorInformation(), kDibErrBadArgument);
  EXPECT_FALSE(dib.DetectBlankPage(20, nullptr));
  EXPECT_EQ(CDIB::GetErrorInformation(), kDibErrBadArgument);
}

}  // namespace
