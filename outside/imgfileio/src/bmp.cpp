// Windows BMP pages, read and written here: no Debian library reads and
// writes BMP without bringing in a GUI toolkit. Reading takes the
// BITMAPINFOHEADER and its V4/V5 successors (not the OS/2 core header) with
// 1, 4, 8 or 24 bits, uncompressed or RLE4/RLE8, bottom-up or top-down.
// Writing makes a bottom-up uncompressed BITMAPINFOHEADER file with palette
// and resolution and replaces the old file by rename.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "codecs.h"
#include "files.h"

namespace zoimg::detail {
namespace {

constexpr uint32_t kFileHeader = 14;

uint16_t U16(std::span<const uint8_t> f, std::size_t at) noexcept { return uint16_t(f[at] | (f[at + 1] << 8)); }
uint32_t U32(std::span<const uint8_t> f, std::size_t at) noexcept {
  return uint32_t(f[at]) | (uint32_t(f[at + 1]) << 8) | (uint32_t(f[at + 2]) << 16) | (uint32_t(f[at + 3]) << 24);
}

struct Header {
  int32_t width = 0, height = 0;
  bool topDown = false;
  int bits = 0;
  uint32_t compression = 0;
  uint32_t paletteAt = 0, colours = 0;
  uint32_t dataAt = 0;
  int32_t xDpi = 0, yDpi = 0;
};

int32_t Dpi(int32_t pixelsPerMetre) noexcept {
  return pixelsPerMetre > 0 ? int32_t(std::lround(pixelsPerMetre * 0.0254)) : 0;
}

uint64_t StrideOf(int32_t width, int bits) noexcept { return ((uint64_t(width) * uint64_t(bits) + 31) / 32) * 4; }

int32_t ParseHeader(std::span<const uint8_t> f, Header* h) noexcept {
  if (f.size() < kFileHeader + 4 || f[0] != 'B' || f[1] != 'M') return kErrBadFormat;
  const uint32_t infoSize = U32(f, 14);
  // 40: BITMAPINFOHEADER; 52/56: with colour masks; 108: V4; 124: V5.
  if (infoSize != 40 && infoSize != 52 && infoSize != 56 && infoSize != 108 && infoSize != 124) return kErrBadFormat;
  if (f.size() < kFileHeader + infoSize) return kErrBadFormat;
  const int32_t width = int32_t(U32(f, 18)), height = int32_t(U32(f, 22));
  const uint16_t planes = U16(f, 26), bits = U16(f, 28);
  h->compression = U32(f, 30);
  if (width <= 0 || height == 0 || height == INT32_MIN || planes != 1) return kErrBadFormat;
  h->width = width;
  h->height = height < 0 ? -height : height;
  h->topDown = height < 0;
  if (bits == 16 || bits == 32) return kErrBitsPerPixel;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24) return kErrBadFormat;
  h->bits = bits;
  if (h->compression == 1 || h->compression == 2) {
    // RLE8 is for 8 bits, RLE4 for 4, and both only bottom-up.
    if (bits != (h->compression == 1 ? 8 : 4) || h->topDown) return kErrBadFormat;
  } else if (h->compression != 0) {
    return kErrCompression;
  }
  h->xDpi = Dpi(int32_t(U32(f, 38)));
  h->yDpi = Dpi(int32_t(U32(f, 42)));
  const uint32_t used = U32(f, 46);
  h->paletteAt = kFileHeader + infoSize;
  if (bits <= 8) {
    const uint32_t full = 1u << bits;
    if (used > full) return kErrBadFormat;
    h->colours = used == 0 ? full : used;
    if (uint64_t(h->paletteAt) + uint64_t(h->colours) * 4 > f.size()) return kErrBadFormat;
  }
  h->dataAt = U32(f, 10);
  if (h->dataAt < h->paletteAt || h->dataAt >= f.size()) return kErrBadFormat;
  if (StrideOf(h->width, bits) * uint64_t(h->height) > kMaxDecodedBytes) return kErrNoMemory;
  if (h->compression == 0 && StrideOf(h->width, bits) * uint64_t(h->height) > f.size() - h->dataAt)
    return kErrBadFormat;
  return kOk;
}

void SetIndex(PageImage* out, uint32_t x, uint32_t y, uint8_t v) noexcept {
  uint8_t* row = out->pixels.data() + uint64_t(out->height - 1 - int32_t(y)) * out->Stride();
  if (out->bitsPerPixel == 8) {
    row[x] = v;
  } else {
    row[x / 2] = uint8_t(x % 2 ? (row[x / 2] & 0xF0) | (v & 0x0F) : (row[x / 2] & 0x0F) | (v << 4));
  }
}

// Run-length data (bottom-up). Pixels the stream skips stay index 0.
int32_t DecodeRle(std::span<const uint8_t> data, PageImage* out) noexcept {
  const bool four = out->bitsPerPixel == 4;
  const uint32_t w = uint32_t(out->width), h = uint32_t(out->height);
  uint32_t x = 0, y = 0;
  std::size_t i = 0;
  auto put = [&](uint8_t v) {
    if (x < w && y < h) SetIndex(out, x, y, v);
    ++x;
  };
  while (y < h) {
    if (i + 2 > data.size()) return kErrBadFormat;
    const uint8_t n = data[i], v = data[i + 1];
    i += 2;
    if (n > 0) {
      for (uint32_t k = 0; k < n; ++k) put(four ? uint8_t(k % 2 ? v & 0x0F : v >> 4) : v);
    } else if (v == 0) {
      x = 0;
      ++y;
    } else if (v == 1) {
      return kOk;
    } else if (v == 2) {
      if (i + 2 > data.size()) return kErrBadFormat;
      x += data[i];
      y += data[i + 1];
      i += 2;
    } else {
      const std::size_t bytes = four ? (v + 1u) / 2u : v;
      if (i + bytes > data.size()) return kErrBadFormat;
      for (uint32_t k = 0; k < v; ++k) put(four ? uint8_t(k % 2 ? data[i + k / 2] & 0x0F : data[i + k / 2] >> 4) : data[i + k]);
      i += (bytes + 1) & ~std::size_t(1);  // runs end on a 16-bit boundary
    }
  }
  return kOk;
}

uint32_t Luma(uint32_t rgb) noexcept {
  return ((rgb >> 16) & 0xFF) * 299 + ((rgb >> 8) & 0xFF) * 587 + (rgb & 0xFF) * 114;
}

void Put16(std::vector<uint8_t>& b, uint16_t v) {
  b.push_back(uint8_t(v));
  b.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
  for (int s = 0; s < 32; s += 8) b.push_back(uint8_t(v >> s));
}

}  // namespace

