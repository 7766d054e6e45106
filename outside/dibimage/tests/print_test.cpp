// Printing: the placement of both modes on an image device of known
// resolution, and a real PDF print job read back with pdfimages.
#include <gtest/gtest.h>

#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "dib_fixtures.h"
#include "testsupport/temp_env.h"

namespace {

using namespace dibtest;

PageImage BlackPage(int w, int h, int dpi, int bpp = 8) {
  PageImage img = MakeImage(w, h, bpp, dpi, dpi);
  Fill(img, bpp == 1 ? 1 : 0);
  return img;
}

// The bounding box of the black pixels.
QRect BlackBox(const QImage& q) {
  QRect box;
  for (int y = 0; y < q.height(); ++y)
    for (int x = 0; x < q.width(); ++x)
      if (qGray(q.pixel(x, y)) < 128) box |= QRect(x, y, 1, 1);
  return box;
}

QImage Sheet(int w, int h, int dpi) {
  QImage q(w, h, QImage::Format_RGB32);
  q.fill(Qt::white);
  q.setDotsPerMeterX(int(dpi / 0.0254 + 0.5));
  q.setDotsPerMeterY(int(dpi / 0.0254 + 0.5));
  return q;
}

TEST(PrintDIB, PlacesTheImageOnTheDevice) {
  const struct {
    const char* what;
    PageImage image;
    int mode;
    QRect box;
  } cases[] = {
      {"actual size, 300 dpi on 600 dpi", BlackPage(300, 150, 300), CDIB::kPrintActualSize, {0, 0, 600, 300}},
      {"actual size, no resolution", BlackPage(96, 48, 0), CDIB::kPrintActualSize, {0, 0, 600, 300}},
      {"fit page, wide image", BlackPage(300, 150, 300), CDIB::kPrintFitPage, {0, 150, 1000, 500}},
      {"fit page, tall image", BlackPage(100, 400, 300), CDIB::kPrintFitPage, {400, 0, 200, 800}},
      {"fit page, 1 bit", BlackPage(300, 150, 300, 1), CDIB::kPrintFitPage, {0, 150, 1000, 500}},
      {"actual size, 1 bit", BlackPage(300, 150, 300, 1), CDIB::kPrintActualSize, {0, 0, 600, 300}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CDIB dib;
    ASSERT_TRUE(Take(dib, c.image));
    QImage sheet = Sheet(1000, 800, 600);
    {
      QPainter p(&sheet);
      p.translate(30, 30);  // the device's own coordinates count, not the caller's
      ASSERT_TRUE(dib.PrintDIB(&p, c.mode));
    }
    EXPECT_EQ(BlackBox(sheet), c.box);
  }
}

TEST(PrintDIB, Failures) {
  CDIB dib;
  QImage sheet = Sheet(100, 100, 300);
  {
    QPainter p(&sheet);
    EXPECT_FALSE(dib.PrintDIB(&p, CDIB::kPrintFitPage));
    EXPECT_EQ(CDIB::GetErrorInformation(), kDibErrNoImage);
    ASSERT_TRUE(Take(dib, BlackPage(10, 10, 300)));
    EXPECT_FALSE(dib.PrintDIB(&p, 2));
    EXPECT_EQ(CDIB::GetErrorInformation(), kDibErrBadArgument);
  }
  EXPECT_FALSE(dib.PrintDIB(nullptr, CDIB::kPrintFitPage));
  EXPECT_EQ(CDIB::GetErrorInformation(), kDibErrBadArgument);
  QPainter idle;
  EXPECT_FALSE(dib.PrintDIB(&idle, CDIB::kPrintFitPage));
  EXPECT_EQ(CDIB::GetErrorInformation(), kDibErrPaint);
}

struct PdfImage {
  int page = 0, width = 0, height = 0, bpc = 0;
  double xPpi = 0, yPpi = 0;
};

// The images of a PDF as pdfimages lists them; false when the tool is missing.
bool ListImages(const std::string& pdf, std::vector<PdfImage>* out) {
  FILE* f = popen(("pdfimages -list '" + pdf + "' 2>/dev/null").c_str(), "r");
  if (!f) return false;
  std::string text;
  char buf[512];
  while (size_t n = fread(buf, 1, sizeof buf, f)) text.append(buf, n);
  if (pclose(f) != 0) return false;
  std::istringstream lines(text);
  std::string line;
  int row = 0;
  while (std::getline(lines, line)) {
    if (row++ < 2) continue;  // the heading and its rule
    std::istringstream cols(line);
    PdfImage img;
    std::string num, type, color, comp, enc, interp, object, id;
    cols >> img.page >> num >> type >> img.width >> img.height >> color >> comp >> img.bpc >> enc >> interp >> object >>
        id >> img.xPpi >> img.yPpi;
    if (cols) out->push_back(img);
  }
  return true;
}

// Page 1 of a PDF as 8-bit grey at 50 dpi (pdftoppm, a binary PGM).
bool RenderFirstPage(const std::string& pdf, const std::string& stem, std::vector<uint8_t>* grey, int* w, int* h) {
  const std::string command = "pdftoppm -r 50 -gray -f 1 -l 1 -singlefile '" + pdf + "' '" + stem + "' 2>/dev/null";
  if (std::system(command.c_str()) != 0) return false;
  std::istringstream in(testsupport::ReadFile(stem + ".pgm"));
  std::string magic;
  int maxval = 0;
  in >> magic >> *w >> *h >> maxval;
  in.get();
  if (magic != "P5" || maxval != 255 || *w <= 0 || *h <= 0) return false;
  grey->resize(size_t(*w) * size_t(*h));
  in.read(reinterpret_cast<char*>(grey->data()), std::streamsize(grey->size()));
  return bool(in);
}

TEST(PrintDIB, PrintsAPdfJobAtTheRightSize) {
  testsupport::TempDir dir;
  const std::string path = dir.File("job.pdf");
  // A 1-bit page of 2 × 1 inches at 300 dpi, black in its top-left
  // quarter, and a 24-bit page of 4 × 1 inches.
  PageImage mono = MakeImage(600, 300, 1, 300, 300);
  for (int y = 0; y < 150; ++y)
    for (int x = 0; x < 300; ++x) Set(mono, x, y, 1);
  const PageImage colour = MakeImage(800, 200, 24, 200, 200);
  {
    QPdfWriter writer(QString::fromStdString(path));
    writer.setResolution(300);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    QPainter p(&writer);
    CDIB dib;
    ASSERT_TRUE(Take(dib, mono));
    ASSERT_TRUE(dib.PrintDIB(&p, CDIB::kPrintActualSize));
    ASSERT_TRUE(writer.newPage());
    ASSERT_TRUE(dib.PrintDIB(&p, CDIB::kPrintFitPage));
    ASSERT_TRUE(writer.newPage());
    ASSERT_TRUE(Take(dib, colour));
    ASSERT_TRUE(dib.PrintDIB(&p, CDIB::kPrintActualSize));
  }
  std::vector<PdfImage> images;
  if (!ListImages(path, &images)) GTEST_SKIP() << "pdfimages is not installed";
  ASSERT_EQ(images.size(), 3u);
  // The image goes into the job at its own pixels; its printed size shows
  // as the resolution it has on the sheet.
  EXPECT_EQ(images[0].page, 1);
  EXPECT_EQ(images[0].width, 600);
  EXPECT_EQ(images[0].bpc, 1);
  EXPECT_NEAR(images[0].xPpi, 300, 1);
  EXPECT_NEAR(images[0].yPpi, 300, 1);
  // Fit page: the full A4 width of 210 mm.
  EXPECT_EQ(images[1].page, 2);
  EXPECT_NEAR(images[1].xPpi, 600 / (210 / 25.4), 1);
  EXPECT_NEAR(images[1].yPpi, images[1].xPpi, 1);
  EXPECT_EQ(images[2].page, 3);
  EXPECT_NEAR(images[2].xPpi, 200, 1);

  // Black stays black: the first sheet rendered at 50 dpi has the block
  // in its top-left 50 × 25 pixels.
  std::vector<uint8_t> grey;
  int w = 0, h = 0;
  ASSERT_TRUE(RenderFirstPage(path, dir.File("sheet"), &grey, &w, &h));
  auto at = [&](int x, int y) { return int(grey[size_t(y) * size_t(w) + size_t(x)]); };
  EXPECT_LT(at(10, 10), 64);
  EXPECT_GT(at(80, 10), 192);
  EXPECT_GT(at(10, 40), 192);
  EXPECT_GT(at(w / 2, h / 2), 192);
}

}  // namespace
