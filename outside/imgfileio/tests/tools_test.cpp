// Files written by an independent tool (ImageMagick's convert) read by us:
// every variant a scanner suite meets (CCITT, LZW, PackBits, Deflate, JPEG,
// tiles, separate planes, alpha, big-endian, palettes, RLE and V5 BMPs,
// progressive JPEG), each compared with the tool's own decode of the file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "ZoImgFileIO.h"
#include "fixtures.h"
#include "testsupport/temp_env.h"

namespace {

using namespace zoimg;
using fixtures::Quote;
using fixtures::Shell;

// RGB triples of every pixel.
std::vector<uint8_t> Expand(const PageImage& img) {
  std::vector<uint8_t> rgb;
  rgb.reserve(std::size_t(img.width) * img.height * 3);
  for (int y = 0; y < img.height; ++y) {
    const uint8_t* row = img.pixels.data() + std::size_t(y) * img.Stride();
    for (int x = 0; x < img.width; ++x) {
      uint32_t c = 0;
      switch (img.bitsPerPixel) {
        case 1: c = img.palette[(row[x / 8] >> (7 - x % 8)) & 1]; break;
        case 4: c = img.palette[(row[x / 2] >> (x % 2 ? 0 : 4)) & 15]; break;
        case 8: c = img.palette[row[x]]; break;
        default: c = uint32_t(row[3 * x + 2]) << 16 | uint32_t(row[3 * x + 1]) << 8 | row[3 * x];
      }
      rgb.push_back(uint8_t(c >> 16));
      rgb.push_back(uint8_t(c >> 8));
      rgb.push_back(uint8_t(c));
    }
  }
  return rgb;
}

// The samples of a binary PPM the tool wrote.
std::vector<uint8_t> ReadPpm(const std::string& path, int* w, int* h) {
  const std::string data = testsupport::ReadFile(path);
  int maxval = 0, used = 0;
  if (sscanf(data.c_str(), "P6 %d %d %d%n", w, h, &maxval, &used) != 3 || maxval != 255) return {};
  return std::vector<uint8_t>(data.begin() + used + 1, data.end());
}

double Psnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  if (a.size() != b.size() || a.empty()) return 0;
  double sum = 0;
  for (std::size_t i = 0; i < a.size(); ++i) sum += (double(a[i]) - b[i]) * (double(a[i]) - b[i]);
  return sum == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 * double(a.size()) / sum);
}

int MaxDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  if (a.size() != b.size()) return 256;
  int most = 0;
  for (std::size_t i = 0; i < a.size(); ++i) most = std::max(most, std::abs(int(a[i]) - int(b[i])));
  return most;
}

struct Case {
  const char* name;
  int sourceBits;  // 1: PBM, 8: PGM, 24: PPM
  const char* args;
  const char* out;  // output name, with ImageMagick's format prefix where needed
  int32_t type;
  int bits;
  bool lossless;
  int tolerance = 0;  // largest difference of a lossless sample
};

