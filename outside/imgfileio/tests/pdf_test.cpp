// Tests of PDF pages: writing new files and appending to them, reading our
// pages back, what the independent tools (qpdf, pdfimages, pdftoppm) make
// of them, pages the way other programs write them (one image of each
// colour space and filter, vector pages that are rendered), and damaged
// files.
#define POINTERHOLDER_TRANSITION 4

#include <gtest/gtest.h>
#include <qpdf/JSON.hh>  // before the other qpdf headers, which use it incomplete
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <sys/stat.h>
#include <sys/wait.h>
#include <zlib.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "../src/formats.h"
#include "ZoImgFileIO.h"
#include "testsupport/temp_env.h"

namespace {

namespace fs = std::filesystem;
using zoimg::PageImage;
using zoimg::detail::PageInfo;

// --- page images -------------------------------------------------------

PageImage Blank(int32_t bits, int32_t w, int32_t h, int32_t xDpi, int32_t yDpi) {
  PageImage img;
  img.width = w;
  img.height = h;
  img.bitsPerPixel = bits;
  img.xDpi = xDpi;
  img.yDpi = yDpi;
  if (bits == 1) img.palette = {0xFFFFFFu, 0x000000u};
  if (bits == 4 || bits == 8) img.palette.resize(size_t(1) << bits);
  if (bits == 8)
    for (uint32_t i = 0; i < 256; ++i) img.palette[i] = i * 0x010101u;
  img.pixels.assign(size_t(img.Stride()) * size_t(h), 0);
  return img;
}

uint8_t* Row(PageImage& img, int32_t y) { return img.pixels.data() + size_t(y) * img.Stride(); }
const uint8_t* Row(const PageImage& img, int32_t y) { return img.pixels.data() + size_t(y) * img.Stride(); }
bool Black(const PageImage& img, int32_t x, int32_t y) { return (Row(img, y)[x / 8] >> (7 - x % 8)) & 1; }

// A scanned-looking page: text-like strokes (1 bit), smooth shading (8 and
// 24 bits, which JPEG keeps well).
PageImage Page(int32_t bits, int32_t w, int32_t h, int32_t xDpi, int32_t yDpi) {
  PageImage img = Blank(bits, w, h, xDpi, yDpi);
  for (int32_t y = 0; y < h; ++y) {
    uint8_t* row = Row(img, y);
    for (int32_t x = 0; x < w; ++x) {
      if (bits == 1) {
        if ((x / 6 + y / 11) % 5 == 0 && y % 11 < 8) row[x / 8] |= uint8_t(0x80u >> (x % 8));
      } else if (bits == 8) {
        row[x] = uint8_t(128 + 100 * std::sin(x / 40.0) * std::cos(y / 30.0));
      } else {
        row[3 * x] = uint8_t(x * 255 / w);
        row[3 * x + 1] = uint8_t(y * 255 / h);
        row[3 * x + 2] = uint8_t(128 + 120 * std::sin((x + y) / 50.0));
      }
    }
  }
  return img;
}

double Psnr(const PageImage& a, const PageImage& b) {
  double sum = 0;
  uint64_t n = 0;
  const int32_t bytes = a.width * a.bitsPerPixel / 8;
  for (int32_t y = 0; y < a.height; ++y)
    for (int32_t i = 0; i < bytes; ++i, ++n) {
      double d = double(Row(a, y)[i]) - double(Row(b, y)[i]);
      sum += d * d;
    }
  return sum == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / (sum / double(n)));
}

// --- outside tools -----------------------------------------------------

bool Have(const std::string& tool) { return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0; }

std::string Shell(const std::string& command, int* exitCode) {
  std::string out;
  FILE* p = popen((command + " 2>&1").c_str(), "r");
  if (p == nullptr) return out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  int status = pclose(p);
  *exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return out;
}

std::string Quote(const std::string& path) { return "'" + path + "'"; }

// A PGM or PPM that pdftoppm wrote, as a grey or BGR page image.
PageImage ReadNetpbm(const std::string& path) {
  std::istringstream in(testsupport::ReadFile(path));
  std::string magic;
  int32_t w = 0, h = 0, maxval = 0;
  in >> magic >> w >> h >> maxval;
  in.get();
  const bool colour = magic == "P6";
  PageImage img = Blank(colour ? 24 : 8, w, h, 0, 0);
  for (int32_t y = 0; y < h; ++y) {
    uint8_t* row = Row(img, y);
    in.read(reinterpret_cast<char*>(row), colour ? 3 * w : w);
    if (colour)
      for (int32_t x = 0; x < w; ++x) std::swap(row[3 * x], row[3 * x + 2]);
  }
  return img;
}

// How poppler's own tool shows page 1 at dpi, in the kind of ours.
PageImage PopplerView(const std::string& pdf, int32_t dpi, bool colour) {
  const std::string base = pdf + ".view";
  int code = 0;
  Shell("pdftoppm -r " + std::to_string(dpi) + (colour ? "" : " -gray") + " -singlefile -f 1 -l 1 " + Quote(pdf) + " " +
            Quote(base),
        &code);
  EXPECT_EQ(code, 0);
  return ReadNetpbm(base + (colour ? ".ppm" : ".pgm"));
}

