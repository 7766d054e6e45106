// Qt pictures of page images: wrapping the pixels for QPainter, and the
// grey reduction of 1-bit pages.
#include <QList>
#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

#include "image_ops.h"

namespace dibimage::detail {
namespace {

QList<QRgb> ColourTable(const PageImage& image) {
  QList<QRgb> table;
  table.reserve(qsizetype(image.palette.size()));
  for (uint32_t c : image.palette) table.push_back(0xFF000000u | c);
  return table;
}

// Integer box edges: source range of target pixel i is [edge[i], edge[i+1]).
std::vector<uint32_t> BoxEdges(int32_t source, int32_t target) {
  std::vector<uint32_t> edges(size_t(target) + 1);
  for (int32_t i = 0; i <= target; ++i) edges[size_t(i)] = uint32_t(uint64_t(i) * uint32_t(source) / uint32_t(target));
  return edges;
}

// Adds the set bits of one 1-bit row to counts[column of the bit].
void AddRowBits(const uint8_t* row, int32_t width, const std::vector<uint32_t>& columnOf,
                std::vector<uint32_t>& counts) noexcept {
  const uint32_t bytes = uint32_t(width + 7) / 8;
  const uint8_t lastMask = uint8_t(0xFF << ((8 - width % 8) % 8));
  uint32_t b = 0;
  while (b < bytes) {
    // White runs are the bulk of a page: skip them eight bytes at a time.
    if (b + 8 <= bytes) {
      uint64_t word;
      std::memcpy(&word, row + b, 8);
      if (word == 0) {
        b += 8;
        continue;
      }
    }
    uint8_t v = row[b];
    if (b + 1 == bytes) v &= lastMask;
    if (v) {
      const uint32_t x0 = b * 8;
      const uint32_t x7 = std::min(x0 + 7, uint32_t(width - 1));
      const uint32_t c0 = columnOf[x0];
      if (c0 == columnOf[x7]) {
        counts[c0] += uint32_t(std::popcount(v));
      } else {
        for (uint32_t k = 0; k < 8; ++k)
          if (v & (0x80u >> k)) ++counts[columnOf[x0 + k]];
      }
    }
    ++b;
  }
}

}  // namespace

QImage ToQImage(const PageImage& image) {
  const int w = image.width, h = image.height;
  const qsizetype stride = qsizetype(image.Stride());
  const uchar* bits = image.pixels.data();
  switch (image.bitsPerPixel) {
    case 1: {
      QImage q(bits, w, h, stride, QImage::Format_Mono);
      q.setColorTable(ColourTable(image));
      return q;
    }
    case 8: {
      if (image.IsGray()) return QImage(bits, w, h, stride, QImage::Format_Grayscale8);
      QImage q(bits, w, h, stride, QImage::Format_Indexed8);
      q.setColorTable(ColourTable(image));
      return q;
    }
    case 4: {
      QImage q(w, h, QImage::Format_Indexed8);
      if (q.isNull()) return q;
      q.setColorTable(ColourTable(image));
      for (int y = 0; y < h; ++y) {
        const uint8_t* in = bits + y * stride;
        uchar* out = q.scanLine(y);
        for (int x = 0; x < w; ++x) out[x] = uchar(GetPixel(in, uint32_t(x), 4));
      }
      return q;
    }
    default:
      return QImage(bits, w, h, stride, QImage::Format_BGR888);
  }
}

QImage MonoForPrinting(const PageImage& image, const QImage& source) {
  if (image.palette != std::vector<uint32_t>{0xFFFFFFu, 0x000000u}) return source;
  QImage q(image.width, image.height, QImage::Format_Mono);
  if (q.isNull()) return source;
  q.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
  const size_t rowBytes = size_t(image.width + 7) / 8;
  for (int y = 0; y < image.height; ++y) {
    const uint8_t* in = image.pixels.data() + size_t(y) * image.Stride();
    uchar* out = q.scanLine(y);
    for (size_t i = 0; i < rowBytes; ++i) out[i] = uchar(~in[i]);
  }
  return q;
}

QImage MonoToGrayReduced(const PageImage& image, int width, int height) {
  QImage out(width, height, QImage::Format_Grayscale8);
  if (out.isNull()) return out;
  const std::vector<uint32_t> xEdges = BoxEdges(image.width, width);
  const std::vector<uint32_t> yEdges = BoxEdges(image.height, height);
  std::vector<uint32_t> columnOf(size_t(image.width));
  for (int32_t i = 0; i < width; ++i)
    for (uint32_t x = xEdges[size_t(i)]; x < xEdges[size_t(i) + 1]; ++x) columnOf[x] = uint32_t(i);

  const uint32_t white = Luma(image.palette[0]), black = Luma(image.palette[1]);
  const uint32_t stride = image.Stride();
  std::vector<uint32_t> counts(static_cast<size_t>(width));
  for (int32_t oy = 0; oy < height; ++oy) {
    std::fill(counts.begin(), counts.end(), 0u);
    const uint32_t y0 = yEdges[size_t(oy)], y1 = yEdges[size_t(oy) + 1];
    for (uint32_t y = y0; y < y1; ++y)
      AddRowBits(image.pixels.data() + size_t(y) * stride, image.width, columnOf, counts);
    uchar* line = out.scanLine(oy);
    for (int32_t ox = 0; ox < width; ++ox) {
      const uint32_t area = (xEdges[size_t(ox) + 1] - xEdges[size_t(ox)]) * (y1 - y0);
      const uint32_t set = counts[size_t(ox)];
      line[ox] = uchar((uint64_t(white) * (area - set) + uint64_t(black) * set + area / 2) / area);
    }
  }
  return out;
}

}  // namespace dibimage::detail
