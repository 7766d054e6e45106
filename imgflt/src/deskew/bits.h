// Second private header of the deskew family (bit-row helpers shared by
// its .cpp files only): bit tests, run search and run filling on 1-bit
// rows, most significant bit first.
#ifndef IMGFLT_DESKEW_BITS_H
#define IMGFLT_DESKEW_BITS_H

#include <bit>
#include <cstdint>
#include <cstring>

namespace imgflt::deskew::bits {

inline bool Test(const uint8_t* row, int32_t x) noexcept { return (row[x >> 3] >> (7 - (x & 7))) & 1; }

inline void Set(uint8_t* row, int32_t x) noexcept { row[x >> 3] |= static_cast<uint8_t>(0x80u >> (x & 7)); }

// First x in [from, w) whose bit is `set`, or w. Reads whole bytes of the
// row only up to `rowBytes`.
inline int32_t Next(const uint8_t* row, int32_t from, int32_t w, bool set, uint32_t rowBytes) noexcept {
  int32_t x = from;
  while (x < w) {
    const uint32_t byte = static_cast<uint32_t>(x) >> 3;
    uint64_t v = 0;
    if (rowBytes - byte >= 8) {
      std::memcpy(&v, row + byte, 8);
      v = __builtin_bswap64(v);
    } else {
      for (uint32_t i = 0; byte + i < rowBytes; ++i) v |= uint64_t{row[byte + i]} << (56 - 8 * i);
    }
    if (!set) v = ~v;
    v <<= (x & 7);
    if (v != 0) {
      int32_t pos = x + std::countl_zero(v);
      return pos < w ? pos : w;
    }
    x = static_cast<int32_t>((byte + 8) * 8);
  }
  return w;
}

// Sets the bits [x0, x1).
inline void Fill(uint8_t* row, int32_t x0, int32_t x1) noexcept {
  while (x0 < x1 && (x0 & 7) != 0) Set(row, x0++);
  if (x1 - x0 >= 8) {
    const int32_t bytes = (x1 - x0) >> 3;
    std::memset(row + (x0 >> 3), 0xFF, static_cast<size_t>(bytes));
    x0 += bytes * 8;
  }
  while (x0 < x1) Set(row, x0++);
}

}  // namespace imgflt::deskew::bits

#endif
