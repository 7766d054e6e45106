// Private header of ZoImgFileIO: the PDF document as qpdf reads and writes
// it, behind plain data. It is the only place that includes qpdf, and it
// builds as C++17 as well as C++20: qpdf 11.3's headers do not compile as
// C++20 with clang (the fuzz build), so pdf_document.cpp is C++17 there.
// Hence no std::span here, and the error codes are restated (pdf.cpp checks
// them against the kErr* family).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace zoimg::detail::pdfdoc {

inline constexpr int32_t kOk = 0;
inline constexpr int32_t kNoMemory = 30001;
inline constexpr int32_t kOpen = 30002;
inline constexpr int32_t kBadFormat = 30003;
inline constexpr int32_t kWrite = 30009;
inline constexpr int32_t kPageNotFound = 30011;
inline constexpr uint64_t kMaxBytes = uint64_t(1) << 30;  // kMaxDecodedBytes

enum class Codec { kSamples, kDct, kCcitt };

// How a page's one image is read directly.
struct ImagePlan {
  Codec codec = Codec::kSamples;
  int32_t width = 0, height = 0;
  int bpc = 8;    // bits per sample
  int comps = 1;  // samples per pixel (Indexed: 1)
  bool indexed = false;
  std::vector<uint32_t> lut;               // Indexed: 0x00RRGGBB per index
  bool invert[3] = {false, false, false};  // /Decode [1 0], per component
  int32_t k = 0;                           // CCITT parameters
  bool blackIs1 = false, byteAlign = false;
  int32_t outBits = 24;  // the page image: 1, 8 or 24 bits
  int32_t xDpi = 0, yDpi = 0;
};

struct PagePlan {
  bool direct = false;  // true: read image; false: render the page
  ImagePlan image;
  double widthPt = 0, heightPt = 0;  // the shown page (crop box, /Rotate applied)
};

// Number of pages (nothing decoded), or -(error).
int32_t PageCount(const std::string& path) noexcept;

// The plan for a 1-based page: kOk, kOpen, kBadFormat, kPageNotFound,
// kNoMemory.
int32_t Describe(const std::string& path, int32_t page, PagePlan* plan) noexcept;

// Describe, and for a direct image its data: the stream as stored for DCT
// and CCITT, exactly the sample bytes for the others. Decoded sizes above
// kMaxBytes are refused (kNoMemory) before anything is read.
int32_t Fetch(const std::string& path, int32_t page, PagePlan* plan, std::vector<uint8_t>* data) noexcept;

// One image to put on a new page.
struct NewImage {
  std::vector<uint8_t> data;  // CCITT Group 4 or JPEG
  bool ccitt = false;
  bool rgb = false;  // JPEG: DeviceRGB, else DeviceGray
  int32_t width = 0, height = 0;
  double widthPt = 0, heightPt = 0;
};

// Appends a page with image to the PDF at path (a new document when
// existing is false) and passes the whole new document to sink, which
// returns false when it cannot take it. kOk, kBadFormat (the existing file
// is no PDF qpdf reads), kWrite, kNoMemory.
int32_t AppendImagePage(const std::string& path, bool existing, const NewImage& image,
                        const std::function<bool(const uint8_t*, size_t)>& sink) noexcept;

}  // namespace zoimg::detail::pdfdoc
