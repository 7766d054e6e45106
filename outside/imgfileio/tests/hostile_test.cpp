// Bad input and failing writes: every error code the TIFF, BMP and JPEG
// codecs give, each reached by a file built here from a valid one (cut
// short, offsets and sizes that lie, unknown compressions, broken streams),
// with nothing printed by the libraries on the way.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "ZoImgFileIO.h"
#include "fixtures.h"
#include "testsupport/temp_env.h"

namespace {

using namespace zoimg;

uint16_t U16(const std::string& b, std::size_t at) { return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8); }
uint32_t U32(const std::string& b, std::size_t at) { return U16(b, at) | uint32_t(U16(b, at + 2)) << 16; }
void Put16(std::string& b, std::size_t at, uint16_t v) {
  b[at] = char(v);
  b[at + 1] = char(v >> 8);
}
void Put32(std::string& b, std::size_t at, uint32_t v) {
  Put16(b, at, uint16_t(v));
  Put16(b, at + 2, uint16_t(v >> 16));
}

// The entry of tag in the first directory of a little-endian TIFF.
std::size_t Entry(const std::string& b, uint16_t tag) {
  const uint32_t ifd = U32(b, 4);
  for (uint32_t i = 0; i < U16(b, ifd); ++i)
    if (U16(b, ifd + 2 + 12 * i) == tag) return ifd + 2 + 12 * i;
  ADD_FAILURE() << "no tag " << tag;
  return 0;
}

// Sets an inline value; type 0 keeps the entry's type.
std::string SetTag(std::string b, uint16_t tag, uint32_t value, uint16_t type = 0) {
  const std::size_t e = Entry(b, tag);
  if (type != 0) Put16(b, e + 2, type);
  if (U16(b, e + 2) == TIFF_SHORT) {
    Put32(b, e + 8, 0);
    Put16(b, e + 8, uint16_t(value));
  } else {
    Put32(b, e + 8, value);
  }
  return b;
}

std::string NextIfdLink(const std::string& b) {
  const uint32_t ifd = U32(b, 4);
  return std::to_string(ifd + 2 + 12 * U16(b, ifd));
}

class Hostile : public ::testing::Test {
 protected:
  // Valid files of each kind, written by us.
  std::string Valid(int32_t type, int bits, int pages = 1) {
    const std::string path = dir_.File("valid" + std::to_string(counter_++));
    for (int i = 0; i < pages; ++i)
      EXPECT_EQ(WritePage(path, type, fixtures::MakePage(bits, 64, 48, 300, fixtures::Colours::kGrey), 75), kOk);
    return testsupport::ReadFile(path);
  }
  std::string Put(const std::string& name, const std::string& bytes) {
    testsupport::WriteFile(dir_.File(name), bytes);
    return dir_.File(name);
  }
  testsupport::TempDir dir_;
  int counter_ = 0;
};

