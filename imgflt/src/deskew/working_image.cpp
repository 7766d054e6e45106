// The working image: BuildWorkingImage, its clean-up (CloseRowGaps,
// CloseColumnGaps, RemoveClearSpecks) and the module-wide slot.
//
// Backing is dark, so a pixel at or below the black level is backing (set)
// and anything lighter is paper (clear). The clean-up closes the light
// specks, streaks and reflections in the backing that would otherwise pass
// for paper: short clear runs in every row, and near the top and bottom
// edges, where the feed leaves light lines, short clear runs in columns.
#include <algorithm>
#include <array>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "deskew/bits.h"
#include "deskew/deskew.h"

namespace imgflt::deskew {
namespace {

constexpr int32_t kRowGapTenths = 15;     // 1.5 mm: longest clear run closed in rows
constexpr int32_t kColumnGapTenths = 10;  // 1 mm: longest clear run closed in columns
constexpr int32_t kEdgeBandTenths = 40;   // 4 mm: depth of the top and bottom bands
constexpr int32_t kSpeckTenths = 5;       // 0.5 mm: largest clear speck removed

// Writes one working row from pixel `i` on: bit i is set when `backing(i)`
// holds (i a multiple of 8).
template <typename Backing>
void PackRow(uint8_t* dst, uint32_t w, Backing backing, uint32_t i = 0) noexcept {
  for (; i + 8 <= w; i += 8) {
    uint32_t b = 0;
    for (uint32_t k = 0; k < 8; ++k) b = (b << 1) | (backing(i + k) ? 1u : 0u);
    dst[i >> 3] = static_cast<uint8_t>(b);
  }
  if (i < w) {
    uint32_t b = 0, k = 0;
    for (; i < w; ++i, ++k) b = (b << 1) | (backing(i) ? 1u : 0u);
    dst[(w - 1) >> 3] = static_cast<uint8_t>(b << (8 - k));
  }
}

#if defined(__SSE2__)
constexpr std::array<uint8_t, 256> MakeBitReverse() {
  std::array<uint8_t, 256> t{};
  for (unsigned i = 0; i < 256; ++i) {
    unsigned r = 0;
    for (unsigned b = 0; b < 8; ++b)
      if (i & (1u << b)) r |= 0x80u >> b;
    t[i] = static_cast<uint8_t>(r);
  }
  return t;
}
constexpr std::array<uint8_t, 256> kBitReverse = MakeBitReverse();

// Bit j set where byte j of the 16 at p is at or below b.
inline uint32_t DarkBytes(const uint8_t* p, __m128i b) noexcept {
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  return static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(v, b), v)));
}

// Working pixels [0, w / 8 * 8) of a 24-bit row, sixteen source pixels
// (eight samples, 48 bytes) at a time; returns how many were made.
uint32_t PackRow24(uint8_t* dst, const uint8_t* s, uint32_t w, uint8_t black) noexcept {
  const __m128i b = _mm_set1_epi8(static_cast<char>(black));
  uint32_t i = 0;
  for (; i + 8 <= w; i += 8, s += 48) {
    const uint64_t m = DarkBytes(s, b) | uint64_t{DarkBytes(s + 16, b)} << 16 | uint64_t{DarkBytes(s + 32, b)} << 32;
    const uint64_t t = m & (m >> 1) & (m >> 2);  // bit 6k: all three bytes of sample k dark
    uint32_t out = 0;
    for (uint32_t k = 0; k < 8; ++k) out |= static_cast<uint32_t>((t >> (6 * k)) & 1) << (7 - k);
    dst[i >> 3] = static_cast<uint8_t>(out);
  }
  return i;
}

// The same for an 8-bit row: sixteen source bytes, eight samples.
uint32_t PackRow8(uint8_t* dst, const uint8_t* s, uint32_t w, uint8_t black) noexcept {
  const __m128i b = _mm_set1_epi8(static_cast<char>(black));
  uint32_t i = 0;
  for (; i + 8 <= w; i += 8, s += 16) {
    uint32_t x = DarkBytes(s, b) & 0x5555u;  // the even bytes are the samples
    x = (x | (x >> 1)) & 0x3333u;
    x = (x | (x >> 2)) & 0x0F0Fu;
    x = (x | (x >> 4)) & 0x00FFu;
    dst[i >> 3] = kBitReverse[x];
  }
  return i;
}
#endif

// The bits of the even pixels of a byte (pixels 0, 2, 4, 6: bits 7, 5, 3, 1)
// as four bits, pixel 0 first.
constexpr std::array<uint8_t, 256> MakeEvenBits() {
  std::array<uint8_t, 256> t{};
  for (unsigned i = 0; i < 256; ++i)
    t[i] = static_cast<uint8_t>(((i >> 4) & 8) | ((i >> 3) & 4) | ((i >> 2) & 2) | ((i >> 1) & 1));
  return t;
}
constexpr std::array<uint8_t, 256> kEvenBits = MakeEvenBits();