int32_t BmpPageInfo(std::span<const uint8_t> file, PageInfo* info) noexcept {
  Header h;
  int32_t err = ParseHeader(file, &h);
  if (err != kOk) return err;
  *info = {h.bits, h.width, h.height, h.xDpi, h.yDpi, BMP_UNCOMPRESSED};
  return kOk;
}

int32_t BmpReadPage(std::span<const uint8_t> file, PageImage* out) noexcept {
  try {
    Header h;
    int32_t err = ParseHeader(file, &h);
    if (err != kOk) return err;
    PageImage image;
    image.width = h.width;
    image.height = h.height;
    image.bitsPerPixel = h.bits;
    image.xDpi = h.xDpi;
    image.yDpi = h.yDpi;
    if (h.bits <= 8) {
      image.palette.assign(std::size_t(1) << h.bits, 0);
      for (uint32_t i = 0; i < h.colours; ++i) image.palette[i] = U32(file, h.paletteAt + 4 * i) & 0xFFFFFF;
    }
    const uint64_t stride = image.Stride();
    image.pixels.assign(stride * uint64_t(h.height), 0);
    const std::span<const uint8_t> data = file.subspan(h.dataAt);
    if (h.compression != 0) {
      err = DecodeRle(data, &image);
      if (err != kOk) return err;
    } else {
      for (int32_t y = 0; y < h.height; ++y) {
        const int32_t from = h.topDown ? y : h.height - 1 - y;
        std::memcpy(image.pixels.data() + uint64_t(y) * stride, data.data() + uint64_t(from) * stride, stride);
      }
    }
    if (h.bits == 1) {
      // A set bit is black in the page image, whatever the palette says.
      if (Luma(image.palette[0]) < Luma(image.palette[1])) {
        for (uint8_t& b : image.pixels) b = uint8_t(~b);
      }
      image.palette = {0xFFFFFF, 0x000000};
    }
    *out = std::move(image);
    return kOk;
  } catch (...) {
    return kErrNoMemory;
  }
}

int32_t BmpWritePage(const std::string& path, const PageImage& image) noexcept {
  try {
    const uint32_t stride = image.Stride();
    const uint32_t colours = uint32_t(image.palette.size());
    const uint32_t dataAt = kFileHeader + 40 + 4 * colours;
    const uint64_t total = uint64_t(dataAt) + uint64_t(stride) * uint64_t(image.height);
    if (total > UINT32_MAX) return kErrInvalidImage;
    std::vector<uint8_t> head;
    head.reserve(dataAt);
    head.push_back('B');
    head.push_back('M');
    Put32(head, uint32_t(total));
    Put32(head, 0);
    Put32(head, dataAt);
    Put32(head, 40);
    Put32(head, uint32_t(image.width));
    Put32(head, uint32_t(image.height));  // positive: bottom-up
    Put16(head, 1);
    Put16(head, uint16_t(image.bitsPerPixel));
    Put32(head, 0);
    Put32(head, uint32_t(uint64_t(stride) * uint64_t(image.height)));
    Put32(head, uint32_t(std::lround(std::max(image.xDpi, 0) / 0.0254)));
    Put32(head, uint32_t(std::lround(std::max(image.yDpi, 0) / 0.0254)));
    Put32(head, colours);
    Put32(head, 0);
    for (uint32_t c : image.palette) Put32(head, c & 0xFFFFFF);

    StagedFile file;
    int32_t err = file.Create(path);
    if (err != kOk) return err;
    err = file.Write(head);
    // Rows go out bottom-up, a few hundred kilobytes at a time.
    std::vector<uint8_t> chunk;
    const uint32_t rowsPerChunk = std::max<uint32_t>(1, (1u << 18) / stride);
    for (int32_t y = image.height - 1; err == kOk && y >= 0;) {
      chunk.clear();
      for (uint32_t k = 0; k < rowsPerChunk && y >= 0; ++k, --y) {
        const uint8_t* row = image.pixels.data() + uint64_t(y) * stride;
        chunk.insert(chunk.end(), row, row + stride);
      }
      err = file.Write(chunk);
    }
    return err == kOk ? file.Commit() : err;
  } catch (...) {
    return kErrNoMemory;
  }
}

}  // namespace zoimg::detail
