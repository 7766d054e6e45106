// Tests of the CCITT fax streams of PDF pages: Group 4 encode and decode,
// Group 3 data as libtiff's own encoder writes it (1-D and 2-D, with and
// without EOL codes and byte alignment), and damaged or unsupported data.
#include <gtest/gtest.h>
#include <tiffio.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "../src/formats.h"
#include "testsupport/temp_env.h"

namespace {

using zoimg::PageImage;

// A 1-bit page with runs of every length, long lines and single dots.
PageImage FaxPage(int32_t w, int32_t h) {
  PageImage img;
  img.width = w;
  img.height = h;
  img.bitsPerPixel = 1;
  img.palette = {0xFFFFFFu, 0x000000u};
  img.pixels.assign(size_t(img.Stride()) * size_t(h), 0);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      if ((x / (1 + y % 9)) % 3 == 0 || (x * 7 + y * 13) % 31 == 0 || y == h / 2)
        img.pixels[size_t(y) * img.Stride() + size_t(x) / 8] |= uint8_t(0x80u >> (x % 8));
  return img;
}

// The raw strip of a one-strip fax TIFF that libtiff writes from img.
std::vector<uint8_t> LibtiffFax(const PageImage& img, uint16_t compression, uint32_t g3Options, int faxMode) {
  testsupport::TempDir dir;
  const std::string path = dir.File("fax.tif");
  TIFF* tif = TIFFOpen(path.c_str(), "w");
  EXPECT_NE(tif, nullptr);
  if (tif == nullptr) return {};
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(img.width));
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(img.height));
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
  TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, uint32_t(img.height));
  TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
  if (compression == COMPRESSION_CCITTFAX3) TIFFSetField(tif, TIFFTAG_GROUP3OPTIONS, g3Options);
  if (faxMode >= 0) TIFFSetField(tif, TIFFTAG_FAXMODE, faxMode);
  std::vector<uint8_t> row(img.Stride());
  for (int32_t y = 0; y < img.height; ++y) {
    std::copy_n(img.pixels.begin() + ptrdiff_t(y) * img.Stride(), img.Stride(), row.begin());
    EXPECT_EQ(TIFFWriteScanline(tif, row.data(), uint32_t(y), 0), 1);
  }
  TIFFClose(tif);
  tif = TIFFOpen(path.c_str(), "r");
  std::vector<uint8_t> raw(size_t(TIFFRawStripSize(tif, 0)));
  EXPECT_EQ(TIFFReadRawStrip(tif, 0, raw.data(), tmsize_t(raw.size())), tmsize_t(raw.size()));
  TIFFClose(tif);
  return raw;
}

PageImage Inverted(PageImage img) {
  for (int32_t y = 0; y < img.height; ++y)
    for (int32_t x = 0; x < img.width; ++x)
      img.pixels[size_t(y) * img.Stride() + size_t(x) / 8] ^= uint8_t(0x80u >> (x % 8));
  return img;
}

struct Scheme {
  const char* name;
  uint16_t compression;
  uint32_t g3Options;
  int faxMode;  // -1: libtiff's default
  int32_t k;
  bool byteAlign;
};

// Every way of coding that the PDF filter parameters can describe and
// libtiff can write.
const Scheme kSchemes[] = {
    {"group 4", COMPRESSION_CCITTFAX4, 0, -1, -1, false},
    {"group 3 1-D with EOLs", COMPRESSION_CCITTFAX3, 0, -1, 0, false},
    {"group 3 1-D, EOLs byte-aligned", COMPRESSION_CCITTFAX3, GROUP3OPT_FILLBITS, -1, 0, true},
    {"group 3 2-D with EOLs", COMPRESSION_CCITTFAX3, GROUP3OPT_2DENCODING, -1, 4, false},
    {"group 3 1-D, no EOLs", COMPRESSION_CCITTFAX3, 0, FAXMODE_NORTC | FAXMODE_NOEOL, 0, false},
    {"group 3 1-D, no EOLs, rows byte-aligned", COMPRESSION_CCITTRLE, 0, -1, 0, true},
};

