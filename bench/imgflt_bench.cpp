// Hux_ImgFlt benchmarks (their names start with "imgflt_", so that
// "scripts/bench imgflt" picks them) on a generated A4 page at 300 dpi
// (2480 x 3508): deskew + crop of a 24-bit, an 8-bit and a 1-bit scan (a light page with
// text lines turned by 3.4 degrees on a dark backing), rotation by 90
// degrees of a 24-bit and a 1-bit page, resolution change 300 -> 200 dpi,
// mirror and invert. Each benchmark times only the operation (the fresh
// copy of its input is made outside the timing), and reports beside it, in
// the same run, a plain memcpy of the same bytes and ImageMagick's convert
// doing the same work on the same page written as a file (std::chrono
// around system(), so process start and file reading and writing are in
// convert's time). Times are CPU times of one thread (convert held to one
// thread), so that a busy machine does not move the ratios. Counters:
// ours_ms, memcpy_ms, ours/memcpy, convert_ms, convert_wall_ms,
// convert/ours.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "Hux_ImgFlt.h"
#include "deskew/deskew.h"
#include "geometry/geometry.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr uint32_t kWidth = 2480, kHeight = 3508, kDpi = 300;
constexpr double kSkew = 3.4 * 3.14159265358979323846 / 180;

uint32_t Stride(uint32_t bits) { return (bits * kWidth + 31) / 32 * 4; }

uint32_t Hash(uint32_t x, uint32_t y) {
  uint32_t h = x * 374761393u + y * 668265263u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return h ^ (h >> 16);
}

// The scan: a 200 x 287 mm page turned by kSkew on a dark backing, grey
// values; text lines every 50 rows of the page.
std::vector<uint8_t> GreyScan() {
  std::vector<uint8_t> g(size_t{kWidth} * kHeight);
  const double c = std::cos(kSkew), s = std::sin(kSkew);
  const double halfW = 200 / 25.4 * kDpi / 2, halfH = 287 / 25.4 * kDpi / 2;
  for (uint32_t y = 0; y < kHeight; ++y)
    for (uint32_t x = 0; x < kWidth; ++x) {
      const double dx = x + 0.5 - kWidth / 2.0, dy = y + 0.5 - kHeight / 2.0;
      const double u = dx * c - dy * s + halfW, v = dx * s + dy * c + halfH;
      const double inside = std::min(std::min(u, 2 * halfW - u), std::min(v, 2 * halfH - v));
      const double cover = std::clamp(inside + 0.5, 0.0, 1.0);
      const uint32_t n = Hash(x, y);
      const auto line = static_cast<int>(v) / 50, inLine = static_cast<int>(v) % 50;
      const bool ink = u > 180 && u < 2 * halfW - 180 && v > 240 && v < 2 * halfH - 240 && inLine > 14 &&
                       inLine < 36 && ((static_cast<int>(u) / 14 + line * 3) % 9) < 6;
      const double paper = ink ? 40.0 + n % 20 : 228.0 + (n >> 8) % 20;
      g[size_t{y} * kWidth + x] = static_cast<uint8_t>(18 + n % 14 + (paper - 18) * cover);
    }
  return g;
}

struct Page {
  uint8_t bits;
  std::vector<uint8_t> rows;
  std::string file;  // the same page for convert
};

struct Pages {
  std::string dir;
  Page p24{24, {}, {}}, p8{8, {}, {}}, p1{1, {}, {}};

  Pages() {
    char tmpl[] = "/tmp/imgflt_bench_XXXXXX";
    dir = std::string(mkdtemp(tmpl)) + "/";
    const std::vector<uint8_t> g = GreyScan();
    p24.rows.assign(size_t{Stride(24)} * kHeight, 0);
    p8.rows.assign(size_t{Stride(8)} * kHeight, 0);
    p1.rows.assign(size_t{Stride(1)} * kHeight, 0);
    for (uint32_t y = 0; y < kHeight; ++y)
      for (uint32_t x = 0; x < kWidth; ++x) {
        const uint8_t v = g[size_t{y} * kWidth + x];
        uint8_t* p = p24.rows.data() + size_t{y} * Stride(24) + 3 * size_t{x};
        p[0] = static_cast<uint8_t>(v > 10 ? v - 6 : v);  // blue first
        p[1] = v;
        p[2] = static_cast<uint8_t>(v < 250 ? v + 4 : v);
        p8.rows[size_t{y} * Stride(8) + x] = v;
        if (v < 128) p1.rows[size_t{y} * Stride(1) + x / 8] |= static_cast<uint8_t>(0x80u >> (x % 8));
      }
    p24.file = Write(p24, "page.ppm");
    p8.file = Write(p8, "page.pgm");
    p1.file = Write(p1, "page.pbm");
  }
  ~Pages() { std::filesystem::remove_all(dir); }