TEST_F(Hostile, ReadersGiveTheirErrorCodes) {
  const std::string tif8 = Valid(TIFF_UNCOMPRESSED, 8), g4 = Valid(TIFF_G4_FAX, 1), tjpg = Valid(TIFF_JPEG, 24);
  const std::string bmp = Valid(BMP_UNCOMPRESSED, 8), jpg = Valid(JPEG, 24);
  std::string bmpRle = bmp;  // an RLE8 header over data that stops short
  Put32(bmpRle, 30, 1);
  bmpRle.resize(1078 + 10);
  std::string cut = g4;  // the G4 strip (just after the header) zeroed
  std::fill(cut.begin() + 8, cut.begin() + 40, '\0');
  std::string tjpgBroken = tjpg;  // the strip's JPEG stream starts with junk
  std::fill_n(tjpgBroken.begin() + U32(tjpg, Entry(tjpg, TIFFTAG_STRIPOFFSETS) + 8), 4, '\x55');
  std::string jpgBroken = jpg;  // a marker in the middle of the coded data
  jpgBroken.replace(jpg.size() / 2, 2, "\xFF\xD9");
  std::string jpgNoWidth = jpg;
  const std::size_t sof = jpg.find("\xFF\xC0");
  Put16(jpgNoWidth, sof + 7, 0);

  struct Case {
    const char* name;
    std::string bytes;
    int32_t err;
  } cases[] = {
      {"tiff cut to 2 bytes", tif8.substr(0, 2), kErrBadFormat},
      {"tiff cut to the header", tif8.substr(0, 8), kErrBadFormat},
      {"tiff cut in the directory", tif8.substr(0, tif8.size() - 40), kErrBadFormat},
      {"tiff cut to half", tif8.substr(0, tif8.size() / 2), kErrBadFormat},
      {"directory offset past the end", [&] { std::string b = tif8; Put32(b, 4, 0x7FFFFFF0); return b; }(),
       kErrBadFormat},
      {"strip offset past the end", SetTag(tif8, TIFFTAG_STRIPOFFSETS, 0x7FFFFF00), kErrBadFormat},
      {"strip byte count past the end", SetTag(g4, TIFFTAG_STRIPBYTECOUNTS, 0x7FFFFF00), kErrBadFormat},
      {"huge width and height",
       SetTag(SetTag(SetTag(tif8, TIFFTAG_IMAGEWIDTH, 100000, TIFF_LONG), TIFFTAG_IMAGELENGTH, 100000, TIFF_LONG),
              TIFFTAG_ROWSPERSTRIP, 0xFFFFFFFF, TIFF_LONG),
       kErrNoMemory},
      {"zero width", SetTag(tif8, TIFFTAG_IMAGEWIDTH, 0), kErrBadFormat},
      {"unknown compression", SetTag(tif8, TIFFTAG_COMPRESSION, 12345), kErrCompression},
      {"old-style JPEG", SetTag(tif8, TIFFTAG_COMPRESSION, COMPRESSION_OJPEG), kErrCompression},
      {"16 bits a sample", SetTag(tif8, TIFFTAG_BITSPERSAMPLE, 16), kErrBitsPerPixel},
      {"2 bits a sample", SetTag(tif8, TIFFTAG_BITSPERSAMPLE, 2), kErrBitsPerPixel},
      {"CIE Lab", SetTag(tif8, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_CIELAB), kErrTiffTag},
      {"CMYK", SetTag(tif8, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_SEPARATED), kErrTiffTag},
      {"uncompressed YCbCr", SetTag(Valid(TIFF_UNCOMPRESSED, 24), TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_YCBCR),
       kErrCompression},
      {"broken G4 data", cut, kErrBadFormat},
      {"broken JPEG-in-TIFF data", tjpgBroken, kErrBadFormat},
      {"jpeg cut to 3 bytes", jpg.substr(0, 3), kErrBadFormat},
      {"jpeg cut in the header", jpg.substr(0, 100), kErrBadFormat},
      {"jpeg cut to half", jpg.substr(0, jpg.size() / 2), kErrBadFormat},
      {"jpeg without its end", jpg.substr(0, jpg.size() - 2), kErrBadFormat},
      {"jpeg with garbled data", jpgBroken, kErrBadFormat},
      {"jpeg of width 0", jpgNoWidth, kErrBadFormat},
      {"bmp cut to 10 bytes", bmp.substr(0, 10), kErrBadFormat},
      {"bmp cut in the palette", bmp.substr(0, 300), kErrBadFormat},
      {"bmp cut in the pixels", bmp.substr(0, bmp.size() - 5), kErrBadFormat},
      {"bmp data offset past the end", [&] { std::string b = bmp; Put32(b, 10, 0x7FFFFFF0); return b; }(),
       kErrBadFormat},
      {"bmp height beyond the data", [&] { std::string b = bmp; Put32(b, 22, 4000); return b; }(), kErrBadFormat},
      {"bmp with 1000 colours", [&] { std::string b = bmp; Put32(b, 46, 1000); return b; }(), kErrBadFormat},
      {"bmp OS/2 header", [&] { std::string b = bmp; Put32(b, 14, 12); return b; }(), kErrBadFormat},
      {"bmp of 2 planes", [&] { std::string b = bmp; Put16(b, 26, 2); return b; }(), kErrBadFormat},
      {"bmp of 16 bits", [&] { std::string b = bmp; Put16(b, 28, 16); return b; }(), kErrBitsPerPixel},
      {"bmp of 32 bits", [&] { std::string b = bmp; Put16(b, 28, 32); return b; }(), kErrBitsPerPixel},
      {"bmp with bit fields", [&] { std::string b = bmp; Put32(b, 30, 3); return b; }(), kErrCompression},
      {"bmp RLE on 24 bits", [&] { std::string b = Valid(BMP_UNCOMPRESSED, 24); Put32(b, 30, 1); return b; }(),
       kErrBadFormat},
      {"bmp RLE data cut short", bmpRle, kErrBadFormat},
      {"bmp huge", [&] { std::string b = bmp; Put32(b, 18, 60000); Put32(b, 22, 60000); return b; }(), kErrNoMemory},
      {"unknown content", std::string(200, 'x'), kErrBadFormat},
      {"empty file", std::string(), kErrBadFormat},
  };

  // The libraries print nothing: their messages become codes.
  const std::string log = dir_.File("stderr.log");
  fflush(stderr);
  const int saved = dup(2);
  const int logFd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  dup2(logFd, 2);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = Put("hostile", c.bytes);
    PageImage page;
    page.width = 7;
    EXPECT_EQ(ReadPage(path, 1, &page), c.err);
    EXPECT_EQ(LastError(), c.err);
    EXPECT_EQ(page.width, 7) << "a failed read leaves the output alone";
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(c.bytes.data()), c.bytes.size());
    if (c.bytes.rfind("\xFF\xD8", 0) == 0) {
      EXPECT_EQ(DecodeJpegMemory(bytes, &page), c.err);
    }
    const int32_t pages = GetTotalPage(path);
    EXPECT_TRUE(pages == 1 || pages < 0) << pages;
  }
  fflush(stderr);
  dup2(saved, 2);
  close(saved);
  close(logFd);
  EXPECT_EQ(testsupport::ReadFile(log), "");
}

