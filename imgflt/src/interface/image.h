// The filter library's internal image, shared by every filter family and the
// pipeline:
//   ImageView    a non-owning view of pixel rows with their format;
//   GlobalBlock  an owned, locked block of the platform's movable global
//                memory (results that leave the library);
//   ImageBuffer  owned pixel rows, either scratch on std::vector (freed when
//                the function returns) or a global block that becomes a
//                caller's hOutBuff, optionally behind a prefix for the DIB
//                header and palette;
// and the row, palette and resolution arithmetic of the image conventions.
// Nothing here throws.
#ifndef IMGFLT_INTERFACE_IMAGE_H
#define IMGFLT_INTERFACE_IMAGE_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <span>
#include <utility>
#include <vector>

#include "platform/global_memory.h"

namespace imgflt {

inline constexpr uint32_t kDibHeaderBytes = 40;  // BITMAPINFOHEADER
inline constexpr uint8_t kOrderRGB = 0;          // red byte first
inline constexpr uint8_t kOrderBGR = 1;          // blue byte first
inline constexpr uint8_t kOrderYCC = 2;          // treated as RGB, except fills

constexpr bool IsSupportedDepth(uint32_t bitsPixel) noexcept {
  return bitsPixel == 1 || bitsPixel == 4 || bitsPixel == 8 || bitsPixel == 24;
}

// Bytes of one row, padded to a multiple of 4; 0 for an unknown depth or
// when the stride would not fit 32 bits.
constexpr uint32_t RowStride(uint32_t width, uint32_t bitsPixel) noexcept {
  if (!IsSupportedDepth(bitsPixel)) return 0;
  uint64_t bytes = (uint64_t{bitsPixel} * width + 31) / 32 * 4;
  return bytes > UINT32_MAX ? 0 : static_cast<uint32_t>(bytes);
}

// Palette entries a DIB of this depth carries (2, 16, 256; none for 24 bit).
constexpr uint32_t PaletteEntries(uint32_t bitsPixel) noexcept {
  return bitsPixel == 1 ? 2 : bitsPixel == 4 ? 16 : bitsPixel == 8 ? 256 : 0;
}

// Bytes in front of the rows of a DIB: header plus palette.
constexpr uint32_t DibPrefixBytes(uint32_t bitsPixel) noexcept {
  return kDibHeaderBytes + 4 * PaletteEntries(bitsPixel);
}

// Resolution as a DIB header stores it.
constexpr int32_t PixelsPerMetre(uint32_t dpi) noexcept {
  return static_cast<int32_t>((uint64_t{dpi} * 10000 + 127) / 254);
}

// Millimetre tenths to pixels: (tenths × dpi ± 127) / 254, the rounding
// term taking the sign of the value, truncating division.
constexpr int32_t TenthsMmToPixels(int64_t tenths, uint32_t dpi) noexcept {
  int64_t p = tenths * int64_t{dpi};
  return static_cast<int32_t>((p + (tenths < 0 ? -127 : 127)) / 254);
}

struct ImageView {
  uint8_t* data = nullptr;
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t stride = 0;     // bytes from one row to the next
  uint8_t bitsPixel = 0;   // 1, 4, 8 or 24
  uint8_t orderRGB = kOrderRGB;
  uint32_t dpiX = 0;
  uint32_t dpiY = 0;

  uint8_t* Row(uint32_t y) const noexcept { return data + size_t{y} * stride; }
  std::span<uint8_t> RowSpan(uint32_t y) const noexcept { return {Row(y), stride}; }
  size_t Bytes() const noexcept { return size_t{stride} * height; }
  // Bytes of a row that hold pixels (the rest is padding).
  size_t UsedRowBytes() const noexcept { return (size_t{bitsPixel} * width + 7) / 8; }
  // Depth known, stride large enough for the width, data present when the
  // image is not empty.
  bool Valid() const noexcept {
    if (!IsSupportedDepth(bitsPixel)) return false;
    uint32_t need = RowStride(width, bitsPixel);
    if (width != 0 && need == 0) return false;
    if (stride < need) return false;
    return data != nullptr || width == 0 || height == 0;
  }
};

// An owned global memory block, locked for as long as it is owned.
class GlobalBlock {
 public:
  GlobalBlock() noexcept = default;
  GlobalBlock(const GlobalBlock&) = delete;
  GlobalBlock& operator=(const GlobalBlock&) = delete;
  GlobalBlock(GlobalBlock&& o) noexcept
      : handle_(std::exchange(o.handle_, nullptr)),
        data_(std::exchange(o.data_, nullptr)),
        size_(std::exchange(o.size_, 0)) {}
  GlobalBlock& operator=(GlobalBlock&& o) noexcept {
    if (this != &o) {
      Reset();
      handle_ = std::exchange(o.handle_, nullptr);
      data_ = std::exchange(o.data_, nullptr);
      size_ = std::exchange(o.size_, 0);
    }
    return *this;
  }
  ~GlobalBlock() { Reset(); }

