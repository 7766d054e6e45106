// ExportMyWriteImage: BMP files an independent reader (ImageMagick's
// identify) takes with the right size, depth, resolution and row order, and
// the failures it reports.
#include <gtest/gtest.h>

#include <testsupport/temp_env.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "fixtures.h"
#include "interface/diagnostics.h"

namespace imgflt::test {
namespace {

std::string Run(const std::string& command) {
  std::string out;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return out;
  std::array<char, 256> buffer{};
  while (std::fgets(buffer.data(), buffer.size(), pipe.get()) != nullptr) out += buffer.data();
  return out;
}

// "<w> <h> <depth> <dpi x> <dpi y>|<top>|<bottom>" as identify reads the file,
// top and bottom the pixels of column x in the first and last row.
std::string Identify(const std::string& path, uint32_t height, uint32_t x = 0) {
  const std::string col = std::to_string(x);
  // Pixels per metre come back as dpi with a rounding residue.
  return Run("identify -units PixelsPerInch -format "
             "'%w %h %z %[fx:round(resolution.x)] %[fx:round(resolution.y)]|%[pixel:p{" + col + ",0}]|%[pixel:p{" +
             col + "," + std::to_string(height - 1) + "}]' '" + path + "' 2>&1");
}

std::vector<std::string>& Reports() {
  static std::vector<std::string> reports;
  return reports;
}

class BitmapFile : public ::testing::Test {
 protected:
  void SetUp() override {
    Reports().clear();
    previous_ = SetErrorReporter([](std::string_view text) { Reports().emplace_back(text); });
  }
  void TearDown() override { SetErrorReporter(previous_); }