struct Run {
  int32_t x0, x1;  // [x0, x1)
  int32_t y;
};

struct Box {
  int32_t x0, y0, x1, y1;  // inclusive
};

int32_t Find(std::vector<int32_t>& parent, int32_t i) noexcept {
  while (parent[i] != i) {
    parent[i] = parent[parent[i]];
    i = parent[i];
  }
  return i;
}

}  // namespace

int32_t BuildWorkingImage(const ImageView& image, const WorkingOptions& options, WorkingImage* out) noexcept {
  *out = WorkingImage{};
  if (!IsSupportedDepth(image.bitsPixel) || !image.Valid()) return IMG_FLT_ERR_UNSUPPORTED;
  const bool half = options.halfResolution || image.bitsPixel != 1;
  const uint32_t scale = half ? 2 : 1;
  const uint32_t w = image.width / scale, h = image.height / scale;
  if (w == 0 || h == 0) return IMG_FLT_ERR_UNSUPPORTED;
  ImageView format;
  format.bitsPixel = 1;
  format.dpiX = image.dpiX / scale;
  format.dpiY = image.dpiY / scale;
  WorkingImage wi;
  wi.scale = scale;
  wi.sourceWidth = image.width;
  wi.sourceHeight = image.height;
  wi.sourceBits = image.bitsPixel;
  wi.bits = ImageBuffer::Create(ImageBuffer::Storage::Scratch, format, w, h);
  if (!wi.bits) return IMG_FLT_ERR_MEMORY;
  const ImageView& v = wi.bits.View();

  const uint32_t b = options.blackLevel;
  for (uint32_t j = 0; j < h; ++j) {
    const uint8_t* s = image.Row(j * scale);
    uint8_t* d = v.Row(j);
    switch (image.bitsPixel) {
      case 24: {
        // Eight samples span sixteen source pixels; a partial group at the
        // row's end is left to the plain loop.
        const uint32_t groups = image.width / 16 * 8;
        uint32_t done = 0;
#if defined(__SSE2__)
        done = PackRow24(d, s, groups, options.blackLevel);
#endif
        PackRow(
            d, w,
            [s, b](uint32_t i) {
              const uint8_t* p = s + size_t{i} * 6;
              return (p[0] <= b) & (p[1] <= b) & (p[2] <= b);
            },
            done);
        break;
      }
      case 8: {
        const uint32_t groups = image.width / 16 * 8;
        uint32_t done = 0;
#if defined(__SSE2__)
        done = PackRow8(d, s, groups, options.blackLevel);
#endif
        PackRow(d, w, [s, b](uint32_t i) { return s[2 * size_t{i}] <= b; }, done);
        break;
      }
      case 4: PackRow(d, w, [s, b](uint32_t i) { return static_cast<uint32_t>(s[i] >> 4) <= b / 16; }); break;
      default:
        if (half) {
          // Two source bytes give one working byte.
          const uint32_t whole = image.width / 16 * 8;
          for (uint32_t i = 0; i < whole; i += 8)
            d[i >> 3] = static_cast<uint8_t>(kEvenBits[s[i >> 2]] << 4 | kEvenBits[s[(i >> 2) + 1]]);
          PackRow(d, w, [s](uint32_t i) { return bits::Test(s, static_cast<int32_t>(2 * i)); }, whole);
        } else
          std::memcpy(d, s, v.UsedRowBytes());
        break;
    }
  }

  if (options.wLineLoc == 1 || options.wLineLoc == 2) {
    const int32_t strip = std::min<int32_t>(options.wLineWidth / scale, static_cast<int32_t>(w));
    const int32_t x0 = options.wLineLoc == 1 ? 0 : static_cast<int32_t>(w) - strip;
    for (uint32_t j = 0; j < h; ++j) bits::Fill(v.Row(j), x0, x0 + strip);
  }

  if (options.removeSpecks) {
    if (int32_t rc = RemoveClearSpecks(v, static_cast<uint32_t>(MmTenths(kSpeckTenths, v.dpiX))); rc != 0)
      return rc;
  } else {
    CloseRowGaps(v, static_cast<uint32_t>(MmTenths(kRowGapTenths, v.dpiX)));
  }
  const uint32_t band = std::min<uint32_t>(static_cast<uint32_t>(MmTenths(kEdgeBandTenths, v.dpiY)), h);
  CloseColumnGaps(v, static_cast<uint32_t>(MmTenths(kColumnGapTenths, v.dpiY)), band);
  *out = std::move(wi);
  return IMG_FLT_SUCCESS;
}