// Whether poppler's view agrees with our page: each pixel it shows lies
// within the range of our pixels around it (poppler's image scaling may
// shift a pixel), for grey and colour pages channel by channel.
int64_t PixelsShownOtherwise(const PageImage& view, const PageImage& ours) {
  auto value = [](const PageImage& img, int32_t x, int32_t y, int ch) -> int {
    const uint8_t* row = Row(img, y);
    if (img.bitsPerPixel == 1) return Black(img, x, y) ? 0 : 255;
    if (img.bitsPerPixel == 8) return row[x];
    return row[3 * x + ch];
  };
  const int channels = ours.bitsPerPixel == 24 ? 3 : 1;
  const int tolerance = ours.bitsPerPixel == 1 ? 64 : 2;
  int64_t otherwise = 0;
  for (int32_t y = 0; y < ours.height; ++y)
    for (int32_t x = 0; x < ours.width; ++x)
      for (int ch = 0; ch < channels; ++ch) {
        int lo = 255, hi = 0;
        for (int32_t ny = std::max(0, y - 1); ny <= std::min(ours.height - 1, y + 1); ++ny)
          for (int32_t nx = std::max(0, x - 1); nx <= std::min(ours.width - 1, x + 1); ++nx) {
            lo = std::min(lo, value(ours, nx, ny, ch));
            hi = std::max(hi, value(ours, nx, ny, ch));
          }
        int shown = value(view, x, y, ch);
        otherwise += shown < lo - tolerance || shown > hi + tolerance;
      }
  return otherwise;
}

// --- PDF files written by hand -----------------------------------------

std::string StreamObject(const std::string& dict, const std::string& data) {
  return "<< " + dict + " /Length " + std::to_string(data.size()) + " >>\nstream\n" + data + "\nendstream";
}

// A PDF of objects 1..n (1 the catalog) with a correct xref table.
std::string MakePdf(const std::vector<std::string>& objects) {
  std::string out = "%PDF-1.5\n%\xE2\xE3\xCF\xD3\n";
  std::vector<size_t> offsets;
  for (size_t i = 0; i < objects.size(); ++i) {
    offsets.push_back(out.size());
    out += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
  }
  const size_t xref = out.size();
  out += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
  for (size_t off : offsets) {
    char line[24];
    std::snprintf(line, sizeof line, "%010zu 00000 n \n", off);
    out += line;
  }
  out += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
         std::to_string(xref) + "\n%%EOF\n";
  return out;
}

// One page of size w × h points whose resources name the image object 4 as
// /Im1 and font object 6 as /F1; more objects follow from 7 on.
std::string OnePagePdf(double w, double h, const std::string& pageExtra, const std::string& image,
                       const std::string& content, const std::vector<std::string>& more = {},
                       const std::string& contentDict = "") {
  std::ostringstream page;
  page << "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " << w << " " << h << "] " << pageExtra
       << " /Resources << /XObject << /Im1 4 0 R >> /Font << /F1 6 0 R >> >> /Contents 5 0 R >>";
  std::vector<std::string> objects = {"<< /Type /Catalog /Pages 2 0 R >>",
                                      "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                                      page.str(),
                                      image.empty() ? "null" : image,
                                      StreamObject(contentDict, content),
                                      "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"};
  objects.insert(objects.end(), more.begin(), more.end());
  return MakePdf(objects);
}

std::string Deflate(const std::string& data) {
  uLongf size = compressBound(uLong(data.size()));
  std::string out(size, '\0');
  EXPECT_EQ(compress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
                     uLong(data.size())),
            Z_OK);
  out.resize(size);
  return out;
}

std::string Bytes(const std::vector<uint8_t>& v) { return std::string(v.begin(), v.end()); }

// An A4 page of vector art and text: a red square, a black bar, a line of
// text; nothing there is an image.
const char kVectorContent[] =
    "1 0 0 rg 72 72 144 144 re f\n0 g 300 600 200 20 re f\nBT /F1 24 Tf 72 720 Td (Vistel test page) Tj ET\n";

std::string VectorA4(const std::string& pageExtra = "") {
  return OnePagePdf(595.276, 841.89, pageExtra, "", kVectorContent);
}

class Pdf : public testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& bytes) {
    std::string path = dir_.File(name);
    testsupport::WriteFile(path, bytes);
    return path;
  }
  std::vector<std::string> FolderEntries() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_.Path())) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  testsupport::TempDir dir_;
};

// --- our own pages -----------------------------------------------------

struct OwnPage {
  const char* name;
  PageImage image;
  const char* colour;    // as pdfimages names it
  const char* encoding;  // the same
};

std::vector<OwnPage> OwnPages() {
  return {{"1-bit", Page(1, 1000, 700, 200, 200), "gray", "ccitt"},
          {"8-bit grey", Page(8, 600, 400, 300, 150), "gray", "jpeg"},
          {"24-bit", Page(24, 500, 300, 150, 150), "rgb", "jpeg"}};
}

std::string WriteOwnPages(const std::string& path) {
  int32_t pages = 0;
  for (const OwnPage& p : OwnPages()) {
    EXPECT_EQ(zoimg::detail::PdfWritePage(path, p.image, 90), zoimg::kOk) << p.name;
    EXPECT_EQ(zoimg::detail::PdfPageCount(path), ++pages) << "after appending " << p.name;
  }
  return path;
}

TEST_F(Pdf, WrittenAndAppendedPagesReadBackAtTheirOwnPixels) {
  const std::string path = WriteOwnPages(dir_.File("scan.pdf"));
  int32_t number = 0;
  for (const OwnPage& p : OwnPages()) {
    SCOPED_TRACE(p.name);
    ++number;
    PageInfo info;
    ASSERT_EQ(zoimg::detail::PdfPageInfo(path, number, &info), zoimg::kOk);
    EXPECT_EQ(info.bitsPerPixel, p.image.bitsPerPixel);
    EXPECT_EQ(info.width, p.image.width);
    EXPECT_EQ(info.height, p.image.height);
    EXPECT_EQ(info.xDpi, p.image.xDpi);
    EXPECT_EQ(info.yDpi, p.image.yDpi);
    EXPECT_EQ(info.type, zoimg::PDF);

    PageImage back;
    ASSERT_EQ(zoimg::detail::PdfReadPage(path, number, &back), zoimg::kOk);
    ASSERT_TRUE(back.IsValid());
    ASSERT_EQ(back.bitsPerPixel, p.image.bitsPerPixel);
    ASSERT_EQ(back.width, p.image.width);
    ASSERT_EQ(back.height, p.image.height);
    EXPECT_EQ(back.xDpi, p.image.xDpi);
    EXPECT_EQ(back.yDpi, p.image.yDpi);
    EXPECT_EQ(back.palette, p.image.palette);
    if (p.image.bitsPerPixel == 1)
      EXPECT_EQ(back.pixels, p.image.pixels);
    else
      EXPECT_GT(Psnr(back, p.image), 30.0);
  }
}