TEST(Ccitt, EveryCodingRoundTripsExactly) {
  const std::pair<int32_t, int32_t> sizes[] = {{1, 1}, {13, 7}, {1728, 40}, {2481, 9}};
  for (const Scheme& s : kSchemes) {
    for (auto [w, h] : sizes) {
      SCOPED_TRACE(std::string(s.name) + " " + std::to_string(w) + "x" + std::to_string(h));
      const PageImage page = FaxPage(w, h);
      std::vector<uint8_t> data;
      if (s.compression == COMPRESSION_CCITTFAX4)
        ASSERT_EQ(zoimg::detail::EncodeG4(page, &data), zoimg::kOk);
      else
        data = LibtiffFax(page, s.compression, s.g3Options, s.faxMode);
      ASSERT_FALSE(data.empty());
      PageImage back;
      ASSERT_EQ(zoimg::detail::DecodeCcitt(data, w, h, s.k, false, s.byteAlign, &back), zoimg::kOk);
      EXPECT_TRUE(back.IsValid());
      EXPECT_EQ(back.bitsPerPixel, 1);
      EXPECT_EQ(back.palette, (std::vector<uint32_t>{0xFFFFFFu, 0x000000u}));
      EXPECT_EQ(back.pixels, page.pixels);
      // BlackIs1: the code's black runs become 1 samples, which DeviceGray
      // shows white.
      ASSERT_EQ(zoimg::detail::DecodeCcitt(data, w, h, s.k, true, s.byteAlign, &back), zoimg::kOk);
      EXPECT_EQ(back.pixels, Inverted(page).pixels);
    }
  }
}

TEST(Ccitt, EncodeG4MatchesLibtiffsOwnFile) {
  // The G4 strip is what a G4 TIFF of the page holds, so other readers agree.
  const PageImage page = FaxPage(300, 50);
  std::vector<uint8_t> ours;
  ASSERT_EQ(zoimg::detail::EncodeG4(page, &ours), zoimg::kOk);
  EXPECT_EQ(ours, LibtiffFax(page, COMPRESSION_CCITTFAX4, 0, -1));
}

TEST(Ccitt, EncodeRefusesWhatIsNoValidOneBitPage) {
  std::vector<uint8_t> out;
  PageImage grey;
  grey.width = grey.height = 4;
  grey.bitsPerPixel = 8;
  grey.palette.resize(256);
  grey.pixels.resize(16);
  EXPECT_EQ(zoimg::detail::EncodeG4(grey, &out), zoimg::kErrBitsPerPixel);
  PageImage broken = FaxPage(20, 20);
  broken.pixels.pop_back();
  EXPECT_EQ(zoimg::detail::EncodeG4(broken, &out), zoimg::kErrInvalidImage);
}

TEST(Ccitt, DamagedOrUnsupportedDataIsRefused) {
  const PageImage page = FaxPage(200, 30);
  std::vector<uint8_t> g4;
  ASSERT_EQ(zoimg::detail::EncodeG4(page, &g4), zoimg::kOk);
  const std::vector<uint8_t> g3NoEol2d = [&] {
    // 2-D rows without EOLs: the tag bit of each row follows no EOL.
    std::vector<uint8_t> d = g4;
    d.insert(d.begin(), 0x80);
    return d;
  }();
  std::mt19937 rng(7);
  std::vector<uint8_t> garbage(400);
  for (uint8_t& b : garbage) b = uint8_t(rng() | 0x80);  // no accidental EOL at the start
  const std::vector<uint8_t> half(g4.begin(), g4.begin() + ptrdiff_t(g4.size() / 2));

  struct Case {
    const char* name;
    std::vector<uint8_t> data;
    int32_t w, h, k;
    bool byteAlign;
    int32_t expected;
  } cases[] = {
      {"no data", {}, 200, 30, -1, false, zoimg::kErrBadFormat},
      {"no width", g4, 0, 30, -1, false, zoimg::kErrBadFormat},
      {"negative height", g4, 200, -1, -1, false, zoimg::kErrBadFormat},
      {"garbage as group 4", garbage, 200, 30, -1, false, zoimg::kErrBadFormat},
      {"garbage as group 3 1-D", garbage, 200, 30, 0, false, zoimg::kErrBadFormat},
      {"stream cut in half", half, 200, 30, -1, false, zoimg::kErrBadFormat},
      {"more rows than coded", g4, 200, 60, -1, false, zoimg::kErrBadFormat},
      {"wrong width", g4, 260, 30, -1, false, zoimg::kErrBadFormat},
      {"above the decoded size limit", g4, 200000, 200000, -1, false, zoimg::kErrNoMemory},
      {"group 4 with byte-aligned rows", g4, 200, 30, -1, true, zoimg::kErrCompression},
      {"group 3 2-D without EOLs", g3NoEol2d, 200, 30, 1, false, zoimg::kErrCompression},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PageImage out;
    EXPECT_EQ(zoimg::detail::DecodeCcitt(c.data, c.w, c.h, c.k, false, c.byteAlign, &out), c.expected);
  }
}

}  // namespace
