// libFuzzer target of the filter library's entry points: ExportCheckParam,
// HUX_ImgFlt_Execute and HUX_ImgFlt_Execute_Multi with fuzzed records on
// small images.
//
// Input: 16 bytes that describe a valid small image (depth, size, DIB or
// bare rows, row order, colour order, resolution, buffer kind), then the
// bytes of the filter record (missing bytes are zero). The record's
// pointers are replaced by null or by valid objects of the harness, chosen
// by the record's own bytes, since a caller's garbage address is no input
// a library can survive; every other field stays as fuzzed.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "Hux_ImgFlt.h"

namespace {

const char kText[] = "Fuzz 1";
const char kFont[] = "Sans";
const DTH_PARAM kDth[5] = {{80, 0, 45}, {60, 1, 30}, {40, 2, 20}, {20, 3, 10}, {0, 4, 0}};
const uint8_t kDither[64] = {0, 32, 8, 40, 2, 34, 10, 42};

struct Reader {
  const uint8_t* data;
  size_t size;
  size_t at = 0;
  uint8_t U8() { return at < size ? data[at++] : 0; }
  uint32_t U32() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= uint32_t{U8()} << (8 * i);
    return v;
  }
};

uint32_t Stride(uint32_t w, uint32_t bits) { return (bits * w + 31) / 32 * 4; }

void PutLE32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// Points the record's pointers at harness objects or null.
void SanitizePointers(HUX_IMG_FILTER_PARAM& p, uint8_t choice) {
  p.superImpose.string = (choice & 1) ? kText : nullptr;
  p.superImpose.fontName = (choice & 2) ? kFont : nullptr;
  p.pDthPrmTbl = (choice & 4) ? kDth : nullptr;
  p.pCustomDither = (choice & 8) ? kDither : nullptr;
  for (SUBAREA_PARAM* s : {&p.subArea1, &p.subArea2, &p.subArea3}) s->pCustomDither = (choice & 16) ? kDither : nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // No tuning file: the dump stays off and no real settings are read.
  setenv("VISTEL_WINDOWS_DIR", "/nonexistent-vistel-fuzz/", 1);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Reader in{data, size};
  static const uint8_t kDepths[4] = {1, 4, 8, 24};
  const uint8_t bits = kDepths[in.U8() & 3];
  const uint32_t width = 1 + in.U8() % 64;
  const uint32_t height = 1 + in.U8() % 64;
  const uint8_t flags = in.U8();
  const bool dib = (flags & 1) != 0;
  const uint32_t dpiX = in.U32();
  const uint32_t dpiY = (flags & 2) ? in.U32() : dpiX;
  const uint8_t fill = in.U8();
  const uint32_t mask = in.U32() & 0xFFFFFF;
  const uint8_t pointerChoice = in.U8();
  const uint8_t outBuffSize = in.U8();
  (void)in.U8();

  const uint32_t stride = Stride(width, bits);
  const uint32_t palette = bits == 24 ? 0 : 4u << bits;
  const uint32_t prefix = dib ? 40 + palette : 0;
  std::vector<uint8_t> buffer(prefix + size_t{stride} * height);
  for (size_t i = prefix; i < buffer.size(); ++i) buffer[i] = static_cast<uint8_t>(fill + i * 37);
  if (dib) {
    PutLE32(buffer.data(), 40);
    PutLE32(buffer.data() + 4, width);
    PutLE32(buffer.data() + 8, height);
    buffer[12] = 1;
    buffer[14] = bits;
    PutLE32(buffer.data() + 32, palette / 4);
  }

  HUX_IMG_INF img{};
  img.pOrgImg = buffer.data();
  img.dwWidth = width;
  img.dwHeight = height;
  img.bitsPixel = bits;
  img.dataDIB = dib ? IMG_FLT_ON : IMG_FLT_OFF;
  img.dataUpDown = (flags >> 2) & 1;
  img.orderRGB = (flags >> 3) % 3;
  img.inLineAlign = (flags & 0x40) ? IMG_FLT_MEM_BNDRY16 : IMG_FLT_MEM_BNDRY32;
  img.outLineAlign = IMG_FLT_MEM_BNDRY32;
  img.outBuffKind = IMG_FLT_MEMAREA_ORGN;
  img.imgDpiX = dpiX;
  img.imgDpiY = dpiY;
  // Sometimes the image arrives in an hOutBuff block, which may be too small.
  HGLOBAL claimed = nullptr;
  if (flags & 0x80) {
    size_t bytes = buffer.size() * outBuffSize / 128;
    claimed = GlobalAlloc(GHND, bytes);
    if (claimed != nullptr) {
      void* p = GlobalLock(claimed);
      std::memcpy(p, buffer.data(), bytes < buffer.size() ? bytes : buffer.size());
      GlobalUnlock(claimed);
    }
    img.outBuffKind = IMG_FLT_MEMAREA_NEW;
    img.hOutBuff = claimed;
  }

  HUX_IMG_FILTER_PARAM prm{};
  size_t rest = size - in.at < sizeof prm ? size - in.at : sizeof prm;
  if (in.at < size) std::memcpy(&prm, data + in.at, rest);
  SanitizePointers(prm, pointerChoice);

  (void)ExportCheckParam(&img, &prm, mask);

  if (pointerChoice & 0x80) {
    // Multi-output entry: up to three outputs sharing the record.
    const uint16_t count = 1 + (pointerChoice >> 5 & 3) % 3;
    HUX_IMG_FILTER_PARAM second = prm;
    HUX_IMG_FILTER_PARAM* prms[3] = {&prm, (pointerChoice & 32) ? &second : nullptr, &second};
    CIM_INFO cim{};
    cim.mngKind = fill;
    CIM_INFO* cims[3] = {nullptr, &cim, nullptr};
    HUX_IMG_INF outs[3];
    std::memset(outs, 0xEE, sizeof outs);
    if (HUX_ImgFlt_Execute_Multi(&img, prms, cims, outs, count) == 0) {
      for (uint16_t i = 0; i < count; ++i) {
        if (outs[i].outBuffKind != IMG_FLT_MEMAREA_NEW || outs[i].pOrgImg != nullptr) std::abort();
        if (GlobalFree(outs[i].hOutBuff) != nullptr) std::abort();
      }
    } else {
      for (uint16_t i = 0; i < count; ++i)
        if (outs[i].hOutBuff != nullptr || outs[i].pOrgImg != nullptr) std::abort();
    }
  } else {
    (void)HUX_ImgFlt_Execute(&img, &prm);
  }
  // Whatever the image's current block is now, it is ours to free.
  if (img.outBuffKind == IMG_FLT_MEMAREA_NEW && img.hOutBuff != nullptr && img.hOutBuff != claimed)
    GlobalFree(img.hOutBuff);
  if (claimed != nullptr) GlobalFree(claimed);
  return 0;
}
