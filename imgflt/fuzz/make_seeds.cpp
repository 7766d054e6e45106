// Writes the seeds of execute_fuzz: a small image header (the layout the
// target reads) followed by filter records that reach the built steps.
// Usage: execute_seeds <corpus root>  (writes <root>/execute/seed_*)
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "Hux_ImgFlt.h"

namespace {

HUX_IMG_FILTER_PARAM Nothing() {
  HUX_IMG_FILTER_PARAM p{};
  p.verNo = 9;
  p.binaryMode = IMG_FLT_BINARY_OFF;
  p.detectedAngle = 0xFFFF;
  return p;
}

bool Write(const std::string& path, uint8_t depth, uint8_t w, uint8_t h, uint8_t flags, uint32_t dpi,
           uint8_t pointers, const HUX_IMG_FILTER_PARAM& p) {
  std::vector<uint8_t> bytes = {depth, w, h, flags};
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(dpi >> (8 * i)));
  bytes.push_back(0x5A);                                   // fill
  for (uint32_t mask = IMG_FLT_MASK_EXECUTE, i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(mask >> (8 * i)));
  bytes.push_back(pointers);
  bytes.push_back(100);  // hOutBuff size in 128ths of the image
  bytes.push_back(0);
  const auto* r = reinterpret_cast<const uint8_t*>(&p);
  bytes.insert(bytes.end(), r, r + sizeof p);
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <corpus root>\n", argv[0]);
    return 2;
  }
  std::string dir = std::string(argv[1]) + "/execute";
  ::mkdir(dir.c_str(), 0777);
  struct Seed {
    uint8_t depth, w, h, flags;
    uint32_t dpi;
    uint8_t pointers;
    void (*ask)(HUX_IMG_FILTER_PARAM&);
  } seeds[] = {
      {2, 40, 30, 0, 200, 0, [](HUX_IMG_FILTER_PARAM&) {}},
      {3, 33, 21, 1, 300, 0, [](HUX_IMG_FILTER_PARAM& p) { p.rotAngle = 9000; }},
      {0, 63, 17, 4, 200, 0, [](HUX_IMG_FILTER_PARAM& p) { p.rotAngle = 27000; }},
      {2, 50, 50, 1, 200, 0,
       [](HUX_IMG_FILTER_PARAM& p) {
         p.rotAngle = 4500;
         p.rotCut = IMG_FLT_ON;
       }},
      {1, 31, 9, 0, 200, 0,
       [](HUX_IMG_FILTER_PARAM& p) {
         p.invert = IMG_FLT_ON;
         p.flip_H = IMG_FLT_ON;
       }},
      {3, 60, 60, 1, 400, 0x80, [](HUX_IMG_FILTER_PARAM& p) { p.chgResolution = 150; }},
      {2, 64, 64, 0, 100, 0,
       [](HUX_IMG_FILTER_PARAM& p) {
         p.deskew = IMG_FLT_ON;
         p.crop = IMG_FLT_ON;
         p.blackLevel = 60;
         p.cropMargin = -50;
       }},
      {2, 64, 48, 0x80, 100, 0xA0,
       [](HUX_IMG_FILTER_PARAM& p) {
         p.crop = IMG_FLT_SPECIFIED;
         p.cropSquare = {{5, 5}, {40, 30}, {5, 5}, {40, 30}};
         p.invert = IMG_FLT_ON;
       }},
      {3, 20, 20, 0, 200, 0x01,
       [](HUX_IMG_FILTER_PARAM& p) {
         p.binaryMode = IMG_FLT_THRESHOLD;
         p.superImpose.bold = IMG_FLT_ON;
       }},
  };
  int n = 0;
  for (const Seed& s : seeds) {
    HUX_IMG_FILTER_PARAM p = Nothing();
    s.ask(p);
    if (!Write(dir + "/seed_" + std::to_string(n++), s.depth, s.w, s.h, s.flags, s.dpi, s.pointers, p)) return 1;
  }
  return 0;
}
