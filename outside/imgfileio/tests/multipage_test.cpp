// Multi-page TIFF files: appending pages of mixed types, copying pages with
// their compressed data unchanged, and appends or replacements that fail
// halfway leaving the old file as it was.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "ZoImgFileIO.h"
#include "fixtures.h"
#include "testsupport/temp_env.h"

namespace {

using namespace zoimg;
using fixtures::Quote;
using fixtures::Shell;

struct Page {
  int32_t type;
  int bits;
};

// G4, colour JPEG (subsampled at quality 75) and uncompressed grey.
const Page kMixed[] = {{TIFF_G4_FAX, 1}, {TIFF_JPEG, 24}, {TIFF_UNCOMPRESSED, 8}};

PageImage MixedPage(int i) { return fixtures::MakePage(kMixed[i].bits, 180 + 16 * i, 120 + 8 * i, 200 + 100 * i); }

void WriteMixed(const std::string& path) {
  for (int i = 0; i < 3; ++i) ASSERT_EQ(WritePage(path, kMixed[i].type, MixedPage(i), 75), kOk);
}

TEST(MultiPageTest, AppendsMixedPages) {
  testsupport::TempDir dir;
  const std::string path = dir.File("mixed.tif");
  WriteMixed(path);
  ASSERT_EQ(GetTotalPage(path), 3);
  EXPECT_EQ(GetPageFileType(path, 0), TIFF_G4_FAX);
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(GetPageFileType(path, i + 1), kMixed[i].type);
    const PageImage want = MixedPage(i);
    PageImage got;
    ASSERT_EQ(ReadPage(path, i + 1, &got), kOk);
    EXPECT_EQ(got.xDpi, want.xDpi);
    if (kMixed[i].type == TIFF_JPEG)
      EXPECT_GT(fixtures::Psnr(want, got), 25.0);
    else
      EXPECT_TRUE(fixtures::SamePixels(want, got));
  }
  EXPECT_EQ(GetPageFileType(path, 4), -kErrPageNotFound);
  PageImage none;
  EXPECT_EQ(ReadPage(path, 4, &none), kErrPageNotFound);

  const std::string info = Shell("tiffinfo " + Quote(path));
  EXPECT_NE(info.find("TIFF directory 2"), std::string::npos);
  EXPECT_EQ(info.find("TIFF directory 3"), std::string::npos);
  EXPECT_EQ(info.find("rror"), std::string::npos) << info;
  EXPECT_EQ(Shell("identify -format '%p:%m:%C:%z\\n' " + Quote(path)), "0:TIFF:Group4:1\n1:TIFF:JPEG:8\n2:TIFF:None:8\n");
}

// Pages made by the tools and by us, each copied to a new and an existing
// file: strips or tiles identical byte for byte, pixels and tags the same.
struct CopyCase {
  const char* name;
  const char* tool;  // convert arguments making the source from a PGM/PBM, or null: our own mixed file
  int page;
  int bits;
};

const CopyCase kCopies[] = {
    {"OurG4", nullptr, 1, 1},
    {"OurJpegSubsampled", nullptr, 2, 24},
    {"OurUncompressed", nullptr, 3, 8},
    {"ToolTiledLzw", "-compress LZW -define tiff:tile-geometry=64x64", 1, 8},
    {"ToolBigEndianDeflate", "-endian MSB -compress Zip", 1, 8},
    {"ToolG3", "-compress Fax", 1, 1},
};

class PageCopy : public ::testing::TestWithParam<CopyCase> {};

TEST_P(PageCopy, CopiesCompressedDataUnchanged) {
  const CopyCase& c = GetParam();
  testsupport::TempDir dir;
  std::string src = dir.File("src.tif");
  if (c.tool == nullptr) {
    WriteMixed(src);
  } else {
    const std::string pnm = dir.File(c.bits == 1 ? "in.pbm" : "in.pgm");
    const PageImage page = fixtures::MakePage(c.bits == 1 ? 8 : c.bits, 150, 140);
    fixtures::WritePnm(pnm, page);
    int status = -1;
    const std::string monochrome = c.bits == 1 ? " -threshold 50% -type Bilevel " : " ";
    Shell("convert " + Quote(pnm) + monochrome + c.tool + " " + Quote(src), &status);
    ASSERT_EQ(status, 0);
  }
  PageImage original;
  ASSERT_EQ(ReadPage(src, c.page, &original), kOk);
  const auto raw = fixtures::RawStriles(src, c.page);
  ASSERT_FALSE(raw.empty());

  const std::string fresh = dir.File("fresh.tif"), existing = dir.File("existing.tif");
  ASSERT_EQ(WritePage(existing, TIFF_G4_FAX, fixtures::MakePage(1, 64, 64), 0), kOk);
  for (const std::string& dst : {fresh, existing}) {
    SCOPED_TRACE(dst);
    ASSERT_NE(TIFF_PageCopy(dst, src, c.page), 0) << LastError();
    const int page = dst == fresh ? 1 : 2;
    ASSERT_EQ(GetTotalPage(dst), page);
    EXPECT_EQ(fixtures::RawStriles(dst, page), raw);
    for (uint32_t tag : {TIFFTAG_COMPRESSION, TIFFTAG_PHOTOMETRIC, TIFFTAG_BITSPERSAMPLE, TIFFTAG_ROWSPERSTRIP,
                         TIFFTAG_TILEWIDTH, TIFFTAG_FILLORDER, TIFFTAG_PREDICTOR, TIFFTAG_GROUP3OPTIONS})
      EXPECT_EQ(fixtures::TiffTag(dst, page, tag), fixtures::TiffTag(src, c.page, tag)) << "tag " << tag;
    PageImage copied;
    ASSERT_EQ(ReadPage(dst, page, &copied), kOk);
    EXPECT_TRUE(fixtures::SamePixels(original, copied));
    EXPECT_EQ(copied.xDpi, original.xDpi);
    const std::string info = Shell("tiffinfo " + Quote(dst));
    EXPECT_EQ(info.find("rror"), std::string::npos) << info;
  }
}

