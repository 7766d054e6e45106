// Image object library: showing a 1-bit A4 page at 300 dpi (2480 × 3508)
// reduced to fit 800 × 600 with grey scaling, beside ImageMagick doing the
// same reduction (`convert page.tif -resize 800x600 out.png`).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ZoDIBImage.h"

namespace {

constexpr int kW = 2480, kH = 3508;
const QRect kWindow(0, 0, 800, 600);

std::string g_folder;  // a fresh folder under the temporary folder
std::string PagePath() { return g_folder + "page.tif"; }

// 60 lines of 10-point text and a heading, written as a G4 TIFF.
bool MakePage() {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/dibimage_bench_XXXXXX";
  if (!mkdtemp(pattern.data())) return false;
  g_folder = pattern + "/";
  QImage text(kW, kH, QImage::Format_Grayscale8);
  text.fill(255);
  {
    QPainter p(&text);
    QFont body("DejaVu Serif");
    body.setPixelSize(42);
    p.setFont(body);
    for (int line = 0; line < 60; ++line)
      p.drawText(QPoint(250, 300 + line * 52),
                 QString("Line %1: The quick brown fox jumps over the lazy dog, 0123456789, total due.").arg(line + 1));
    QFont heading("DejaVu Sans");
    heading.setPixelSize(120);
    heading.setBold(true);
    p.setFont(heading);
    p.drawText(QPoint(250, 220), "Quarterly Report");
  }
  zoimg::PageImage page;
  page.width = kW;
  page.height = kH;
  page.bitsPerPixel = 1;
  page.xDpi = page.yDpi = 300;
  page.palette = {0xFFFFFFu, 0x000000u};
  page.pixels.assign(size_t(page.Stride()) * kH, 0);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      if (text.constScanLine(y)[x] < 128)
        page.pixels[size_t(y) * page.Stride() + size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
  return zoimg::WritePage(PagePath(), zoimg::TIFF_G4_FAX, page, 75) == zoimg::kOk;
}

CDIB& LoadedPage() {
  static CDIB page;
  if (!page.HasImage()) page.LoadDIBObject(PagePath(), 1);
  return page;
}

void Show(CDIB& dib, QImage& window) {
  QPainter p(&window);
  const QSize shown = dib.GetShowDIBSize();
  dib.DisplayImage(&p, QPoint((kWindow.width() - shown.width() + 1) / 2, 0), true);
}

// A fresh object each time (sharing the page's pixels): scaling included.
void BM_ShowReducedGrey(benchmark::State& state) {
  QImage window(kWindow.size(), QImage::Format_RGB32);
  for (auto _ : state) {
    CDIB dib;
    dib.ShareImage(LoadedPage());
    dib.SetZoomMode(CDIB::kZoomModeGray);
    dib.FitWindow(kWindow, 0);
    Show(dib, window);
    benchmark::DoNotOptimize(window.constBits());
  }
}

// Repeated paints at one size: the kept picture is drawn.
void BM_RepaintReducedGrey(benchmark::State& state) {
  QImage window(kWindow.size(), QImage::Format_RGB32);
  CDIB dib;
  dib.ShareImage(LoadedPage());
  dib.SetZoomMode(CDIB::kZoomModeGray);
  dib.FitWindow(kWindow, 0);
  for (auto _ : state) {
    Show(dib, window);
    benchmark::DoNotOptimize(window.constBits());
  }
}

// The same as plain sampling, for comparison.
void BM_ShowReducedPlain(benchmark::State& state) {
  QImage window(kWindow.size(), QImage::Format_RGB32);
  for (auto _ : state) {
    CDIB dib;
    dib.ShareImage(LoadedPage());
    dib.FitWindow(kWindow, 0);
    Show(dib, window);
    benchmark::DoNotOptimize(window.constBits());
  }
}

// Decoding the G4 page as well: the work convert does before resizing.
void BM_LoadAndShowReducedGrey(benchmark::State& state) {
  QImage window(kWindow.size(), QImage::Format_RGB32);
  for (auto _ : state) {
    CDIB dib;
    dib.LoadDIBObject(PagePath(), 1);
    dib.SetZoomMode(CDIB::kZoomModeGray);
    dib.FitWindow(kWindow, 0);
    Show(dib, window);
    benchmark::DoNotOptimize(window.constBits());
  }
}

void BM_ConvertResize(benchmark::State& state) {
  const std::string command = "convert '" + PagePath() + "' -resize 800x600 '" + g_folder + "out.png'";
  for (auto _ : state)
    if (std::system(command.c_str()) != 0) state.SkipWithError("convert failed");
}

// Prints the console table and keeps each run's time for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) times_[r.benchmark_name()] = r.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintRatio(const std::string& ours, const std::string& theirs) const {
    const auto a = Find(ours), b = Find(theirs);
    if (a > 0 && b > 0) std::printf("ratio %s / %s = %.1f\n", theirs.c_str(), ours.c_str(), b / a);
  }

 private:
  double Find(const std::string& prefix) const {
    for (const auto& [name, t] : times_)
      if (name.rfind(prefix, 0) == 0) return t;
    return 0;
  }
  std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (!MakePage()) {
    std::fprintf(stderr, "cannot write the page fixture\n");
    return 1;
  }
  // Named after the module, so that scripts/bench dibimage selects them.
  using Fn = void (*)(benchmark::State&);
  const std::pair<const char*, Fn> runs[] = {{"dibimage/ShowReducedGrey", BM_ShowReducedGrey},
                                             {"dibimage/RepaintReducedGrey", BM_RepaintReducedGrey},
                                             {"dibimage/ShowReducedPlain", BM_ShowReducedPlain},
                                             {"dibimage/LoadAndShowReducedGrey", BM_LoadAndShowReducedGrey}};
  for (const auto& [name, fn] : runs)
    benchmark::RegisterBenchmark(name, fn)->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::RegisterBenchmark("dibimage/ConvertResize", BM_ConvertResize)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime()
      ->Iterations(10);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatio("dibimage/ShowReducedGrey", "dibimage/ConvertResize");
  reporter.PrintRatio("dibimage/LoadAndShowReducedGrey", "dibimage/ConvertResize");
  std::remove(PagePath().c_str());
  std::remove((g_folder + "out.png").c_str());
  std::remove(g_folder.c_str());
  benchmark::Shutdown();
  return 0;
}