TEST_F(Pdf, PageSizeFollowsTheResolution) {
  struct Case {
    int32_t w, h, xDpi, yDpi;
    double widthPt, heightPt;
    int32_t readXDpi, readYDpi;
  } cases[] = {
      {1700, 2200, 200, 200, 612, 792, 200, 200},       // Letter
      {2480, 3508, 300, 300, 595.2, 841.92, 300, 300},  // A4
      {300, 300, 300, 150, 72, 144, 300, 150},          // unequal resolutions
      {100, 50, 0, 0, 36, 18, 200, 200},                // none given: 200 dpi
      {7, 3, 600, 600, 0.84, 0.36, 600, 600},           // tiny
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h) + " at " + std::to_string(c.xDpi));
    const std::string path = dir_.File("size" + std::to_string(c.w) + ".pdf");
    ASSERT_EQ(zoimg::detail::PdfWritePage(path, Page(1, c.w, c.h, c.xDpi, c.yDpi), 90), zoimg::kOk);
    QPDF pdf;
    pdf.processFile(path.c_str());
    QPDFPageObjectHelper page(pdf.getAllPages().at(0));
    auto box = page.getMediaBox().getArrayAsRectangle();
    EXPECT_NEAR(box.urx - box.llx, c.widthPt, 1e-3);
    EXPECT_NEAR(box.ury - box.lly, c.heightPt, 1e-3);
    auto data = page.getObjectHandle().getKey("/Contents").getStreamData();
    std::string content(reinterpret_cast<const char*>(data->getBuffer()), data->getSize());
    EXPECT_NE(content.find(" 0 0 cm /Im0 Do Q"), std::string::npos) << content;
    PageInfo info;
    ASSERT_EQ(zoimg::detail::PdfPageInfo(path, 1, &info), zoimg::kOk);
    EXPECT_EQ(info.xDpi, c.readXDpi);
    EXPECT_EQ(info.yDpi, c.readYDpi);
  }
}

TEST_F(Pdf, IndependentToolsAgreeWithWhatWeWrite) {
  if (!Have("qpdf") || !Have("pdfimages") || !Have("pdftoppm")) GTEST_SKIP() << "qpdf or poppler-utils missing";
  const std::string path = WriteOwnPages(dir_.File("scan.pdf"));
  int code = -1;
  std::string check = Shell("qpdf --check " + Quote(path), &code);
  EXPECT_EQ(code, 0) << check;
  EXPECT_NE(check.find("No syntax or stream encoding errors"), std::string::npos) << check;

  // page num type width height color comp bpc enc interp object ID x-ppi y-ppi size ratio
  std::istringstream list(Shell("pdfimages -list " + Quote(path), &code));
  ASSERT_EQ(code, 0);
  std::string line;
  std::getline(list, line);
  std::getline(list, line);
  int32_t number = 0;
  for (const OwnPage& p : OwnPages()) {
    SCOPED_TRACE(p.name);
    ++number;
    ASSERT_TRUE(std::getline(list, line));
    std::istringstream row(line);
    int page = 0, num = 0, w = 0, h = 0, comp = 0, bpc = 0, object = 0, id = 0, xppi = 0, yppi = 0;
    std::string type, colour, enc, interp;
    row >> page >> num >> type >> w >> h >> colour >> comp >> bpc >> enc >> interp >> object >> id >> xppi >> yppi;
    EXPECT_EQ(page, number);
    EXPECT_EQ(type, "image");
    EXPECT_EQ(w, p.image.width);
    EXPECT_EQ(h, p.image.height);
    EXPECT_EQ(colour, p.colour);
    EXPECT_EQ(comp, p.image.bitsPerPixel == 24 ? 3 : 1);
    EXPECT_EQ(bpc, p.image.bitsPerPixel == 1 ? 1 : 8);
    EXPECT_EQ(enc, p.encoding);
    EXPECT_EQ(xppi, p.image.xDpi);
    EXPECT_EQ(yppi, p.image.yDpi);
  }
  EXPECT_FALSE(std::getline(list, line)) << "one image per page: " << line;

  // Poppler shows the 1-bit page black where the image is black.
  const OwnPage fax = OwnPages()[0];
  PageImage view = PopplerView(path, fax.image.xDpi, false);
  ASSERT_EQ(view.width, fax.image.width);
  ASSERT_EQ(view.height, fax.image.height);
  EXPECT_EQ(PixelsShownOtherwise(view, fax.image), 0);
}