const Case kCases[] = {
    {"TiffG4", 1, "-compress Group4", "a.tif", TIFF_G4_FAX, 1, true},
    {"TiffG3", 1, "-compress Fax", "a.tif", TIFF_G3_FAX, 1, true},
    {"TiffMinIsBlack", 1, "-compress None -define tiff:photometric=min-is-black", "a.tif", TIFF_UNCOMPRESSED, 1, true},
    {"TiffLzwGrey", 8, "-compress LZW", "a.tif", TIFF_UNCOMPRESSED, 8, true},
    // 16-bit colour map entries round to 8 bits either way.
    {"TiffPalette", 8, "-colors 40 -type Palette -compress LZW", "a.tif", TIFF_UNCOMPRESSED, 8, true, 1},
    {"TiffFourBitGrey", 8, "-depth 4 -compress None", "a.tif", TIFF_UNCOMPRESSED, 4, true},
    {"TiffPackBits", 24, "-compress RLE", "a.tif", TIFF_UNCOMPRESSED, 24, true},
    {"TiffZipPlanes", 24, "-compress Zip -interlace plane", "a.tif", TIFF_UNCOMPRESSED, 24, true},
    {"TiffTiles", 24, "-define tiff:tile-geometry=64x32", "a.tif", TIFF_UNCOMPRESSED, 24, true},
    {"TiffTilesOneBit", 1, "-compress Group4 -define tiff:tile-geometry=64x64", "a.tif", TIFF_G4_FAX, 1, true},
    {"TiffBigEndian", 24, "-endian MSB -compress LZW", "a.tif", TIFF_UNCOMPRESSED, 24, true},
    {"TiffAlpha", 24, "-alpha set", "a.tif", TIFF_UNCOMPRESSED, 24, true},
    {"TiffJpegColour", 24, "-compress JPEG -quality 80", "a.tif", TIFF_JPEG, 24, false},
    {"TiffJpegGrey", 8, "-compress JPEG -quality 80", "a.tif", TIFF_JPEG, 8, false},
    {"Bmp1", 1, "-type Bilevel", "BMP3:a.bmp", BMP_UNCOMPRESSED, 1, true},
    {"Bmp4", 8, "-colors 16 -compress None", "BMP3:a.bmp", BMP_UNCOMPRESSED, 4, true},
    {"Bmp8", 8, "-type Palette -compress None", "BMP3:a.bmp", BMP_UNCOMPRESSED, 8, true},
    {"BmpRle8", 8, "-type Palette -compress RLE", "BMP3:a.bmp", BMP_UNCOMPRESSED, 8, true},
    {"Bmp24", 24, "", "BMP3:a.bmp", BMP_UNCOMPRESSED, 24, true},
    {"BmpV5", 24, "", "BMP:a.bmp", BMP_UNCOMPRESSED, 24, true},
    {"JpegBaseline", 24, "-quality 85", "a.jpg", JPEG, 24, false},
    {"JpegProgressive", 24, "-quality 85 -interlace JPEG", "a.jpg", JPEG, 24, false},
    {"JpegGrey", 8, "-quality 85", "a.jpg", JPEG, 8, false},
};

class ToolWritten : public ::testing::TestWithParam<Case> {};

TEST_P(ToolWritten, ReadsLikeTheToolDoes) {
  const Case& c = GetParam();
  testsupport::TempDir dir;
  PageImage source = fixtures::MakePage(c.sourceBits, 173, 131);
  const std::string in = dir.File(c.sourceBits == 1 ? "in.pbm" : "in.pnm");
  if (c.sourceBits == 1) {
    // PBM: packed rows, a set bit black, as in the page image.
    std::string pbm = "P4\n173 131\n";
    for (int y = 0; y < source.height; ++y) {
      const auto row = fixtures::Row(source, y);
      pbm.append(row.begin(), row.end());
    }
    testsupport::WriteFile(in, pbm);
  } else {
    fixtures::WritePnm(in, source);
  }
  const std::string out = std::string(c.out);
  const std::string file = dir.File(out.substr(out.find(':') + 1));
  int status = -1;
  std::string log = Shell("cd " + Quote(dir.Path()) + " && convert " + Quote(in) + " -units PixelsPerInch -density 150 " +
                          c.args + " " + Quote(out),
                          &status);
  ASSERT_EQ(status, 0) << log;
  log = Shell("convert " + Quote(file) + " -depth 8 -type TrueColor " + Quote(dir.File("ref.ppm")), &status);
  ASSERT_EQ(status, 0) << log;

  EXPECT_EQ(GetPageFileType(file, 1), c.type);
  int32_t bits = 0, w = 0, h = 0, x = 0, y = 0;
  ASSERT_EQ(GetImageFileAttributes(file, 1, &bits, &w, &h, &x, &y, nullptr), 0);
  EXPECT_EQ(bits, c.bits);
  PageImage page;
  ASSERT_EQ(ReadPage(file, 1, &page), kOk) << LastError();
  EXPECT_EQ(page.bitsPerPixel, c.bits);
  EXPECT_EQ(page.width, 173);
  EXPECT_EQ(page.height, 131);
  EXPECT_EQ(page.xDpi, 150);
  EXPECT_EQ(page.yDpi, 150);
  int rw = 0, rh = 0;
  const std::vector<uint8_t> ref = ReadPpm(dir.File("ref.ppm"), &rw, &rh);
  ASSERT_EQ(ref.size(), std::size_t(173) * 131 * 3);
  if (c.lossless)
    EXPECT_LE(MaxDifference(Expand(page), ref), c.tolerance);
  else
    EXPECT_GT(Psnr(Expand(page), ref), 40.0);
}