  testsupport::TempDir dir_;
  ErrorReporter previous_ = nullptr;
};

// A DIB whose top row (memory row 0) starts black and whose bottom row
// starts white; everything else mid-grey.
TestImage MarkedDib(uint32_t w, uint32_t h, uint8_t bits) {
  TestImage t = MakeImage(w, h, bits, true, 300);
  std::fill(t.buffer.begin() + t.prefix, t.buffer.end(), uint8_t{0});
  const uint32_t stride = Stride(w, bits);
  for (uint32_t y = 0; y < h; ++y) std::memset(t.Row(y), bits == 1 ? 0x00 : 0x80, stride);
  if (bits == 1) {
    t.Row(0)[0] = 0x80;  // set bit: black
  } else {
    std::memset(t.Row(0), 0, bits / 8);
    std::memset(t.Row(h - 1), 0xFF, bits / 8);
  }
  return t;
}

TEST_F(BitmapFile, IndependentReaderSeesSizeDepthResolutionAndOrientation) {
  struct Case {
    uint8_t bits;
    const char* top;
    const char* bottom;
    const char* depth;
  } cases[] = {
      {1, "srgb(0,0,0)", "srgb(255,255,255)", "1"},
      {8, "srgb(0,0,0)", "srgb(255,255,255)", "8"},
      {24, "srgb(0,0,0)", "srgb(255,255,255)", "8"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.bits));
    TestImage t = MarkedDib(13, 5, c.bits);
    t.inf.imgDpiY = 150;
    std::string path = dir_.File("page" + std::to_string(c.bits) + ".bmp");
    // Memory row 0 is the top; the header's positive height wants the
    // bottom row first in the file.
    ASSERT_EQ(ExportMyWriteImage(&t.inf, path.c_str(), nullptr, 1), 1);
    std::string seen = Identify(path, 5);
    EXPECT_EQ(seen, std::string("13 5 ") + c.depth + " 300 150|" + c.top + "|" + c.bottom);
    // The caller's header now holds the resolution in pixels per metre.
    EXPECT_EQ(GetLE32(t.buffer.data() + 24), 11811u);
    EXPECT_EQ(GetLE32(t.buffer.data() + 28), 5906u);
    std::string file = testsupport::ReadFile(path);
    const uint32_t palette = c.bits == 24 ? 0 : 4u << c.bits;
    EXPECT_EQ(file.substr(0, 2), "BM");
    EXPECT_EQ(GetLE32(reinterpret_cast<const uint8_t*>(file.data()) + 2), file.size());
    EXPECT_EQ(file.size(), Stride(13, c.bits) * 5 + palette + 54);
    EXPECT_EQ(GetLE32(reinterpret_cast<const uint8_t*>(file.data()) + 10), palette + 54);
  }
  EXPECT_TRUE(Reports().empty());
}

TEST_F(BitmapFile, ReverseZeroWritesRowsAsTheyLie) {
  TestImage t = MarkedDib(4, 3, 8);
  std::string path = dir_.File("asis.bmp");
  ASSERT_EQ(ExportMyWriteImage(&t.inf, path.c_str(), nullptr, 0), 1);
  EXPECT_EQ(Identify(path, 3), "4 3 8 300 300|srgb(255,255,255)|srgb(0,0,0)");
}

TEST_F(BitmapFile, CallersDibAndResultBlock) {
  // A DIB of the caller's own, not the image's buffer.
  TestImage image = MakeImage(50, 50, 8);  // bare rows: cannot be written by itself
  TestImage other = MarkedDib(6, 2, 24);
  std::string path = dir_.File("other.bmp");
  ASSERT_EQ(ExportMyWriteImage(&image.inf, path.c_str(), other.buffer.data(), 1), 1);
  EXPECT_EQ(Identify(path, 2), "6 2 8 200 200|srgb(0,0,0)|srgb(255,255,255)");
  EXPECT_EQ(ExportMyWriteImage(&image.inf, dir_.File("none.bmp").c_str(), nullptr, 1), 0);
  ASSERT_EQ(Reports().size(), 1u);

  // A result delivered in hOutBuff is written from there.
  TestImage page = MarkedDib(8, 4, 8);
  HUX_IMG_FILTER_PARAM prm = NothingRecord();
  prm.rotAngle = 18000;
  ASSERT_EQ(HUX_ImgFlt_Execute(&page.inf, &prm), 0);
  ASSERT_EQ(page.inf.outBuffKind, IMG_FLT_MEMAREA_NEW);
  std::string turned = dir_.File("turned.bmp");
  ASSERT_EQ(ExportMyWriteImage(&page.inf, turned.c_str(), nullptr, 1), 1);
  // Turned half way: the marks of column 0 are now in column 7, swapped.
  EXPECT_EQ(Identify(turned, 4, 7), "8 4 8 300 300|srgb(255,255,255)|srgb(0,0,0)");
  GlobalFree(page.inf.hOutBuff);
}

TEST_F(BitmapFile, FailuresReturnZeroAndAreReported) {
  TestImage t = MarkedDib(4, 3, 8);
  std::string missing = dir_.File("no/such/folder/x.bmp");
  EXPECT_EQ(ExportMyWriteImage(&t.inf, missing.c_str(), nullptr, 1), 0);
  ASSERT_EQ(Reports().size(), 1u);
  EXPECT_NE(Reports()[0].find("No such file or directory"), std::string::npos) << Reports()[0];

  EXPECT_EQ(ExportMyWriteImage(nullptr, dir_.File("a.bmp").c_str(), nullptr, 1), 0);
  EXPECT_EQ(ExportMyWriteImage(&t.inf, nullptr, nullptr, 1), 0);
  // A header that disagrees with the descriptor would read past the block.
  PutLE32(t.buffer.data() + 8, 300);
  EXPECT_EQ(ExportMyWriteImage(&t.inf, dir_.File("b.bmp").c_str(), nullptr, 1), 0);
  // Not an uncompressed DIB.
  uint8_t header[40] = {};
  PutLE32(header, 40);
  PutLE32(header + 4, 4);
  PutLE32(header + 8, 4);
  header[14] = 8;
  PutLE32(header + 16, 1);  // run-length encoded
  EXPECT_EQ(ExportMyWriteImage(&t.inf, dir_.File("c.bmp").c_str(), header, 1), 0);
  EXPECT_EQ(Reports().size(), 5u);
  for (const char* name : {"a.bmp", "b.bmp", "c.bmp"})
    EXPECT_FALSE(std::filesystem::exists(dir_.File(name))) << name;
  EXPECT_EQ(std::filesystem::directory_iterator(dir_.Path()), std::filesystem::directory_iterator())
      << "no temporary file is left behind";
}

}  // namespace
}  // namespace imgflt::test