TEST_F(Pdf, PalettePagesAreWrittenAsGreyOrColour) {
  std::mt19937 rng(3);
  PageImage grey4 = Blank(4, 64, 32, 200, 200), colour8 = Blank(8, 64, 32, 200, 200),
            greyNotRamp8 = Blank(8, 64, 32, 200, 200);
  for (uint32_t i = 0; i < 16; ++i) grey4.palette[i] = (i * 17) * 0x010101u;
  for (uint32_t& c : colour8.palette) c = rng() & 0xFFFFFF;
  for (uint32_t i = 0; i < 256; ++i) greyNotRamp8.palette[i] = (255 - i) * 0x010101u;
  for (int32_t y = 0; y < 32; ++y)
    for (int32_t x = 0; x < 64; ++x) {
      // large flat blocks, which JPEG keeps nearly exactly
      uint32_t index = uint32_t((x / 16) + 4 * (y / 16));
      if (x % 2 == 0) Row(grey4, y)[x / 2] = uint8_t(index << 4 | index);
      Row(colour8, y)[x] = uint8_t(index * 16);
      Row(greyNotRamp8, y)[x] = uint8_t(index * 16);
    }
  struct Case {
    const char* name;
    const PageImage& image;
    int32_t bits;
  } cases[] = {{"4-bit grey palette", grey4, 8},
               {"8-bit colour palette", colour8, 24},
               {"8-bit reversed grey", greyNotRamp8, 8}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir_.File(std::string(c.name) + ".pdf");
    ASSERT_EQ(zoimg::detail::PdfWritePage(path, c.image, 95), zoimg::kOk);
    PageImage back;
    ASSERT_EQ(zoimg::detail::PdfReadPage(path, 1, &back), zoimg::kOk);
    ASSERT_EQ(back.bitsPerPixel, c.bits);
    int worst = 0;
    for (int32_t y = 0; y < 32; ++y)
      for (int32_t x = 0; x < 64; ++x) {
        uint32_t index =
            c.image.bitsPerPixel == 4 ? (Row(c.image, y)[x / 2] >> (x % 2 ? 0 : 4)) & 15 : Row(c.image, y)[x];
        uint32_t want = c.image.palette[index];
        for (int ch = 0; ch < (c.bits == 24 ? 3 : 1); ++ch) {
          int got = c.bits == 24 ? Row(back, y)[3 * x + ch] : Row(back, y)[x];
          worst = std::max(worst, std::abs(got - int((want >> (8 * ch)) & 0xFF)));
        }
      }
    EXPECT_LE(worst, 12) << "the palette's colours, not its indexes";
  }
}

// --- pages other programs write ----------------------------------------

struct ForeignImage {
  const char* name;
  std::string imageObject;  // object 4
  int32_t w, h;             // pixels, drawn at 1 point per pixel (72 dpi)
  int32_t bits;
  std::function<uint32_t(int32_t x, int32_t y)> expected;  // 1: black; 8: grey; 24: 0xRRGGBB
  std::vector<std::string> more;                           // objects 7..
  bool shownAsRead = true;                                 // false: poppler applies what we ignore (a soft mask)
};

uint8_t Sample(int32_t x, int32_t y) { return uint8_t((x * 7 + y * 13) % 256); }

std::vector<ForeignImage> ForeignImages() {
  const int32_t w = 48, h = 24;
  std::string grey, rgb, bits1, indexed4, ascii;
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      grey += char(Sample(x, y));
      rgb += {char(Sample(x, y)), char(255 - Sample(x, y)), char(x * 5)};
    }
    for (int32_t x = 0; x < w; x += 8) {
      uint8_t b = 0;
      for (int32_t i = 0; i < 8; ++i) b = uint8_t(b << 1 | (((x + i) / 3 + y / 3) % 3 == 0));
      bits1 += char(b);
    }
    for (int32_t x = 0; x < w; x += 2) indexed4 += char(((x + y) % 16) << 4 | ((x + 1 + y) % 16));
  }
  static const char kHex[] = "0123456789ABCDEF";
  for (char c : indexed4) ascii += {kHex[uint8_t(c) >> 4], kHex[uint8_t(c) & 15]};
  ascii += '>';
  std::string lut;
  for (int i = 0; i < 16; ++i) lut += {char(i * 16), char(255 - i * 16), char((i * 53) % 256)};
  auto hexString = [&](const std::string& s) {
    std::string out = "<";
    for (char c : s) out += {kHex[uint8_t(c) >> 4], kHex[uint8_t(c) & 15]};
    return out + ">";
  };
  PageImage fax = Blank(1, w, h, 72, 72);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      if ((x / 4 + y / 3) % 2) Row(fax, y)[x / 8] |= uint8_t(0x80u >> (x % 8));
  std::vector<uint8_t> g4;
  EXPECT_EQ(zoimg::detail::EncodeG4(fax, &g4), zoimg::kOk);
  auto faxBlack = [fax](int32_t x, int32_t y) -> uint32_t { return Black(fax, x, y); };
  PageImage jpegSource = Page(8, w, h, 72, 72);
  std::vector<uint8_t> jpeg;
  EXPECT_EQ(zoimg::detail::EncodeJpeg(jpegSource, 95, &jpeg), zoimg::kOk);

  const std::string dims = "/Type /XObject /Subtype /Image /Width 48 /Height 24";
  const std::string fax1 = dims + " /ColorSpace /DeviceGray /BitsPerComponent 1 /Filter /CCITTFaxDecode";
  return {
      {"flate grey, /Decode [1 0]",
       StreamObject(dims + " /ColorSpace /DeviceGray /BitsPerComponent 8 /Filter /FlateDecode /Decode [1 0]",
                    Deflate(grey)),
       w, h, 8, [](int32_t x, int32_t y) { return uint32_t(255 - Sample(x, y)); }},
      {"unfiltered RGB with a soft mask, which is ignored",
       StreamObject(dims + " /ColorSpace /DeviceRGB /BitsPerComponent 8 /SMask 7 0 R", rgb),
       w,
       h,
       24,
       [](int32_t x, int32_t y) {
         return uint32_t(Sample(x, y)) << 16 | uint32_t(255 - Sample(x, y)) << 8 | uint32_t(x * 5 % 256);
       },
       {StreamObject("/Type /XObject /Subtype /Image /Width 48 /Height 24 /ColorSpace /DeviceGray "
                     "/BitsPerComponent 8",
                     std::string(size_t(w * h), '\x20'))},
       false},
      {"ICC-based RGB, flate",
       StreamObject(dims + " /ColorSpace [/ICCBased 7 0 R] /BitsPerComponent 8 /Filter /FlateDecode", Deflate(rgb)),
       w,
       h,
       24,
       [](int32_t x, int32_t y) {
         return uint32_t(Sample(x, y)) << 16 | uint32_t(255 - Sample(x, y)) << 8 | uint32_t(x * 5 % 256);
       },
       {StreamObject("/N 3 /Alternate /DeviceRGB", "not a real profile")}},
      {"indexed 4-bit over RGB, ASCII hex",
       StreamObject(dims + " /ColorSpace [/Indexed /DeviceRGB 15 " + hexString(lut) +
                        "] /BitsPerComponent 4 /Filter /ASCIIHexDecode",
                    ascii),
       w, h, 24,
       [lut](int32_t x, int32_t y) {
         int i = (x + y) % 16;
         return uint32_t(uint8_t(lut[3 * i])) << 16 | uint32_t(uint8_t(lut[3 * i + 1])) << 8 | uint8_t(lut[3 * i + 2]);
       }},
      {"1-bit samples: 0 is black",
       StreamObject(dims + " /ColorSpace /DeviceGray /BitsPerComponent 1 /Filter /FlateDecode", Deflate(bits1)), w, h,
       1, [](int32_t x, int32_t y) { return uint32_t((x / 3 + y / 3) % 3 != 0); }},
      {"1-bit samples, /Decode [1 0]",
       StreamObject(dims + " /ColorSpace /DeviceGray /BitsPerComponent 1 /Decode [1 0]", bits1), w, h, 1,
       [](int32_t x, int32_t y) { return uint32_t((x / 3 + y / 3) % 3 == 0); }},
      {"CCITT G4", StreamObject(fax1 + " /DecodeParms << /K -1 /Columns 48 /Rows 24 >>", Bytes(g4)), w, h, 1, faxBlack},
      {"CCITT G4, filter and parameters in arrays",
       StreamObject(dims + " /ColorSpace /DeviceGray /BitsPerComponent 1 /Filter [/CCITTFaxDecode] "
                           "/DecodeParms [<< /K -1 /Columns 48 >>]",
                    Bytes(g4)),
       w, h, 1, faxBlack},
      {"CCITT G4, BlackIs1", StreamObject(fax1 + " /DecodeParms << /K -1 /Columns 48 /BlackIs1 true >>", Bytes(g4)), w,
       h, 1, [faxBlack](int32_t x, int32_t y) { return 1 - faxBlack(x, y); }},
      {"CCITT G4, BlackIs1 and /Decode [1 0]",
       StreamObject(fax1 + " /Decode [1 0] /DecodeParms << /K -1 /Columns 48 /BlackIs1 true >>", Bytes(g4)), w, h, 1,
       faxBlack},
      {"DCT grey", StreamObject(dims + " /ColorSpace /DeviceGray /BitsPerComponent 8 /Filter /DCTDecode", Bytes(jpeg)),
       w, h, 8, [jpegSource](int32_t x, int32_t y) { return uint32_t(Row(jpegSource, y)[x]); }},
  };
}

