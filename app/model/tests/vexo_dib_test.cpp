// CVexoDIB: the error mapping of failed image object calls (each row reached
// by a real failing call), message 7 when a page to be shown cannot be
// loaded, and the debug trace sink.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "model/debug_trace.h"
#include "model/vexo_dib.h"
#include "shell/scripted_presenter.h"
#include "testsupport/temp_env.h"

namespace {

zoimg::PageImage SmallPage() {
  zoimg::PageImage img;
  img.width = 16;
  img.height = 8;
  img.bitsPerPixel = 8;
  for (uint32_t i = 0; i < 256; ++i) img.palette.push_back(i * 0x010101u);
  img.pixels.assign(size_t(img.Stride()) * 8, 200);
  return img;
}

// A BMP whose header declares 100000 × 100000 pixels of 24 bits.
std::string HugeBmp() {
  std::string b(54, '\0');
  auto put = [&](size_t at, uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b[at + size_t(i)] = char(v >> (8 * i));
  };
  b[0] = 'B';
  b[1] = 'M';
  put(2, 54 + 1024, 4);
  put(10, 54, 4);
  put(14, 40, 4);
  put(18, 100000, 4);
  put(22, 100000, 4);
  put(26, 1, 2);
  put(28, 24, 2);
  return b + std::string(1024, '\0');
}

struct Row {
  const char* what;
  std::function<int(CVexoDIB&, const testsupport::TempDir&)> fail;  // returns the failed call's result
  uint32_t code;
  std::string_view trace;
  const char* text;
};

TEST(CVexoDIB, MapsTheErrorOfEachFailedCall) {
  const Row rows[] = {
      {"missing file", [](CVexoDIB& d, auto& dir) { return d.LoadDIBObject(dir.File("none.tif"), 1); }, 0x40000002,
       CVexoDIB::kTraceFileError, "Failed to open the file."},
      {"broken file",
       [](CVexoDIB& d, auto& dir) {
         testsupport::WriteFile(dir.File("bad.tif"), "no image in here at all");
         return d.LoadDIBObject(dir.File("bad.tif"), 1);
       },
       0x40000003, CVexoDIB::kTraceFileError, "File format is bad, or unreadable."},
      {"decoded size above the limit",
       [](CVexoDIB& d, auto& dir) {
         testsupport::WriteFile(dir.File("huge.bmp"), HugeBmp());
         return d.LoadDIBObject(dir.File("huge.bmp"), 1);
       },
       0x40000001, CVexoDIB::kTraceFileError, "Failed to allocate memory."},
      {"crop of an empty object", [](CVexoDIB& d, auto&) { return d.Crop(QRect(0, 0, 4, 4)); }, 0x60000001,
       CVexoDIB::kTraceImageError, "System Error!\n(Unknown error)"},
      {"rotation canvas above the limit",
       [](CVexoDIB& d, auto& dir) {
         zoimg::PageImage wide = SmallPage();
         wide.width = 30000;
         wide.height = 1;
         wide.bitsPerPixel = 24;
         wide.palette.clear();
         wide.pixels.assign(wide.Stride(), 0);
         if (zoimg::WritePage(dir.File("wide.bmp"), zoimg::BMP_UNCOMPRESSED, wide, 75) != 0)
           return 1;
         if (!d.LoadDIBObject(dir.File("wide.bmp"), 1)) return 1;
         return d.RotateImage(4500, 0, 0);
       },
       0x6000000A, CVexoDIB::kTraceImageError, "Failed to allocate memory."},
      {"a failure that left no error",
       [](CVexoDIB& d, auto& dir) {
         zoimg::WritePage(dir.File("ok.tif"), zoimg::TIFF_UNCOMPRESSED, SmallPage(), 75);
         d.LoadDIBObject(dir.File("ok.tif"), 1);
         return 0;
       },
       0x40000101, CVexoDIB::kTraceMemError, "System Error!\n(Unknown error)"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    testsupport::TempDir dir;
    shell::ScriptedPresenter presenter;
    shell::ScopedMessagePresenter installed(presenter);
    model::ScopedTraceCapture trace;
    CVexoDIB dib;
    ASSERT_EQ(r.fail(dib, dir), 0);
    EXPECT_EQ(CVexoDIB::ShowError(), r.code);
    ASSERT_EQ(presenter.Codes(), std::vector<uint32_t>{r.code});
    EXPECT_EQ(presenter.Calls()[0].text, r.text);
    EXPECT_EQ(trace.Text(), r.trace);
  }
}

TEST(CVexoDIB, FirstMatchingRowWins) {
  const struct {
    int e;
    uint32_t code;
    std::string_view trace;
  } cases[] = {
      {40010, 0x6000000A, CVexoDIB::kTraceImageError},  // a memory error, but above 40000 first
      {40001, 0x60000001, CVexoDIB::kTraceImageError},
      {40000, 0x40002710, CVexoDIB::kTraceFileError},   // not above 40000
      {30001, 0x40000001, CVexoDIB::kTraceFileError},   // a memory error, but above 30000 first
      {30000, 0x40000101, CVexoDIB::kTraceMemError},
      {0, 0x40000101, CVexoDIB::kTraceMemError},
      {-30002, 0x40000101, CVexoDIB::kTraceMemError},
  };
  for (const auto& c : cases) {
    const DibErrorMessage m = CVexoDIB::MapError(c.e);
    EXPECT_EQ(m.code, c.code) << c.e;
    EXPECT_EQ(m.trace, c.trace) << c.e;
  }
}

TEST(CVexoDIB, LoadForDisplayShowsMessage7AndClears) {
  testsupport::TempDir dir;
  ASSERT_EQ(zoimg::WritePage(dir.File("page.tif"), zoimg::TIFF_UNCOMPRESSED, SmallPage(), 75), zoimg::kOk);
  shell::ScriptedPresenter presenter;
  shell::ScopedMessagePresenter installed(presenter);
  model::ScopedTraceCapture trace;

  CVexoDIB dib;
  ASSERT_TRUE(dib.LoadForDisplay(dir.File("page.tif"), 1));
  EXPECT_TRUE(presenter.Codes().empty());
  EXPECT_EQ(dib.GetDIBSize(), QSize(16, 8));

  EXPECT_FALSE(dib.LoadForDisplay(dir.File("gone.tif"), 1));
  EXPECT_EQ(presenter.Codes(), std::vector<uint32_t>{CVexoDIB::kMsgOpenFailed});
  EXPECT_EQ(presenter.Calls()[0].text, "Failed to open the file.");
  EXPECT_FALSE(dib.HasImage());
  EXPECT_EQ(dib.GetShowDIBSize(), QSize(0, 0));
  EXPECT_TRUE(trace.Text().empty());
}

TEST(DebugTrace, DefaultSinkWritesOnlyWhenAskedTo) {
  {
    testsupport::ScopedEnv off("VISTEL_TRACE", std::nullopt);
    testing::internal::CaptureStderr();
    model::DebugTrace("quiet\n");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  }
  {
    testsupport::ScopedEnv on("VISTEL_TRACE", "1");
    testing::internal::CaptureStderr();
    model::DebugTrace("CVexoDIB:ImgFltError\n");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "CVexoDIB:ImgFltError\n");
  }
  {
    testsupport::ScopedEnv on("VISTEL_TRACE", "1");
    model::ScopedTraceCapture outer;
    {
      model::ScopedTraceCapture inner;
      model::DebugTrace("a");
      EXPECT_EQ(inner.Text(), "a");
    }
    model::DebugTrace("b");
    EXPECT_EQ(outer.Text(), "b");
  }
}

}  // namespace
