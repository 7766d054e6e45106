// ZoImgFileIO: the image file codecs under the image object library.
// TIFF (uncompressed, G3, G4, JPEG), BMP, JPEG and PDF pages to and from a
// device-independent page image in memory.
//
//   file types        GetPageFileType, GetTotalPage, GetImageFileAttributes
//   pages             ReadPage, WritePage (appends to TIFF and PDF), TIFF_PageCopy
//   memory streams    DecodeJpegMemory (scanned JPEG pages)
//   errors            the kErr* family; LastError of the calling thread
//
// Pages are 1-based. Every function returns a documented code and never
// throws; a failure also sets LastError().
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace zoimg {

// File type codes.
enum FileType : int32_t {
  TIFF_UNCOMPRESSED = 0,
  BMP_UNCOMPRESSED = 1,
  TIFF_G3_FAX = 8,
  TIFF_G4_FAX = 10,
  JPEG = 13,
  TIFF_JPEG = 40,
  PDF = 59,
  UNKNOWN_TYPE = -1,
};

// Error codes: kErr... = 30000 + n, where 0x40000000 + n is the message that
// reports it.
enum Error : int32_t {
  kOk = 0,
  kErrNoMemory = 30001,       // also: a decoded image above kMaxDecodedBytes
  kErrOpen = 30002,           // the file cannot be opened
  kErrBadFormat = 30003,      // not a readable file of its type (truncated, lying offsets …)
  kErrBadString = 30004,      // a bad path or argument text
  kErrSystem = 30005,
  kErrCreate = 30006,         // a new file cannot be created
  kErrInvalidImage = 30007,   // the page image in memory is not valid
  kErrWrite = 30009,          // writing failed (disk full …); the old file is kept
  kErrPageNotFound = 30011,
  kErrRead = 30012,           // reading the file failed
  kErrBadHandle = 30013,
  kErrBitsPerPixel = 30021,   // the format does not take the image's bits per pixel
  kErrLzw = 30023,
  kErrCompression = 30027,    // the page's compression is not supported
  kErrTiffTag = 30031,        // a required TIFF tag is missing or wrong
  kErrTiledTiff = 30032,      // a tiled TIFF page where strips are needed
};

// Largest decoded page accepted (bytes of pixel data); larger declared
// sizes are refused before any allocation.
inline constexpr uint64_t kMaxDecodedBytes = 1ull << 30;

// One page in memory, device-independent: rows padded to 4 bytes, row 0 the
// top of the page. 1 bit: a set bit is black (palette {white, black}); 4 and
// 8 bits: palette indexes; 24 bits: B, G, R bytes.
struct PageImage {
  int32_t width = 0;
  int32_t height = 0;
  int32_t bitsPerPixel = 0;  // 1, 4, 8 or 24
  int32_t xDpi = 0;          // 0 when the file says nothing
  int32_t yDpi = 0;
  std::vector<uint32_t> palette;  // 0x00RRGGBB; 2, 16 or 256 entries for 1, 4, 8 bits; empty for 24
  std::vector<uint8_t> pixels;    // Stride() * height bytes

  uint32_t Stride() const noexcept { return ((uint32_t(width) * uint32_t(bitsPerPixel) + 31u) / 32u) * 4u; }
  // Dimensions, depth, palette size and pixel buffer agree.
  bool IsValid() const noexcept;
  // 8-bit image whose palette is the grey ramp 0..255.
  bool IsGray() const noexcept;
};

// Type of a file (page 0: the file as a whole; TIFF files answer the type of
// their first page) or of one page (its own compression). UNKNOWN_TYPE or
// -(error) when it cannot be told.
int32_t GetPageFileType(const std::string& path, int32_t page) noexcept;

// Number of pages, without decoding any; -(error) on failure.
int32_t GetTotalPage(const std::string& path) noexcept;

// Attributes of a page without decoding its pixels: bits per pixel, width,
// height, horizontal and vertical dpi, compression (the page's file type
// code). Returns 0 on success (outputs may be null), -(error) on failure.
int32_t GetImageFileAttributes(const std::string& path, int32_t page, int32_t* bitsPerPixel, int32_t* width,
                               int32_t* height, int32_t* xDpi, int32_t* yDpi, int32_t* compression) noexcept;

// Appends page of TIFF src to TIFF dst (created when missing) with its
// compressed strips or tiles and its tags unchanged. Nonzero on success.
int32_t TIFF_PageCopy(const std::string& dst, const std::string& src, int32_t page) noexcept;

// Decodes one page. kOk or an error code.
int32_t ReadPage(const std::string& path, int32_t page, PageImage* out) noexcept;

// Writes the image as type; TIFF types and PDF append a page to an existing
// file, BMP and JPEG replace the file. jpegQuality 1..100 applies to JPEG,
// TIFF JPEG and the JPEG pages of PDF. A failed write leaves the old file as
// it was. kOk or an error code.
int32_t WritePage(const std::string& path, int32_t type, const PageImage& image, int32_t jpegQuality) noexcept;

// Decodes a JPEG stream in memory (8 or 24 bit). kOk or an error code.
int32_t DecodeJpegMemory(std::span<const uint8_t> data, PageImage* out) noexcept;

// The calling thread's last error (kOk after a success).
int32_t LastError() noexcept;

}  // namespace zoimg