void CloseRowGaps(const ImageView& image, uint32_t maxRun) noexcept {
  const auto w = static_cast<int32_t>(image.width);
  for (uint32_t y = 0; y < image.height; ++y) {
    uint8_t* row = image.Row(y);
    int32_t x = 0;
    while (x < w) {
      const int32_t c0 = bits::Next(row, x, w, false, image.stride);
      if (c0 >= w) break;
      const int32_t c1 = bits::Next(row, c0, w, true, image.stride);
      if (static_cast<uint32_t>(c1 - c0) <= maxRun) bits::Fill(row, c0, c1);
      x = c1;
    }
  }
}

void CloseColumnGaps(const ImageView& image, uint32_t maxRun, uint32_t band) noexcept {
  band = std::min(band, image.height);
  if (band == 0 || maxRun == 0) return;
  const auto h = static_cast<int32_t>(image.height);
  // One pass per band: rows in scan order, each column's open clear run.
  auto pass = [&](int32_t first, int32_t step) {
    for (uint32_t x = 0; x < image.width; ++x) {
      const auto xi = static_cast<int32_t>(x);
      int32_t runStart = -1, run = 0;
      for (int32_t k = 0, y = first; k < static_cast<int32_t>(band); ++k, y += step) {
        if (bits::Test(image.Row(static_cast<uint32_t>(y)), xi)) {
          if (run > 0 && static_cast<uint32_t>(run) <= maxRun)
            for (int32_t i = 0, yy = runStart; i < run; ++i, yy += step) bits::Set(image.Row(static_cast<uint32_t>(yy)), xi);
          run = 0;
        } else {
          if (run == 0) runStart = y;
          ++run;
        }
      }
    }
  };
  pass(0, 1);
  pass(h - 1, -1);
}

int32_t RemoveClearSpecks(const ImageView& image, uint32_t maxSize) noexcept {
  const auto w = static_cast<int32_t>(image.width);
  std::vector<Run> runs;
  std::vector<int32_t> parent;
  std::vector<Box> box;
  try {
    size_t prevBegin = 0, prevEnd = 0;
    for (uint32_t y = 0; y < image.height; ++y) {
      const uint8_t* row = image.Row(y);
      const size_t begin = runs.size();
      for (int32_t x = 0; x < w;) {
        const int32_t c0 = bits::Next(row, x, w, false, image.stride);
        if (c0 >= w) break;
        const int32_t c1 = bits::Next(row, c0, w, true, image.stride);
        const auto id = static_cast<int32_t>(runs.size());
        runs.push_back({c0, c1, static_cast<int32_t>(y)});
        parent.push_back(id);
        box.push_back({c0, static_cast<int32_t>(y), c1 - 1, static_cast<int32_t>(y)});
        x = c1;
      }
      // Runs of consecutive rows connect when they overlap or touch at a
      // corner; both lists are in x order, so one merge walk finds them all.
      size_t p = prevBegin;
      for (size_t c = begin; c < runs.size(); ++c) {
        while (p < prevEnd && runs[p].x1 < runs[c].x0) ++p;  // ends left of c's corner
        for (size_t q = p; q < prevEnd && runs[q].x0 <= runs[c].x1; ++q) {
          int32_t a = Find(parent, static_cast<int32_t>(q)), b = Find(parent, static_cast<int32_t>(c));
          if (a == b) continue;
          parent[b] = a;
          box[a] = {std::min(box[a].x0, box[b].x0), std::min(box[a].y0, box[b].y0),
                    std::max(box[a].x1, box[b].x1), std::max(box[a].y1, box[b].y1)};
        }
      }
      prevBegin = begin;
      prevEnd = runs.size();
    }
  } catch (...) {
    return IMG_FLT_ERR_MEMORY;
  }
  for (size_t i = 0; i < runs.size(); ++i) {
    const Box& bb = box[Find(parent, static_cast<int32_t>(i))];
    if (static_cast<uint32_t>(bb.x1 - bb.x0 + 1) <= maxSize && static_cast<uint32_t>(bb.y1 - bb.y0 + 1) <= maxSize)
      bits::Fill(image.Row(static_cast<uint32_t>(runs[i].y)), runs[i].x0, runs[i].x1);
  }
  return IMG_FLT_SUCCESS;
}

WorkingImage& WorkingImageSlot() noexcept {
  static WorkingImage slot;
  return slot;
}

void ResetWorkingImage() noexcept { WorkingImageSlot() = WorkingImage{}; }

}  // namespace imgflt::deskew