  // Binary PNM: RGB for 24 bit, grey for 8, 1 = black bits for 1.
  std::string Write(const Page& p, const char* name) const {
    const std::string path = dir + name;
    FILE* f = fopen(path.c_str(), "wb");
    if (f == nullptr) return path;
    std::fprintf(f, "%s\n%u %u\n%s", p.bits == 24 ? "P6" : p.bits == 8 ? "P5" : "P4", kWidth, kHeight,
                 p.bits == 1 ? "" : "255\n");
    std::vector<uint8_t> line;
    for (uint32_t y = 0; y < kHeight; ++y) {
      const uint8_t* r = p.rows.data() + size_t{y} * Stride(p.bits);
      if (p.bits == 24) {
        line.assign(r, r + 3 * kWidth);
        for (uint32_t x = 0; x < kWidth; ++x) std::swap(line[3 * x], line[3 * x + 2]);
      } else {
        line.assign(r, r + (p.bits == 8 ? kWidth : (kWidth + 7) / 8));
      }
      fwrite(line.data(), 1, line.size(), f);
    }
    fclose(f);
    return path;
  }
};

Pages& P() {
  static Pages pages;
  return pages;
}

HUX_IMG_INF Describe(std::vector<uint8_t>& rows, uint8_t bits) {
  HUX_IMG_INF inf{};
  inf.pOrgImg = rows.data();
  inf.dwWidth = kWidth;
  inf.dwHeight = kHeight;
  inf.bitsPixel = bits;
  inf.orderRGB = IMG_FLT_COLOR_BGR;
  inf.inLineAlign = inf.outLineAlign = IMG_FLT_MEM_BNDRY32;
  inf.outBuffKind = IMG_FLT_MEMAREA_ORGN;
  inf.imgDpiX = inf.imgDpiY = kDpi;
  return inf;
}

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// CPU time of this thread: what the single-threaded work costs, whatever
// else the machine is busy with.
double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// CPU time of the finished child processes so far.
double ChildSeconds() {
  rusage u{};
  getrusage(RUSAGE_CHILDREN, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

// Average wall and CPU time of a shell command over a few runs; -1 if it
// fails. ImageMagick is held to one thread, as ours runs on one.
struct CommandTime {
  double wall = -1, cpu = -1;
};
CommandTime TimeCommand(const std::string& command, int runs = 3) {
  const auto start = Clock::now();
  const double cpu0 = ChildSeconds();
  for (int i = 0; i < runs; ++i)
    if (system(("MAGICK_THREAD_LIMIT=1 " + command + " >/dev/null 2>&1").c_str()) != 0) return {};
  return {Seconds(start) / runs, (ChildSeconds() - cpu0) / runs};
}

// Times `op` (thread CPU time) on a fresh copy of the page each iteration
// (the copy is not timed) and, in the same iteration and under the same
// conditions, a memcpy of the page's bytes from a fresh copy into a block
// used before; then convert with `convertArgs`. Ratios compare CPU times;
// convert_wall_ms is what a user waits, process start included.
template <typename Op>
void SideBySide(benchmark::State& state, const Page& page, Op op, const std::string& convertArgs) {
  std::vector<uint8_t> work, copy(page.rows.size(), 2);
  double total = 0, copied = 0;
  int64_t n = 0;
  for (auto _ : state) {
    work = page.rows;
    const double c0 = ThreadSeconds();
    std::memcpy(copy.data(), work.data(), copy.size());
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
    copied += ThreadSeconds() - c0;
    work = page.rows;
    HUX_IMG_INF inf = Describe(work, page.bits);
    const double start = ThreadSeconds();
    op(inf);
    const double t = ThreadSeconds() - start;
    state.SetIterationTime(t);
    total += t;
    ++n;
    if (inf.outBuffKind == IMG_FLT_MEMAREA_NEW) GlobalFree(inf.hOutBuff);
  }
  const double ours = total / static_cast<double>(n);
  const double memcpyTime = copied / static_cast<double>(n);
  state.counters["ours_ms"] = ours * 1e3;
  state.counters["memcpy_ms"] = memcpyTime * 1e3;
  state.counters["ours/memcpy"] = ours / memcpyTime;
  if (!convertArgs.empty()) {
    const std::string ext = page.bits == 24 ? ".ppm" : page.bits == 8 ? ".pgm" : ".pbm";
    const CommandTime t =
        TimeCommand("convert '" + page.file + "' " + convertArgs + " '" + P().dir + "out" + ext + "'");
    state.counters["convert_ms"] = t.cpu * 1e3;
    state.counters["convert_wall_ms"] = t.wall * 1e3;
    state.counters["convert/ours"] = t.cpu > 0 ? t.cpu / ours : -1;
  }
}

const Page& ByDepth(int64_t bits) { return bits == 24 ? P().p24 : bits == 8 ? P().p8 : P().p1; }

// Deskew + crop as the pipeline runs them: the crop step follows, so the
// deskew turn writes only the page (range 1: the two steps apart, turn of
// the whole image and then a cut).
void imgflt_DeskewCrop(benchmark::State& state) {
  const Page& page = ByDepth(state.range(0));
  const bool apart = state.range(1) != 0;
  HUX_IMG_FILTER_PARAM prm{};
  prm.verNo = 9;
  prm.deskew = IMG_FLT_ON;
  prm.crop = IMG_FLT_ON;
  prm.blackLevel = 64;
  prm.binaryMode = IMG_FLT_BINARY_OFF;
  double angle = 0;
  uint32_t width = 0;
  SideBySide(
      state, page,
      [&](HUX_IMG_INF& inf) {
        HUX_IMG_FILTER_PARAM p = prm;
        imgflt::deskew::ResetWorkingImage();
        imgflt::deskew::DeskewPage found;
        imgflt::deskew::DeskewStep(inf, p, false, !apart, &found);
        imgflt::deskew::CropStep(inf, p, found, false);
        angle = p.deskewAngle;
        width = inf.dwWidth;
      },
      "-deskew 40%");
  state.counters["angle_deg"] = angle * 180 / 3.14159265358979323846;
  state.counters["crop_w"] = width;
}

void imgflt_Rotate90(benchmark::State& state) {
  const Page& page = ByDepth(state.range(0));
  const HUX_IMG_FILTER_PARAM prm{};
  SideBySide(
      state, page, [&](HUX_IMG_INF& inf) { imgflt::geometry::RotateStep(inf, prm, 9000); }, "-rotate 90");
}

void imgflt_Resolution300To200(benchmark::State& state) {
  const Page& page = ByDepth(state.range(0));
  SideBySide(
      state, page, [&](HUX_IMG_INF& inf) { imgflt::geometry::ChangeResolutionStep(inf, 200, 0); },
      "-sample 1653x2339!");
}

void imgflt_Mirror(benchmark::State& state) {
  const Page& page = ByDepth(state.range(0));
  SideBySide(
      state, page, [&](HUX_IMG_INF& inf) { imgflt::geometry::MirrorStep(inf); }, "-flop");
}

void imgflt_Invert(benchmark::State& state) {
  const Page& page = ByDepth(state.range(0));
  SideBySide(
      state, page, [&](HUX_IMG_INF& inf) { imgflt::geometry::InvertStep(inf); }, "-negate");
}

// The reference: copying the 24-bit page's bytes.
void imgflt_Memcpy(benchmark::State& state) {
  const Page& page = P().p24;
  std::vector<uint8_t> out(page.rows.size());
  for (auto _ : state) {
    std::memcpy(out.data(), page.rows.data(), out.size());
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(out.size()));
}

}  // namespace

BENCHMARK(imgflt_DeskewCrop)
    ->Args({24, 0})
    ->Args({8, 0})
    ->Args({1, 0})
    ->Args({24, 1})
    ->Args({8, 1})
    ->Args({1, 1})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(imgflt_Rotate90)->Arg(24)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(imgflt_Resolution300To200)->Arg(24)->Arg(8)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(imgflt_Mirror)->Arg(24)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(imgflt_Invert)->Arg(24)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(imgflt_Memcpy)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