  // A movable block of bytes, zeroed when asked; empty on shortage.
  static GlobalBlock Allocate(size_t bytes, bool zero) noexcept {
    GlobalBlock b;
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | (zero ? GMEM_ZEROINIT : 0u), bytes);
    if (h == nullptr) return b;
    void* p = GlobalLock(h);
    if (p == nullptr) {
      GlobalFree(h);
      return b;
    }
    b.handle_ = h;
    b.data_ = static_cast<uint8_t*>(p);
    b.size_ = bytes;
    return b;
  }

  explicit operator bool() const noexcept { return handle_ != nullptr; }
  uint8_t* data() const noexcept { return data_; }
  size_t size() const noexcept { return size_; }

  // Unlocks and hands the handle over (for hOutBuff); the block is empty after.
  HGLOBAL Release() noexcept {
    HGLOBAL h = std::exchange(handle_, nullptr);
    if (h != nullptr) GlobalUnlock(h);
    data_ = nullptr;
    size_ = 0;
    return h;
  }

  void Reset() noexcept {
    if (handle_ != nullptr) {
      GlobalUnlock(handle_);
      GlobalFree(handle_);
    }
    handle_ = nullptr;
    data_ = nullptr;
    size_ = 0;
  }

 private:
  HGLOBAL handle_ = nullptr;
  uint8_t* data_ = nullptr;
  size_t size_ = 0;
};

// Locks a handle the library does not own (the caller's hOutBuff) for the
// lifetime of the guard.
class GlobalLockGuard {
 public:
  explicit GlobalLockGuard(HGLOBAL h) noexcept
      : handle_(h), data_(h != nullptr ? static_cast<uint8_t*>(GlobalLock(h)) : nullptr) {}
  GlobalLockGuard(const GlobalLockGuard&) = delete;
  GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;
  ~GlobalLockGuard() {
    if (data_ != nullptr) GlobalUnlock(handle_);
  }
  uint8_t* data() const noexcept { return data_; }
  size_t size() const noexcept { return data_ != nullptr ? GlobalSize(handle_) : 0; }

 private:
  HGLOBAL handle_;
  uint8_t* data_;
};

// Owned pixel rows with their format. Rows are tightly strided
// (RowStride); a global buffer may keep prefix bytes in front of the rows.
class ImageBuffer {
 public:
  enum class Storage { Scratch, Global };

  ImageBuffer() noexcept = default;
  ImageBuffer(ImageBuffer&& o) noexcept { *this = std::move(o); }
  ImageBuffer& operator=(ImageBuffer&& o) noexcept {
    if (this != &o) {
      scratch_ = std::move(o.scratch_);  // the data address moves with it
      global_ = std::move(o.global_);
      view_ = std::exchange(o.view_, ImageView{});
      prefix_ = std::exchange(o.prefix_, 0);
      ok_ = std::exchange(o.ok_, false);
    }
    return *this;
  }
  ImageBuffer(const ImageBuffer&) = delete;
  ImageBuffer& operator=(const ImageBuffer&) = delete;

