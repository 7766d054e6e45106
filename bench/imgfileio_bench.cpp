// ZoImgFileIO benchmarks on generated A4 pages at 300 dpi (2480 x 3508):
// decode and encode of a G4, a 24-bit JPEG and an uncompressed 8-bit page,
// the page count of a 1000-page TIFF and copying 100 pages. Each benchmark
// also times the same work done by tiffcp and ImageMagick's convert in the
// same run (std::chrono around system(), process start included) and
// reports them as counters: <tool>_ms and <tool>/ours (how many times
// longer the tool took).
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "ZoImgFileIO.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kA4Width = 2480, kA4Height = 3508;

// Text-like lines over a gradient, as a scanned page looks.
zoimg::PageImage A4(int bits) {
  zoimg::PageImage img;
  img.width = kA4Width;
  img.height = kA4Height;
  img.bitsPerPixel = bits;
  img.xDpi = img.yDpi = 300;
  if (bits == 1) img.palette = {0xFFFFFF, 0x000000};
  if (bits == 8) {
    img.palette.resize(256);
    for (uint32_t i = 0; i < 256; ++i) img.palette[i] = i * 0x010101u;
  }
  img.pixels.assign(std::size_t(img.Stride()) * kA4Height, 0);
  for (int y = 0; y < kA4Height; ++y) {
    uint8_t* row = img.pixels.data() + std::size_t(y) * img.Stride();
    const int line = y / 50, inLine = y % 50;
    for (int x = 0; x < kA4Width; ++x) {
      const bool margin = x < 200 || x > kA4Width - 200 || y < 250 || y > kA4Height - 250;
      const bool ink = !margin && inLine > 12 && inLine < 40 && ((x / 14 + line * 3) % 9) < 6 && (x / 23) % 7 != 0;
      const int grey = ink ? 25 : 245 - (x * 30) / kA4Width;
      if (bits == 1 && ink) row[x / 8] |= uint8_t(0x80 >> (x % 8));
      if (bits == 8) row[x] = uint8_t(grey);
      if (bits == 24) {
        row[3 * x] = uint8_t(ink ? 60 : 240 - y / 40);
        row[3 * x + 1] = uint8_t(grey);
        row[3 * x + 2] = uint8_t(ink ? 40 : 230 + x / 200);
      }
    }
  }
  return img;
}

// The benchmark's files, made once in a folder of its own.
struct Files {
  std::string dir;
  std::string g4, jpg, raw8, pgm, ppm, pbm, pages1000, pages100;
  zoimg::PageImage one, colour, grey;

  Files() {
    const char* tmp = getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/imgfileio_bench.XXXXXX";
    dir = mkdtemp(pattern.data()) ? pattern + "/" : "/tmp/";
    one = A4(1);
    colour = A4(24);
    grey = A4(8);
    g4 = dir + "g4.tif";
    jpg = dir + "colour.jpg";
    raw8 = dir + "grey.tif";
    zoimg::WritePage(g4, zoimg::TIFF_G4_FAX, one, 0);
    zoimg::WritePage(jpg, zoimg::JPEG, colour, 85);
    zoimg::WritePage(raw8, zoimg::TIFF_UNCOMPRESSED, grey, 0);
    pgm = dir + "grey.pgm";
    ppm = dir + "colour.ppm";
    pbm = dir + "one.pbm";
    WritePnm(pgm, grey, "P5", 1);
    WritePnm(ppm, colour, "P6", 3);
    WritePnm(pbm, one, "P4", 0);
    pages1000 = dir + "pages1000.tif";
    pages100 = dir + "pages100.tif";
    for (int i = 0; i < 1000; ++i) zoimg::TIFF_PageCopy(pages1000, g4, 1);
    for (int i = 0; i < 100; ++i) zoimg::TIFF_PageCopy(pages100, g4, 1);
  }
  ~Files() { std::filesystem::remove_all(dir); }

  // Binary PNM; 24-bit rows turn from BGR into RGB, 1-bit rows are packed
  // with a set bit black as in the page image.
  static void WritePnm(const std::string& path, const zoimg::PageImage& img, const char* magic, int bytes) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return;
    fprintf(f, bytes ? "%s\n%d %d\n255\n" : "%s\n%d %d\n", magic, img.width, img.height);
    std::string row;
    for (int y = 0; y < img.height; ++y) {
      const uint8_t* p = img.pixels.data() + std::size_t(y) * img.Stride();
      row.assign(reinterpret_cast<const char*>(p), bytes ? std::size_t(img.width) * bytes : (img.width + 7) / 8);
      if (bytes == 3)
        for (int x = 0; x < img.width; ++x) std::swap(row[3 * x], row[3 * x + 2]);
      fwrite(row.data(), 1, row.size(), f);
    }
    fclose(f);
  }
};

Files& F() {
  static Files files;
  return files;
}

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// Average wall time of a shell command over a few runs, or -1 if it fails.
double TimeCommand(const std::string& command, int runs = 3) {
  const auto start = Clock::now();
  for (int i = 0; i < runs; ++i)
    if (system((command + " >/dev/null 2>&1").c_str()) != 0) return -1;
  return Seconds(start) / runs;
}