uint32_t PixelOf(const PageImage& img, int32_t x, int32_t y) {
  const uint8_t* row = Row(img, y);
  if (img.bitsPerPixel == 1) return Black(img, x, y);
  if (img.bitsPerPixel == 8) return row[x];
  return uint32_t(row[3 * x + 2]) << 16 | uint32_t(row[3 * x + 1]) << 8 | row[3 * x];
}

int ChannelDiff(uint32_t a, uint32_t b, int32_t bits) {
  if (bits == 1) return a == b ? 0 : 255;
  int worst = 0;
  for (int ch = 0; ch < (bits == 24 ? 3 : 1); ++ch)
    worst = std::max(worst, std::abs(int((a >> (8 * ch)) & 0xFF) - int((b >> (8 * ch)) & 0xFF)));
  return worst;
}

TEST_F(Pdf, OtherProgramsSingleImagePagesAreReadAtTheirPixels) {
  const bool poppler = Have("pdftoppm");
  for (const ForeignImage& c : ForeignImages()) {
    SCOPED_TRACE(c.name);
    // Drawn at 36 × 12 points: 96 dpi across, 144 dpi down.
    const std::string path =
        Write("foreign.pdf", OnePagePdf(36, 12, "", c.imageObject, "q 36 0 0 12 0 0 cm /Im1 Do Q", c.more));
    PageInfo info;
    ASSERT_EQ(zoimg::detail::PdfPageInfo(path, 1, &info), zoimg::kOk);
    EXPECT_EQ(info.bitsPerPixel, c.bits);
    EXPECT_EQ(info.width, c.w);
    EXPECT_EQ(info.height, c.h);
    EXPECT_EQ(info.xDpi, 96);
    EXPECT_EQ(info.yDpi, 144);
    PageImage back;
    ASSERT_EQ(zoimg::detail::PdfReadPage(path, 1, &back), zoimg::kOk);
    ASSERT_TRUE(back.IsValid());
    ASSERT_EQ(back.bitsPerPixel, c.bits);
    ASSERT_EQ(back.width, c.w);
    ASSERT_EQ(back.height, c.h);
    EXPECT_EQ(back.xDpi, 96);
    const int tolerance = std::string(c.name).find("DCT") == 0 ? 8 : 0;
    int worst = 0;
    for (int32_t y = 0; y < c.h; ++y)
      for (int32_t x = 0; x < c.w; ++x)
        worst = std::max(worst, ChannelDiff(PixelOf(back, x, y), c.expected(x, y), c.bits));
    EXPECT_LE(worst, tolerance);

    if (!poppler || tolerance > 0 || !c.shownAsRead) continue;
    // The same page at 1 point per pixel, as poppler shows it.
    const std::string oneToOne =
        Write("one.pdf",
              OnePagePdf(c.w, c.h, "", c.imageObject,
                         "q " + std::to_string(c.w) + " 0 0 " + std::to_string(c.h) + " 0 0 cm /Im1 Do Q", c.more));
    PageImage view = PopplerView(oneToOne, 72, c.bits == 24);
    ASSERT_EQ(view.width, c.w);
    ASSERT_EQ(view.height, c.h);
    EXPECT_EQ(PixelsShownOtherwise(view, back), 0);
  }
}

struct Variant {
  const char* name;
  std::string qpdfArgs;  // empty: the file as written by hand
  std::string pageExtra;
  int32_t w, h;
  int32_t redX, redY;  // the middle of the red square (point 144, 144)
  bool whiteCorner;
};