  // Rows of width × height at the depth, resolution and colour order of
  // `format` (its data and stride are ignored). Empty on shortage or when
  // the size does not fit.
  static ImageBuffer Create(Storage storage, const ImageView& format, uint32_t width,
                            uint32_t height, uint32_t prefixBytes = 0,
                            bool zero = true) noexcept {
    ImageBuffer b;
    uint32_t stride = RowStride(width, format.bitsPixel);
    if (stride == 0 && width != 0) return b;
    uint64_t bytes = uint64_t{stride} * height + prefixBytes;
    if (bytes > static_cast<uint64_t>(PTRDIFF_MAX)) return b;
    uint8_t* base = nullptr;
    if (storage == Storage::Global) {
      b.global_ = GlobalBlock::Allocate(static_cast<size_t>(bytes), zero);
      if (!b.global_) return b;
      base = b.global_.data();
    } else {
      try {
        b.scratch_.assign(static_cast<size_t>(bytes == 0 ? 1 : bytes), uint8_t{0});
      } catch (...) {
        return b;
      }
      base = b.scratch_.data();
    }
    b.prefix_ = prefixBytes;
    b.view_ = format;
    b.view_.data = base + prefixBytes;
    b.view_.width = width;
    b.view_.height = height;
    b.view_.stride = stride;
    b.ok_ = true;
    return b;
  }

  explicit operator bool() const noexcept { return ok_; }
  const ImageView& View() const noexcept { return view_; }
  // Format fields (resolution, colour order) may be adjusted; never the size.
  void SetResolution(uint32_t dpiX, uint32_t dpiY) noexcept {
    view_.dpiX = dpiX;
    view_.dpiY = dpiY;
  }
  uint8_t* Prefix() const noexcept { return view_.data - prefix_; }
  uint32_t PrefixBytes() const noexcept { return prefix_; }
  bool IsGlobal() const noexcept { return static_cast<bool>(global_); }

  // Global storage only: hands the block (prefix and rows) to the caller,
  // who frees it with GlobalFree. Null for scratch storage.
  HGLOBAL ReleaseGlobal() noexcept {
    if (!global_) return nullptr;
    ok_ = false;
    view_ = ImageView{};
    return global_.Release();
  }

 private:
  std::vector<uint8_t> scratch_;
  GlobalBlock global_;
  ImageView view_;
  uint32_t prefix_ = 0;
  bool ok_ = false;
};

// One pixel as a number: the bit or nibble for 1 and 4 bit, the byte for
// 8 bit, the three bytes b0 | b1 << 8 | b2 << 16 (memory order) for 24 bit.
// No range check: x < width and y < height are the caller's business.
inline uint32_t GetPixel(const ImageView& v, uint32_t x, uint32_t y) noexcept {
  const uint8_t* r = v.Row(y);
  switch (v.bitsPixel) {
    case 1: return (r[x >> 3] >> (7 - (x & 7))) & 1u;
    case 4: return (x & 1) ? (r[x >> 1] & 0x0Fu) : (r[x >> 1] >> 4);
    case 8: return r[x];
    default: {
      const uint8_t* p = r + size_t{x} * 3;
      return p[0] | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16);
    }
  }
}

inline void SetPixel(const ImageView& v, uint32_t x, uint32_t y, uint32_t value) noexcept {
  uint8_t* r = v.Row(y);
  switch (v.bitsPixel) {
    case 1: {
      uint8_t m = static_cast<uint8_t>(0x80u >> (x & 7));
      r[x >> 3] = static_cast<uint8_t>((value & 1) ? (r[x >> 3] | m) : (r[x >> 3] & ~m));
      break;
    }
    case 4: {
      uint8_t& b = r[x >> 1];
      b = (x & 1) ? static_cast<uint8_t>((b & 0xF0u) | (value & 0x0Fu))
                  : static_cast<uint8_t>((b & 0x0Fu) | ((value & 0x0Fu) << 4));
      break;
    }
    case 8: r[x] = static_cast<uint8_t>(value); break;
    default: {
      uint8_t* p = r + size_t{x} * 3;
      p[0] = static_cast<uint8_t>(value);
      p[1] = static_cast<uint8_t>(value >> 8);
      p[2] = static_cast<uint8_t>(value >> 16);
    }
  }
}

// Copies the overlapping rows of two images of the same depth.
inline void CopyRows(const ImageView& dst, const ImageView& src) noexcept {
  uint32_t rows = dst.height < src.height ? dst.height : src.height;
  size_t bytes = dst.stride < src.stride ? dst.stride : src.stride;
  for (uint32_t y = 0; y < rows; ++y) std::memmove(dst.Row(y), src.Row(y), bytes);
}

}  // namespace imgflt

#endif