// Runs ours in the timing loop, then the tools, and reports them side by side.
template <typename Fn>
void SideBySide(benchmark::State& state, Fn ours, const std::string& tiffcp, const std::string& convert) {
  double total = 0;
  int64_t n = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    ours();
    total += Seconds(start);
    ++n;
  }
  const double mine = total / double(n);
  state.counters["ours_ms"] = mine * 1e3;
  for (const auto& [name, command] : {std::pair{std::string("tiffcp"), tiffcp}, std::pair{std::string("convert"), convert}}) {
    if (command.empty()) continue;
    const double t = TimeCommand(command);
    state.counters[name + "_ms"] = t * 1e3;
    state.counters[name + "/ours"] = t > 0 ? t / mine : -1;
  }
}

std::string Q(const std::string& s) { return "'" + s + "'"; }

void BM_G4Decode(benchmark::State& state) {
  Files& f = F();
  SideBySide(
      state, [&] { zoimg::PageImage p; benchmark::DoNotOptimize(zoimg::ReadPage(f.g4, 1, &p)); },
      "tiffcp -c none " + Q(f.g4) + " " + Q(f.dir + "t_none.tif"), "convert " + Q(f.g4) + " " + Q(f.dir + "c.pbm"));
}

void BM_G4Encode(benchmark::State& state) {
  Files& f = F();
  const std::string out = f.dir + "out_g4.tif";
  zoimg::WritePage(f.dir + "one_none.tif", zoimg::TIFF_UNCOMPRESSED, f.one, 0);
  SideBySide(
      state, [&] { unlink(out.c_str()); benchmark::DoNotOptimize(zoimg::WritePage(out, zoimg::TIFF_G4_FAX, f.one, 0)); },
      "tiffcp -c g4 " + Q(f.dir + "one_none.tif") + " " + Q(f.dir + "t_g4.tif"),
      "convert " + Q(f.pbm) + " -compress Group4 " + Q(f.dir + "c_g4.tif"));
}

void BM_Jpeg24Decode(benchmark::State& state) {
  Files& f = F();
  SideBySide(
      state, [&] { zoimg::PageImage p; benchmark::DoNotOptimize(zoimg::ReadPage(f.jpg, 1, &p)); }, "",
      "convert " + Q(f.jpg) + " " + Q(f.dir + "c.ppm"));
}

void BM_Jpeg24Encode(benchmark::State& state) {
  Files& f = F();
  const std::string out = f.dir + "out.jpg";
  SideBySide(
      state, [&] { benchmark::DoNotOptimize(zoimg::WritePage(out, zoimg::JPEG, f.colour, 85)); }, "",
      "convert " + Q(f.ppm) + " -quality 85 " + Q(f.dir + "c.jpg"));
}

void BM_Raw8Decode(benchmark::State& state) {
  Files& f = F();
  SideBySide(
      state, [&] { zoimg::PageImage p; benchmark::DoNotOptimize(zoimg::ReadPage(f.raw8, 1, &p)); },
      "tiffcp " + Q(f.raw8) + " " + Q(f.dir + "t_raw.tif"), "convert " + Q(f.raw8) + " " + Q(f.dir + "c.pgm"));
}

void BM_Raw8Encode(benchmark::State& state) {
  Files& f = F();
  const std::string out = f.dir + "out_raw.tif";
  SideBySide(
      state,
      [&] { unlink(out.c_str()); benchmark::DoNotOptimize(zoimg::WritePage(out, zoimg::TIFF_UNCOMPRESSED, f.grey, 0)); },
      "", "convert " + Q(f.pgm) + " -compress None " + Q(f.dir + "c_raw.tif"));
}

void BM_TotalPage1000(benchmark::State& state) {
  Files& f = F();
  SideBySide(
      state, [&] { benchmark::DoNotOptimize(zoimg::GetTotalPage(f.pages1000)); }, "tiffinfo -s " + Q(f.pages1000),
      "identify -ping -format '%n\\n' " + Q(f.pages1000));
}

void BM_PageCopy100(benchmark::State& state) {
  Files& f = F();
  const std::string out = f.dir + "copy100.tif";
  SideBySide(
      state,
      [&] {
        unlink(out.c_str());
        for (int page = 1; page <= 100; ++page) benchmark::DoNotOptimize(zoimg::TIFF_PageCopy(out, f.pages100, page));
      },
      "tiffcp " + Q(f.pages100) + " " + Q(f.dir + "t_copy100.tif"), "");
  state.counters["file_MB"] = double(std::filesystem::file_size(f.pages100)) / 1e6;
  // convert holds every page in its pixel cache, and the stock resource
  // policy refuses 100 A4 pages: it copies 10, and the time is scaled by 10.
  const double ten = TimeCommand("convert " + Q(f.pages100 + "[0-9]") + " -compress Group4 " + Q(f.dir + "c10.tif"));
  state.counters["convert_ms"] = ten * 10e3;
  state.counters["convert/ours"] = ten > 0 ? ten * 10e3 / state.counters["ours_ms"] : -1;
}

}  // namespace

BENCHMARK(BM_G4Decode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_G4Encode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Jpeg24Decode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Jpeg24Encode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Raw8Decode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Raw8Encode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TotalPage1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageCopy100)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
