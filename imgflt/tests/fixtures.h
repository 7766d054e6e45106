// Shared test fixtures of the filter library: small generated images in the
// caller's memory (bare rows or a packed DIB), records that ask for nothing,
// and a step runner that records what the pipeline asked of it.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "Hux_ImgFlt.h"
#include "interface/pipeline.h"

namespace imgflt::test {

inline uint32_t Stride(uint32_t width, uint32_t bits) { return (bits * width + 31) / 32 * 4; }

inline uint32_t PaletteBytes(uint32_t bits) { return bits == 24 ? 0 : 4u << bits; }

// An image the test owns: the buffer and its descriptor (pOrgImg points
// into the buffer). Pixel (x, y) of an 8-bit image is (x * 7 + y * 13) & 255
// unless a test writes its own.
struct TestImage {
  std::vector<uint8_t> buffer;
  HUX_IMG_INF inf{};
  uint32_t prefix = 0;

  uint8_t* Rows() { return buffer.data() + prefix; }
  uint8_t* Row(uint32_t y) { return Rows() + size_t{y} * Stride(inf.dwWidth, inf.bitsPixel); }
  std::vector<uint8_t> RowBytes() const {
    return {buffer.begin() + prefix, buffer.end()};
  }
};

inline void PutLE32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline uint32_t GetLE32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

// width x height at bits; dib adds a 40-byte header (positive height) and
// a palette (grey ramp for 8 bit, white/black for 1 bit, 17 steps for 4).
// extraRows leaves room for results larger than the input.
inline TestImage MakeImage(uint32_t width, uint32_t height, uint8_t bits, bool dib = false, uint32_t dpi = 200) {
  TestImage t;
  t.prefix = dib ? 40 + PaletteBytes(bits) : 0;
  const uint32_t stride = Stride(width, bits);
  t.buffer.assign(t.prefix + size_t{stride} * height, 0);
  if (dib) {
    uint8_t* h = t.buffer.data();
    PutLE32(h, 40);
    PutLE32(h + 4, width);
    PutLE32(h + 8, height);
    h[12] = 1;
    h[14] = bits;
    PutLE32(h + 20, stride * height);
    PutLE32(h + 32, bits == 24 ? 0 : 1u << bits);
    uint32_t entries = bits == 24 ? 0 : 1u << bits;
    for (uint32_t i = 0; i < entries; ++i) {
      uint8_t level = bits == 1 ? (i == 0 ? 255 : 0) : bits == 4 ? static_cast<uint8_t>(i * 17) : static_cast<uint8_t>(i);
      h[40 + 4 * i] = h[41 + 4 * i] = h[42 + 4 * i] = level;
    }
  }
  for (uint32_t y = 0; y < height; ++y)
    for (uint32_t x = 0; x < stride; ++x) t.buffer[t.prefix + size_t{y} * stride + x] = static_cast<uint8_t>(x * 7 + y * 13);
  t.inf.pOrgImg = t.buffer.data();
  t.inf.dwWidth = width;
  t.inf.dwHeight = height;
  t.inf.bitsPixel = bits;
  t.inf.dataDIB = dib ? IMG_FLT_ON : IMG_FLT_OFF;
  t.inf.dataUpDown = IMG_FLT_UPDOWN_NORMAL;
  t.inf.orderRGB = IMG_FLT_COLOR_BGR;
  t.inf.inLineAlign = IMG_FLT_MEM_BNDRY32;
  t.inf.outLineAlign = IMG_FLT_MEM_BNDRY32;
  t.inf.outBuffKind = IMG_FLT_MEMAREA_ORGN;
  t.inf.imgDpiX = dpi;
  t.inf.imgDpiY = dpi;
  return t;
}

// A record of the given version that asks for no step at all.
inline HUX_IMG_FILTER_PARAM NothingRecord(uint16_t verNo = 9) {
  HUX_IMG_FILTER_PARAM p{};
  p.verNo = verNo;
  p.binaryMode = IMG_FLT_BINARY_OFF;
  p.detectedAngle = 0xFFFF;
  for (int i = 0; i < 256; ++i) p.gamma_r[i] = p.gamma_g[i] = p.gamma_b[i] = static_cast<uint8_t>(i);
  return p;
}

// One step call as the runner saw it, with the record fields the
// pipeline's temporary values are about.
struct Seen {
  Step step;
  uint8_t bitsPixel;
  uint8_t colortoGray;
  uint8_t gamma;
  int8_t bright;
  int8_t contrast;
  uint32_t angle;
  bool operator==(const Seen&) const = default;
};

// Records every call; a test may fail a step or act in it.
class RecordingSteps final : public StepRunner {
 public:
  int32_t Run(Step step, StepCall& call) noexcept override {
    calls.push_back({step, call.img.bitsPixel, call.prm.colortoGray, call.prm.gamma, call.prm.bright,
                     call.prm.contrast, call.angle});
    if (act) act(step, call);
    return step == failAt ? failCode : 0;
  }
  std::vector<Step> Steps() const {
    std::vector<Step> s;
    for (const Seen& c : calls) s.push_back(c.step);
    return s;
  }
  bool Ran(Step step) const {
    for (const Seen& c : calls)
      if (c.step == step) return true;
    return false;
  }
  const Seen* Find(Step step) const {
    for (const Seen& c : calls)
      if (c.step == step) return &c;
    return nullptr;
  }

  std::vector<Seen> calls;
  std::function<void(Step, StepCall&)> act;
  Step failAt = static_cast<Step>(255);
  int32_t failCode = 0;
};

}  // namespace imgflt::test
