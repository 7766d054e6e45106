// Field offsets of the 40-byte DIB header (BITMAPINFOHEADER) and
// little-endian access to them, independent of the host's alignment.
#ifndef IMGFLT_INTERFACE_DIB_HEADER_H
#define IMGFLT_INTERFACE_DIB_HEADER_H

#include <cstdint>

namespace imgflt::dib {

inline constexpr uint32_t kSize = 0;            // DWORD 40
inline constexpr uint32_t kWidth = 4;           // LONG
inline constexpr uint32_t kHeight = 8;          // LONG, negative: rows top-down
inline constexpr uint32_t kPlanes = 12;         // WORD 1
inline constexpr uint32_t kBitCount = 14;       // WORD
inline constexpr uint32_t kCompression = 16;    // DWORD, 0 = uncompressed
inline constexpr uint32_t kSizeImage = 20;      // DWORD
inline constexpr uint32_t kXPelsPerMeter = 24;  // LONG
inline constexpr uint32_t kYPelsPerMeter = 28;  // LONG
inline constexpr uint32_t kClrUsed = 32;        // DWORD
inline constexpr uint32_t kClrImportant = 36;   // DWORD

inline uint32_t Get32(const uint8_t* p, uint32_t at) noexcept {
  return uint32_t{p[at]} | uint32_t{p[at + 1]} << 8 | uint32_t{p[at + 2]} << 16 | uint32_t{p[at + 3]} << 24;
}
inline uint16_t Get16(const uint8_t* p, uint32_t at) noexcept {
  return static_cast<uint16_t>(p[at] | p[at + 1] << 8);
}
inline void Put32(uint8_t* p, uint32_t at, uint32_t v) noexcept {
  p[at] = static_cast<uint8_t>(v);
  p[at + 1] = static_cast<uint8_t>(v >> 8);
  p[at + 2] = static_cast<uint8_t>(v >> 16);
  p[at + 3] = static_cast<uint8_t>(v >> 24);
}
inline void Put16(uint8_t* p, uint32_t at, uint16_t v) noexcept {
  p[at] = static_cast<uint8_t>(v);
  p[at + 1] = static_cast<uint8_t>(v >> 8);
}

}  // namespace imgflt::dib

#endif