INSTANTIATE_TEST_SUITE_P(Variants, ToolWritten, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& i) { return std::string(i.param.name); });

// BMP rows stored top-down (negative height) read the same as bottom-up.
TEST(ToolsTest, TopDownBmp) {
  testsupport::TempDir dir;
  const PageImage page = fixtures::MakePage(24, 37, 23);
  const std::string path = dir.File("a.bmp");
  ASSERT_EQ(WritePage(path, BMP_UNCOMPRESSED, page, 0), kOk);
  std::string b = testsupport::ReadFile(path);
  const int32_t height = -23;
  std::memcpy(&b[22], &height, 4);
  const std::size_t stride = page.Stride(), at = 54;
  std::string flipped = b.substr(0, at);
  for (int r = 22; r >= 0; --r) flipped += b.substr(at + r * stride, stride);
  testsupport::WriteFile(path, flipped);
  PageImage back;
  ASSERT_EQ(ReadPage(path, 1, &back), kOk);
  EXPECT_TRUE(fixtures::SamePixels(page, back));
}

// RLE4, which the tool does not write: runs, an absolute run, a delta and
// the end codes, on a 4-bit page 6 x 3.
TEST(ToolsTest, Rle4Bmp) {
  std::string b = "BM";
  auto u32 = [&](uint32_t v) { for (int s = 0; s < 32; s += 8) b += char(v >> s); };
  auto u16 = [&](uint16_t v) { b += char(v); b += char(v >> 8); };
  const std::string rle = std::string("\x04\x12\x02\x33\x00\x00"        // row 0: 1 2 1 2 3 3
                                      "\x00\x03\x45\x60\x00\x00"        // row 1: absolute 4 5 6
                                      "\x00\x02\x02\x00\x02\x77\x00\x01",  // row 2: delta (2,0), 7 7, end
                                      20);
  u32(14 + 40 + 64 + uint32_t(rle.size()));
  u32(0);
  u32(14 + 40 + 64);
  u32(40);
  u32(6);
  u32(3);
  u16(1);
  u16(4);
  u32(2);
  u32(uint32_t(rle.size()));
  u32(0);
  u32(0);
  u32(16);
  u32(0);
  for (uint32_t i = 0; i < 16; ++i) u32(i * 0x111111);
  b += rle;
  testsupport::TempDir dir;
  testsupport::WriteFile(dir.File("r.bmp"), b);
  PageImage page;
  ASSERT_EQ(ReadPage(dir.File("r.bmp"), 1, &page), kOk);
  // Bottom-up: file row 0 is the last row of the page.
  EXPECT_EQ(fixtures::Row(page, 2), (std::vector<uint8_t>{0x12, 0x12, 0x33}));
  EXPECT_EQ(fixtures::Row(page, 1), (std::vector<uint8_t>{0x45, 0x60, 0x00}));
  EXPECT_EQ(fixtures::Row(page, 0), (std::vector<uint8_t>{0x00, 0x77, 0x00}));
}

}  // namespace