TEST_F(Pdf, VectorPagesAreRenderedAt200Dpi) {
  const Variant variants[] = {
      {"as written", "", "", 1654, 2339, 400, 1939, true},
      {"qdf form", "--qdf", "", 1654, 2339, 400, 1939, true},
      {"object streams", "--object-streams=generate", "", 1654, 2339, 400, 1939, true},
      {"linearized", "--linearize", "", 1654, 2339, 400, 1939, true},
      // Turned clockwise, the bottom left corner goes to the top left; half
      // way round, to the top right; anticlockwise, to the bottom right.
      {"turned a quarter", "", "/Rotate 90", 2339, 1654, 400, 400, true},
      {"turned half way", "", "/Rotate 180", 1654, 2339, 1254, 400, true},
      {"turned back a quarter", "", "/Rotate -90", 2339, 1654, 1939, 1254, true},
      {"crop box", "", "/CropBox [72 72 216 216]", 400, 400, 200, 200, false},
  };
  for (const Variant& v : variants) {
    SCOPED_TRACE(v.name);
    std::string path = Write("vector.pdf", VectorA4(v.pageExtra));
    if (!v.qpdfArgs.empty()) {
      if (!Have("qpdf")) continue;
      int code = -1;
      std::string out = Shell("qpdf " + v.qpdfArgs + " " + Quote(path) + " " + Quote(dir_.File("variant.pdf")), &code);
      ASSERT_EQ(code, 0) << out;
      path = dir_.File("variant.pdf");
    }
    ASSERT_EQ(zoimg::detail::PdfPageCount(path), 1);
    PageInfo info;
    ASSERT_EQ(zoimg::detail::PdfPageInfo(path, 1, &info), zoimg::kOk);
    EXPECT_EQ(info.bitsPerPixel, 24);
    EXPECT_NEAR(info.width, v.w, 1);
    EXPECT_NEAR(info.height, v.h, 1);
    EXPECT_EQ(info.xDpi, 200);
    EXPECT_EQ(info.yDpi, 200);
    EXPECT_EQ(info.type, zoimg::PDF);
    PageImage page;
    ASSERT_EQ(zoimg::detail::PdfReadPage(path, 1, &page), zoimg::kOk);
    ASSERT_TRUE(page.IsValid());
    ASSERT_EQ(page.bitsPerPixel, 24);
    EXPECT_EQ(page.width, info.width);
    EXPECT_EQ(page.height, info.height);
    EXPECT_EQ(page.xDpi, 200);
    const uint8_t* red = Row(page, v.redY) + 3 * v.redX;
    EXPECT_LT(red[0], 40);
    EXPECT_LT(red[1], 40);
    EXPECT_GT(red[2], 215) << "B, G, R order";
    if (v.whiteCorner) {
      EXPECT_EQ(PixelOf(page, 5, 5), 0xFFFFFFu);
    }
  }
}

