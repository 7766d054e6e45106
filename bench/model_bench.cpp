// Working file model: opening 1 000 files of 10 pages each (page counts only,
// nothing decoded), and laying a screen out in a working file of 10 000
// pages with deleted pages in it, at its start, middle and end, for eight
// views and for a screen of four pairs. Each benchmark reports goal_ratio,
// its wall time per iteration over the goal (below 1: the goal is met).
// Goals: OpenFiles of the 1 000 files under 200 ms, FillViewSlots under 1 ms.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "ZoImgFileIO.h"
#include "model/vexo_file_info.h"
#include "shell/scripted_presenter.h"

namespace {

constexpr int kFiles = 1000;
constexpr int kPagesPerFile = 10;
constexpr double kOpenGoalSeconds = 0.200;
constexpr double kFillGoalSeconds = 0.001;

std::string g_folder;                 // a fresh folder under the temporary folder
std::vector<std::string> g_singles;   // kFiles files of kPagesPerFile pages
std::vector<std::string> g_mains;     // the same again with a "-C" companion each

class Layout : public ViewLayoutOwner {
 public:
  int SeparationLayout() const noexcept override { return layout; }
  bool PairDisplay() const noexcept override { return pairs; }
  int layout = 0;
  bool pairs = false;
};

// One 10-page TIFF of 16 × 16 1-bit pages through the codecs, then plain
// copies of it: the codecs make each page write durable, which would make
// writing 20 000 pages take minutes.
bool MakeFiles() {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/model_bench_XXXXXX";
  if (!mkdtemp(pattern.data())) return false;
  g_folder = pattern + "/";
  std::filesystem::create_directories(g_folder + "single");
  std::filesystem::create_directories(g_folder + "pairs");
  zoimg::PageImage page;
  page.width = page.height = 16;
  page.bitsPerPixel = 1;
  page.palette = {0xFFFFFFu, 0x000000u};
  page.pixels.assign(size_t(page.Stride()) * 16, 0x0F);
  const std::string master = g_folder + "master.tif";
  for (int p = 0; p < kPagesPerFile; ++p)
    if (zoimg::WritePage(master, zoimg::TIFF_G4_FAX, page, 75) != zoimg::kOk) return false;
  std::error_code ec;
  char name[64];
  for (int f = 0; f < kFiles; ++f) {
    std::snprintf(name, sizeof name, "single/file%04d.tif", f);
    g_singles.push_back(g_folder + name);
    std::snprintf(name, sizeof name, "pairs/file%04d.tif", f);
    g_mains.push_back(g_folder + name);
    std::snprintf(name, sizeof name, "pairs/file%04d-C.tif", f);
    for (const std::string& to : {g_singles.back(), g_mains.back(), g_folder + name})
      if (!std::filesystem::copy_file(master, to, ec)) return false;
  }
  return true;
}

void RemoveFiles() {
  std::error_code ec;
  if (!g_folder.empty()) std::filesystem::remove_all(g_folder, ec);
}

// Times each iteration by the wall clock and reports the ratio to goal.
template <typename Body>
void TimeAgainstGoal(benchmark::State& state, double goalSeconds, Body body) {
  double total = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    body();
    total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  state.counters["goal_ratio"] = state.iterations() ? total / double(state.iterations()) / goalSeconds : 0;
}

void BM_OpenFiles(benchmark::State& state) {
  CVEXOFileInfo model;
  TimeAgainstGoal(state, kOpenGoalSeconds, [&] {
    model.Clear();
    benchmark::DoNotOptimize(model.OpenFiles(g_singles, true));
  });
  if (model.Total() != kFiles * kPagesPerFile) state.SkipWithError("not every page was opened");
}

// For comparison: each chosen file's companion is looked up in its folder.
void BM_OpenFilePairs(benchmark::State& state) {
  CVEXOFileInfo model;
  for (auto _ : state) {
    model.Clear();
    benchmark::DoNotOptimize(model.OpenFilePairs(g_mains, true, false));
  }
  if (model.Total() != kFiles * kPagesPerFile) state.SkipWithError("not every page was opened");
}

// A working file of 10 000 pages with every 7th page deleted (1 428 pages),
// as the delete command leaves it.
void PrepareDeleted(CVEXOFileInfo& model, Layout& layout, bool pairs) {
  layout.layout = 0;
  layout.pairs = pairs;
  model.SetLayoutOwner(&layout);
  model.Clear();
  if (pairs) {
    model.OpenFilePairs(g_mains, false, false);
  } else {
    model.OpenFiles(g_singles, false);
  }
  layout.layout = pairs ? 1 : 0;
  // Deleting the visible page n·6 + 1 removes the records 0, 7, 14, …
  for (int visible = 1; visible <= model.Total(); visible += 6) {
    model.FillViewSlots(visible);
    model.DeletePage(0, -1);
  }
  layout.layout = 5;  // eight views
}

enum class Where { kStart, kMiddle, kEnd };

void FillBench(benchmark::State& state, bool pairs, Where where) {
  CVEXOFileInfo model;
  Layout layout;
  PrepareDeleted(model, layout, pairs);
  const int total = model.Total();
  const int first = where == Where::kStart ? 1
                    : where == Where::kMiddle ? model.FirstPageOfScreen(total / 2)
                                              : model.FirstPageOfScreen(total);
  TimeAgainstGoal(state, kFillGoalSeconds, [&] { benchmark::DoNotOptimize(model.FillViewSlots(first)); });
  state.counters["pages"] = total;
  state.counters["first"] = first;
  if (model.Slot(0).page != first) state.SkipWithError("the screen was not laid out");
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  shell::ScriptedPresenter presenter;  // a failing file is reported, not shown
  shell::ScopedMessagePresenter scoped(presenter);
  if (!MakeFiles()) {
    std::fprintf(stderr, "cannot write the files under %s\n", g_folder.c_str());
    RemoveFiles();
    return 1;
  }
  // Named after the module, so that scripts/bench model selects them.
  benchmark::RegisterBenchmark("model/OpenFiles/1000x10", BM_OpenFiles)->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::RegisterBenchmark("model/OpenFilePairs/1000x10", BM_OpenFilePairs)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  const struct {
    const char* name;
    bool pairs;
    Where where;
  } fills[] = {
      {"model/FillViewSlots/8views/start", false, Where::kStart},
      {"model/FillViewSlots/8views/middle", false, Where::kMiddle},
      {"model/FillViewSlots/8views/end", false, Where::kEnd},
      {"model/FillViewSlots/4pairs/start", true, Where::kStart},
      {"model/FillViewSlots/4pairs/end", true, Where::kEnd},
  };
  for (const auto& f : fills) {
    benchmark::RegisterBenchmark(f.name, [f](benchmark::State& s) { FillBench(s, f.pairs, f.where); })
        ->Unit(benchmark::kMicrosecond)
        ->UseRealTime();
  }
  benchmark::RunSpecifiedBenchmarks();
  if (!presenter.Calls().empty()) std::fprintf(stderr, "%zu messages were raised\n", presenter.Calls().size());
  RemoveFiles();
  benchmark::Shutdown();
  return presenter.Calls().empty() ? 0 : 1;
}