INSTANTIATE_TEST_SUITE_P(Sources, PageCopy, ::testing::ValuesIn(kCopies),
                         [](const ::testing::TestParamInfo<CopyCase>& i) { return std::string(i.param.name); });

TEST(MultiPageTest, PageCopyRefusals) {
  testsupport::TempDir dir;
  const std::string src = dir.File("src.tif"), bmp = dir.File("p.bmp"), dst = dir.File("dst.tif");
  WriteMixed(src);
  ASSERT_EQ(WritePage(bmp, BMP_UNCOMPRESSED, fixtures::MakePage(1, 16, 16), 0), kOk);
  struct {
    std::string dst, src;
    int page;
    int32_t err;
  } cases[] = {
      {dst, src, 0, kErrPageNotFound},
      {dst, src, 4, kErrPageNotFound},
      {dst, bmp, 1, kErrBadFormat},
      {bmp, src, 1, kErrBadFormat},  // never appends a TIFF page to another format
      {dir.File("no/such/folder.tif"), src, 1, kErrCreate},
      {dst, dir.File("missing.tif"), 1, kErrOpen},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TIFF_PageCopy(c.dst, c.src, c.page), 0) << c.dst << " " << c.page;
    EXPECT_EQ(LastError(), c.err) << c.dst << " " << c.page;
  }
  EXPECT_FALSE(std::filesystem::exists(dst));
}

// ---- Failures halfway ----------------------------------------------------

// Runs fn in a child whose files may not grow past limit bytes (writes past
// it fail with EFBIG) and returns its result.
template <typename Fn>
int32_t WithFileSizeLimit(uint64_t limit, Fn fn) {
  const pid_t pid = fork();
  if (pid == 0) {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit rl {
      rlim_t(limit), rlim_t(limit)
    };
    setrlimit(RLIMIT_FSIZE, &rl);
    _exit(int(fn() - 30000) & 0xFF);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? 30000 + WEXITSTATUS(status) : -1;
}

std::size_t FilesIn(const std::string& folder) {
  std::size_t n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder)) ++n;
  return n;
}

TEST(MultiPageTest, FailedWriteHalfwayKeepsTheOldFile) {
  testsupport::TempDir dir;
  const std::string tif = dir.File("doc.tif"), bmp = dir.File("doc.bmp"), jpg = dir.File("doc.jpg");
  const std::string src = dir.File("src.tif");
  WriteMixed(tif);
  WriteMixed(src);
  ASSERT_EQ(WritePage(bmp, BMP_UNCOMPRESSED, fixtures::MakePage(8, 100, 100), 0), kOk);
  ASSERT_EQ(WritePage(jpg, JPEG, fixtures::MakePage(8, 100, 100), 80), kOk);
  const PageImage big = fixtures::MakePage(24, 400, 300);
  struct {
    const char* name;
    std::string path;
    std::function<int32_t()> write;
  } cases[] = {
      {"append", tif, [&] { return WritePage(tif, TIFF_UNCOMPRESSED, big, 0); }},
      {"page copy", tif, [&] { return TIFF_PageCopy(tif, src, 3) ? kOk : LastError(); }},
      {"bmp", bmp, [&] { return WritePage(bmp, BMP_UNCOMPRESSED, big, 0); }},
      {"jpeg", jpg, [&] { return WritePage(jpg, JPEG, big, 100); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string before = testsupport::ReadFile(c.path);
    const std::size_t files = FilesIn(dir.Path());
    EXPECT_EQ(WithFileSizeLimit(before.size() + 2000, c.write), kErrWrite);
    EXPECT_EQ(testsupport::ReadFile(c.path), before);
    EXPECT_EQ(FilesIn(dir.Path()), files) << "a temporary file was left behind";
  }
  // The old file takes the next append as if nothing had happened.
  ASSERT_EQ(WritePage(tif, TIFF_UNCOMPRESSED, big, 0), kOk);
  EXPECT_EQ(GetTotalPage(tif), 4);
  PageImage back;
  ASSERT_EQ(ReadPage(tif, 4, &back), kOk);
  EXPECT_TRUE(fixtures::SamePixels(big, back));
}

// A new TIFF that cannot be finished never appears under its name.
TEST(MultiPageTest, FailedNewFileLeavesNothing) {
  testsupport::TempDir dir;
  const std::string tif = dir.File("new.tif");
  EXPECT_EQ(WithFileSizeLimit(5000, [&] { return WritePage(tif, TIFF_UNCOMPRESSED, fixtures::MakePage(24, 400, 300), 0); }),
            kErrWrite);
  EXPECT_EQ(FilesIn(dir.Path()), 0u);
}

}  // namespace