// The type and attribute queries on bad pages: errors, or facts without
// decoding where the pixels are the problem.
TEST_F(Hostile, QueriesOnBadPages) {
  const std::string tif8 = Valid(TIFF_UNCOMPRESSED, 8);
  const std::string unknown = Put("u.tif", SetTag(tif8, TIFFTAG_COMPRESSION, 12345));
  EXPECT_EQ(GetPageFileType(unknown, 0), -kErrCompression);
  EXPECT_EQ(GetPageFileType(unknown, 1), -kErrCompression);
  EXPECT_EQ(GetTotalPage(unknown), 1);

  const std::string huge = Put("h.tif", SetTag(SetTag(tif8, TIFFTAG_IMAGEWIDTH, 100000, TIFF_LONG), TIFFTAG_IMAGELENGTH,
                                               100000, TIFF_LONG));
  int32_t w = 0, h = 0;
  EXPECT_EQ(GetImageFileAttributes(huge, 1, nullptr, &w, &h, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(w, 100000);
  EXPECT_EQ(h, 100000);

  const std::string text = Put("t.txt", "plain text, no image");
  EXPECT_EQ(GetPageFileType(text, 0), UNKNOWN_TYPE);
  EXPECT_EQ(LastError(), kErrBadFormat);
  EXPECT_EQ(GetTotalPage(text), -kErrBadFormat);

  // Each kind of page exists from 1 to its count only.
  const std::string files[] = {Put("a.tif", Valid(TIFF_G4_FAX, 1, 2)), Put("a.bmp", Valid(BMP_UNCOMPRESSED, 4)),
                               Put("a.jpg", Valid(JPEG, 8))};
  for (const std::string& f : files) {
    SCOPED_TRACE(f);
    const int32_t last = GetTotalPage(f);
    PageImage page;
    EXPECT_EQ(ReadPage(f, 0, &page), kErrPageNotFound);
    EXPECT_EQ(ReadPage(f, last + 1, &page), kErrPageNotFound);
    EXPECT_EQ(ReadPage(f, last, &page), kOk);
    EXPECT_EQ(GetPageFileType(f, last + 1), -kErrPageNotFound);
    EXPECT_EQ(GetImageFileAttributes(f, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), -kErrPageNotFound);
  }

  const std::string missing = dir_.File("missing.tif");
  PageImage page;
  EXPECT_EQ(ReadPage(missing, 1, &page), kErrOpen);
  EXPECT_EQ(GetTotalPage(missing), -kErrOpen);
  EXPECT_EQ(GetPageFileType(missing, 0), -kErrOpen);
  EXPECT_EQ(ReadPage(dir_.Path(), 1, &page), kErrRead);
  EXPECT_EQ(GetTotalPage(dir_.Path()), -kErrRead);
  EXPECT_EQ(ReadPage("", 1, &page), kErrBadString);
  EXPECT_EQ(ReadPage(files[0], 1, nullptr), kErrBadString);
}

// Directory chains that loop or lead out of the file end where they break.
TEST_F(Hostile, BrokenDirectoryChains) {
  const std::string two = Valid(TIFF_G4_FAX, 1, 2);
  std::string loop = two;
  Put32(loop, std::stoul(NextIfdLink(loop)), U32(loop, 4));
  std::string away = two;
  Put32(away, std::stoul(NextIfdLink(away)), 0x7FFFFFF0);
  for (const std::string& bytes : {loop, away}) {
    const std::string path = Put("chain.tif", bytes);
    EXPECT_EQ(GetTotalPage(path), 1);
    PageImage page;
    EXPECT_EQ(ReadPage(path, 1, &page), kOk);
    EXPECT_EQ(ReadPage(path, 2, &page), kErrPageNotFound);
    // Appending would have to follow the chain to its end: refused, the
    // file left as it was.
    EXPECT_EQ(WritePage(path, TIFF_G4_FAX, page, 0), kErrBadFormat);
    EXPECT_EQ(TIFF_PageCopy(path, path, 1), 0);
    EXPECT_EQ(LastError(), kErrBadFormat);
    EXPECT_EQ(testsupport::ReadFile(path), bytes);
  }
  // A loop further down the chain, from the second page back to the first.
  std::string late = Valid(TIFF_G4_FAX, 1, 2);
  const uint32_t second = U32(late, std::stoul(NextIfdLink(late)));
  Put32(late, second + 2 + 12 * U16(late, second), U32(late, 4));
  const std::string path = Put("late.tif", late);
  EXPECT_EQ(GetTotalPage(path), 2);
  EXPECT_EQ(WritePage(path, TIFF_G4_FAX, fixtures::MakePage(1, 16, 16), 0), kErrBadFormat);
  EXPECT_EQ(testsupport::ReadFile(path), late);
}

TEST_F(Hostile, WritersRefuseWhatTheFormatCannotHold) {
  const PageImage one = fixtures::MakePage(1, 32, 8), four = fixtures::MakePage(4, 32, 8),
                  grey = fixtures::MakePage(8, 32, 8), colour = fixtures::MakePage(24, 32, 8),
                  palette = fixtures::MakePage(8, 32, 8, 300, fixtures::Colours::kPalette);
  PageImage shortPixels = grey, badPalette = grey, twoBit = one;
  shortPixels.pixels.pop_back();
  badPalette.palette.resize(16);
  twoBit.bitsPerPixel = 2;
  struct Case {
    const char* name;
    int32_t type;
    const PageImage* image;
    int32_t err;
  } cases[] = {
      {"1 bit as JPEG", JPEG, &one, kErrBitsPerPixel},
      {"4 bits as JPEG", JPEG, &four, kErrBitsPerPixel},
      {"palette as JPEG", JPEG, &palette, kErrBitsPerPixel},
      {"1 bit as TIFF JPEG", TIFF_JPEG, &one, kErrBitsPerPixel},
      {"palette as TIFF JPEG", TIFF_JPEG, &palette, kErrBitsPerPixel},
      {"8 bits as G3", TIFF_G3_FAX, &grey, kErrBitsPerPixel},
      {"24 bits as G4", TIFF_G4_FAX, &colour, kErrBitsPerPixel},
      {"no such type", 7, &grey, kErrCompression},
      {"pixels short", TIFF_UNCOMPRESSED, &shortPixels, kErrInvalidImage},
      {"palette of the wrong size", BMP_UNCOMPRESSED, &badPalette, kErrInvalidImage},
      {"2 bits", TIFF_UNCOMPRESSED, &twoBit, kErrInvalidImage},
  };
  for (const Case& c : cases) {
    const std::string path = dir_.File(std::string(c.name) + ".out");
    EXPECT_EQ(WritePage(path, c.type, *c.image, 80), c.err) << c.name;
    EXPECT_EQ(LastError(), c.err) << c.name;
    EXPECT_FALSE(std::filesystem::exists(path)) << c.name;
  }
  for (int32_t type : {TIFF_UNCOMPRESSED, TIFF_G4_FAX, BMP_UNCOMPRESSED, JPEG})
    EXPECT_EQ(WritePage(dir_.File("no/folder/x"), type, type == JPEG ? grey : one, 80), kErrCreate) << type;
  EXPECT_EQ(WritePage("", TIFF_G4_FAX, one, 0), kErrBadString);

  // A page is never appended to a file of another kind.
  const std::string bmp = Put("keep.bmp", Valid(BMP_UNCOMPRESSED, 1));
  const std::string before = testsupport::ReadFile(bmp);
  EXPECT_EQ(WritePage(bmp, TIFF_G4_FAX, one, 0), kErrBadFormat);
  EXPECT_EQ(testsupport::ReadFile(bmp), before);
}

TEST_F(Hostile, CmykJpegIsRefused) {
  const std::string pgm = dir_.File("in.pgm"), jpg = dir_.File("cmyk.jpg");
  fixtures::WritePnm(pgm, fixtures::MakePage(8, 40, 30));
  int status = -1;
  fixtures::Shell("convert " + fixtures::Quote(pgm) + " -colorspace CMYK " + fixtures::Quote(jpg), &status);
  ASSERT_EQ(status, 0);
  PageImage page;
  EXPECT_EQ(ReadPage(jpg, 1, &page), kErrCompression);
  EXPECT_EQ(GetPageFileType(jpg, 0), -kErrCompression);
}

}  // namespace