TEST_F(Pdf, PagesThatAreMoreThanOneUprightImageAreRendered) {
  const std::string image =
      StreamObject("/Type /XObject /Subtype /Image /Width 2 /Height 2 /ColorSpace /DeviceGray /BitsPerComponent 8",
                   std::string(4, '\0'));
  struct Case {
    const char* name;
    std::string content;
    std::string image;
    bool deflated = false;
  } cases[] = {
      {"image and text", "q 144 0 0 144 0 0 cm /Im1 Do Q BT /F1 12 Tf 10 10 Td (x) Tj ET", image},
      {"the image twice", "q 72 0 0 72 0 0 cm /Im1 Do Q q 72 0 0 72 72 72 cm /Im1 Do Q", image},
      {"image turned by its matrix", "q 0 144 -144 0 144 0 cm /Im1 Do Q", image},
      {"image flipped", "q 144 0 0 -144 0 144 cm /Im1 Do Q", image},
      {"a stencil mask", "q 144 0 0 144 0 0 cm /Im1 Do Q",
       StreamObject("/Type /XObject /Subtype /Image /Width 8 /Height 1 /ImageMask true", std::string(1, '\x0F'))},
      {"an inline image", "q 144 0 0 144 0 0 cm BI /W 1 /H 1 /CS /G /BPC 8 ID \x80 EI Q", image},
      {"a JBIG2 image", "q 144 0 0 144 0 0 cm /Im1 Do Q",
       StreamObject("/Type /XObject /Subtype /Image /Width 8 /Height 8 /ColorSpace /DeviceGray /BitsPerComponent 1 "
                    "/Filter /JBIG2Decode",
                    "junk")},
      {"a CMYK image", "q 144 0 0 144 0 0 cm /Im1 Do Q",
       StreamObject("/Type /XObject /Subtype /Image /Width 1 /Height 1 /ColorSpace /DeviceCMYK /BitsPerComponent 8",
                    std::string(4, '\0'))},
      {"nothing at all", "", image},
      // too much content to hold in memory for a look (17 MB decoded)
      {"one image in huge content", Deflate(std::string(17 << 20, ' ') + "q 144 0 0 144 0 0 cm /Im1 Do Q"), image,
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path =
        Write("page.pdf", OnePagePdf(144, 144, "", c.image, c.content, {}, c.deflated ? "/Filter /FlateDecode" : ""));
    PageInfo info;
    ASSERT_EQ(zoimg::detail::PdfPageInfo(path, 1, &info), zoimg::kOk);
    EXPECT_EQ(info.bitsPerPixel, 24);
    EXPECT_EQ(info.width, 400);
    EXPECT_EQ(info.height, 400);
    EXPECT_EQ(info.xDpi, 200);
    PageImage page;
    ASSERT_EQ(zoimg::detail::PdfReadPage(path, 1, &page), zoimg::kOk);
    EXPECT_EQ(page.width, 400);
    EXPECT_EQ(page.height, 400);
    EXPECT_EQ(page.bitsPerPixel, 24);
  }
}

// --- damaged files -----------------------------------------------------

TEST_F(Pdf, DamagedFilesGiveTheirErrorsAndNeverCrash) {
  const std::string good = testsupport::ReadFile(WriteOwnPages(dir_.File("good.pdf")));
  const std::string vector = VectorA4();

  // Every xref offset 5 bytes off; then no xref at all: qpdf rebuilds both
  // from the objects, and the pages read as before.
  std::string shifted = vector;
  {
    size_t at = shifted.find("xref\n");
    for (size_t p = shifted.find(" 00000 n", at); p != std::string::npos; p = shifted.find(" 00000 n", p + 1)) {
      long off = std::stol(shifted.substr(p - 10, 10)) + 5;
      char digits[24];
      std::snprintf(digits, sizeof digits, "%010ld", off);
      shifted.replace(p - 10, 10, digits);
    }
  }
  const std::string objectsOnly = vector.substr(0, vector.find("xref\n"));
  const struct {
    const char* name;
    std::string bytes;
    int32_t pages;
  } repairs[] = {
      {"xref offsets wrong", shifted, 1},
      {"no xref, startxref wrong", objectsOnly + "trailer\n<< /Size 7 /Root 1 0 R >>\nstartxref\n99999\n%%EOF\n", 1},
      {"no xref, no trailer: no catalog to find", objectsOnly, -zoimg::kErrBadFormat},
  };
  for (const auto& r : repairs) {
    SCOPED_TRACE(r.name);
    const std::string path = Write("repaired.pdf", r.bytes);
    EXPECT_EQ(zoimg::detail::PdfPageCount(path), r.pages);
    PageImage page;
    EXPECT_EQ(zoimg::detail::PdfReadPage(path, 1, &page), r.pages > 0 ? zoimg::kOk : zoimg::kErrBadFormat);
    if (r.pages > 0) {
      EXPECT_EQ(page.width, 1654);
    }
  }

  // Cut short anywhere: each reader answers a documented code, and what
  // reads is a whole page.
  for (size_t length : {size_t(0), size_t(9), size_t(400), good.size() / 3, good.size() / 2, good.size() - 200,
                        good.size() - 30, good.size() - 1}) {
    SCOPED_TRACE("cut at " + std::to_string(length));
    const std::string path = Write("cut.pdf", good.substr(0, length));
    int32_t count = zoimg::detail::PdfPageCount(path);
    EXPECT_TRUE(count >= 0 || count == -zoimg::kErrBadFormat) << count;
    for (int32_t page = 1; page <= 3; ++page) {
      PageImage img;
      int32_t err = zoimg::detail::PdfReadPage(path, page, &img);
      EXPECT_TRUE(err == zoimg::kOk || err == zoimg::kErrBadFormat || err == zoimg::kErrPageNotFound) << err;
      if (err == zoimg::kOk) {
        EXPECT_TRUE(img.IsValid());
      }
      if (count < 0) {
        EXPECT_EQ(err, zoimg::kErrBadFormat);
      } else if (page > count) {
        EXPECT_EQ(err, zoimg::kErrPageNotFound);
      }
    }
  }
  // Only the end is lost (startxref and the end marker): qpdf finds the
  // objects and the trailer, and every page reads completely.
  {
    const std::string path = Write("tail.pdf", good.substr(0, good.rfind("startxref")));
    EXPECT_EQ(zoimg::detail::PdfPageCount(path), 3);
    PageImage img;
    EXPECT_EQ(zoimg::detail::PdfReadPage(path, 1, &img), zoimg::kOk);
    EXPECT_EQ(img.pixels, OwnPages()[0].image.pixels);
  }

  const std::string image = "/Type /XObject /Subtype /Image /ColorSpace /DeviceGray /BitsPerComponent ";
  struct Case {
    const char* name;
    std::string imageObject;
    int32_t infoResult;
    int32_t readResult;
  } cases[] = {
      {"absurd width and height", StreamObject(image + "8 /Width 2000000000 /Height 2000000000", "tiny"), zoimg::kOk,
       zoimg::kErrNoMemory},
      // Just above the limit, with almost no data: refused by its declared
      // size, before any sample is read.
      {"1.2 GB of RGB declared",
       StreamObject("/Type /XObject /Subtype /Image /ColorSpace /DeviceRGB "
                    "/BitsPerComponent 8 /Width 20000 /Height 20000 /Filter /FlateDecode",
                    Deflate("x")),
       zoimg::kOk, zoimg::kErrNoMemory},
      {"a huge CCITT page",
       StreamObject(image + "1 /Width 300000 /Height 300000 /Filter /CCITTFaxDecode "
                            "/DecodeParms << /K -1 /Columns 300000 >>",
                    "xx"),
       zoimg::kOk, zoimg::kErrNoMemory},
      {"CCITT garbage",
       StreamObject(image + "1 /Width 64 /Height 64 /Filter /CCITTFaxDecode /DecodeParms << /K -1 "
                            "/Columns 64 >>",
                    std::string(300, '\xA7')),
       zoimg::kOk, zoimg::kErrBadFormat},
      {"flate garbage", StreamObject(image + "8 /Width 64 /Height 64 /Filter /FlateDecode", std::string(300, '\x55')),
       zoimg::kOk, zoimg::kErrBadFormat},
      {"too few samples", StreamObject(image + "8 /Width 64 /Height 64", std::string(4000, '\x10')), zoimg::kOk,
       zoimg::kErrBadFormat},
      {"DCT garbage",
       StreamObject(image + "8 /Width 64 /Height 64 /Filter /DCTDecode",
                    std::string("\xFF\xD8\xFF\xC0\0\x0B\x08\0\x40\0\x40\x01\x01\x11\0 garbage", 24)),
       zoimg::kOk, zoimg::kErrBadFormat},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path =
        Write("hostile.pdf", OnePagePdf(72, 72, "", c.imageObject, "q 72 0 0 72 0 0 cm /Im1 Do Q"));
    PageInfo info;
    EXPECT_EQ(zoimg::detail::PdfPageInfo(path, 1, &info), c.infoResult);
    PageImage img;
    EXPECT_EQ(zoimg::detail::PdfReadPage(path, 1, &img), c.readResult);
  }

  // More samples than the image needs: the rest is ignored.
  {
    const std::string path =
        Write("long.pdf", OnePagePdf(72, 72, "",
                                     StreamObject(image + "8 /Width 4 /Height 4 /Filter /FlateDecode",
                                                  Deflate(std::string(100000, '\x33'))),
                                     "q 72 0 0 72 0 0 cm /Im1 Do Q"));
    PageImage img;
    ASSERT_EQ(zoimg::detail::PdfReadPage(path, 1, &img), zoimg::kOk);
    EXPECT_EQ(img.pixels[0], 0x33);
  }

  const std::string one = Write("one.pdf", vector);
  PageInfo info;
  PageImage img;
  for (int32_t page : {0, -1, 2, 1000}) {
    EXPECT_EQ(zoimg::detail::PdfPageInfo(one, page, &info), zoimg::kErrPageNotFound) << page;
    EXPECT_EQ(zoimg::detail::PdfReadPage(one, page, &img), zoimg::kErrPageNotFound) << page;
  }
  EXPECT_EQ(zoimg::detail::PdfPageCount(dir_.File("missing.pdf")), -zoimg::kErrOpen);
  EXPECT_EQ(zoimg::detail::PdfPageCount(dir_.Path()), -zoimg::kErrOpen);
  EXPECT_EQ(zoimg::detail::PdfPageCount(Write("text.pdf", "just some words, no PDF here\n")), -zoimg::kErrBadFormat);
  EXPECT_EQ(zoimg::detail::PdfReadPage(Write("text.pdf", "%PDF-1.4\nnothing else\n"), 1, &img), zoimg::kErrBadFormat);
}

TEST_F(Pdf, AppendingNeverDamagesTheOldFile) {
  const PageImage page = Page(1, 120, 80, 200, 200);
  struct Case {
    const char* name;
    std::string bytes;
    int32_t expected;
  } cases[] = {
      {"a text file", "These are not the pages you are looking for.\n", zoimg::kErrBadFormat},
      {"an empty file", "", zoimg::kErrBadFormat},
      {"a TIFF header", std::string("II*\0\x08\0\0\0", 8), zoimg::kErrBadFormat},
      {"a PDF header and garbage", "%PDF-1.7\n" + std::string(500, '#'), zoimg::kErrBadFormat},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = Write("old.pdf", c.bytes);
    EXPECT_EQ(zoimg::detail::PdfWritePage(path, page, 90), c.expected);
    EXPECT_EQ(testsupport::ReadFile(path), c.bytes) << "unchanged";
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"old.pdf"}) << "no temporary file left";
  }

  // Appending to a file another program wrote keeps its pages and mode.
  const std::string foreign = Write("foreign.pdf", VectorA4());
  ASSERT_EQ(chmod(foreign.c_str(), 0640), 0);
  ASSERT_EQ(zoimg::detail::PdfWritePage(foreign, page, 90), zoimg::kOk);
  EXPECT_EQ(zoimg::detail::PdfPageCount(foreign), 2);
  PageImage back;
  ASSERT_EQ(zoimg::detail::PdfReadPage(foreign, 1, &back), zoimg::kOk);
  EXPECT_EQ(back.width, 1654) << "the old page is still the vector page";
  ASSERT_EQ(zoimg::detail::PdfReadPage(foreign, 2, &back), zoimg::kOk);
  EXPECT_EQ(back.pixels, page.pixels);
  struct stat st {};
  ASSERT_EQ(stat(foreign.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  if (Have("qpdf")) {
    int code = -1;
    std::string out = Shell("qpdf --check " + Quote(foreign), &code);
    EXPECT_EQ(code, 0) << out;
  }

  PageImage broken = page;
  broken.pixels.resize(3);
  EXPECT_EQ(zoimg::detail::PdfWritePage(foreign, broken, 90), zoimg::kErrInvalidImage);
  EXPECT_EQ(zoimg::detail::PdfPageCount(foreign), 2);
  EXPECT_EQ(zoimg::detail::PdfWritePage(dir_.File("no/such/folder.pdf"), page, 90), zoimg::kErrCreate);
  EXPECT_EQ(zoimg::detail::PdfWritePage(dir_.Path(), page, 90), zoimg::kErrOpen) << "a folder";
}

// Through the module's public functions, as the image object uses them.
TEST_F(Pdf, PublicFunctionsReachThePdfPages) {
  const std::string path = dir_.File("public.pdf");
  const PageImage fax = Page(1, 300, 200, 300, 300), colour = Page(24, 200, 100, 100, 100);
  ASSERT_EQ(zoimg::WritePage(path, zoimg::PDF, fax, 80), zoimg::kOk);
  ASSERT_EQ(zoimg::WritePage(path, zoimg::PDF, colour, 80), zoimg::kOk);
  EXPECT_EQ(zoimg::GetTotalPage(path), 2);
  EXPECT_EQ(zoimg::GetPageFileType(path, 0), zoimg::PDF);
  int32_t bits = 0, w = 0, h = 0, xDpi = 0, yDpi = 0, compression = 0;
  ASSERT_EQ(zoimg::GetImageFileAttributes(path, 2, &bits, &w, &h, &xDpi, &yDpi, &compression), 0);
  EXPECT_EQ(std::vector<int32_t>({bits, w, h, xDpi, yDpi, compression}),
            std::vector<int32_t>({24, 200, 100, 100, 100, zoimg::PDF}));
  PageImage back;
  ASSERT_EQ(zoimg::ReadPage(path, 1, &back), zoimg::kOk);
  EXPECT_EQ(back.pixels, fax.pixels);
  EXPECT_EQ(zoimg::ReadPage(path, 3, &back), zoimg::kErrPageNotFound);
  EXPECT_EQ(zoimg::LastError(), zoimg::kErrPageNotFound);
}

}  // namespace
