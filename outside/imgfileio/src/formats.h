// Private header of ZoImgFileIO: what the per-format files offer the
// dispatch (format sniffing, errors) and each other.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "ZoImgFileIO.h"

namespace zoimg::detail {

// Records err as the thread's last error and returns it.
int32_t Fail(int32_t err) noexcept;

struct PageInfo {
  int32_t bitsPerPixel = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t xDpi = 0;
  int32_t yDpi = 0;
  int32_t type = UNKNOWN_TYPE;  // the page's own file type code
};

// JPEG streams (jpeg.cpp), also used for the DCT pages of PDF.
int32_t EncodeJpeg(const PageImage& image, int32_t quality, std::vector<uint8_t>* out) noexcept;
int32_t DecodeJpeg(std::span<const uint8_t> data, PageImage* out) noexcept;

// CCITT G4 streams of 1-bit pages (ccitt.cpp), for the PDF pages.
int32_t EncodeG4(const PageImage& image, std::vector<uint8_t>* out) noexcept;
// k < 0: Group 4; k = 0: Group 3 1-D; k > 0: Group 3 2-D. blackIs1 as the
// PDF filter parameter says; the result follows PageImage's convention.
int32_t DecodeCcitt(std::span<const uint8_t> data, int32_t width, int32_t height, int32_t k, bool blackIs1,
                    bool encodedByteAlign, PageImage* out) noexcept;

// PDF (pdf.cpp).
int32_t PdfPageCount(const std::string& path) noexcept;  // ≥ 0, or -(error)
int32_t PdfPageInfo(const std::string& path, int32_t page, PageInfo* info) noexcept;
int32_t PdfReadPage(const std::string& path, int32_t page, PageImage* out) noexcept;
int32_t PdfWritePage(const std::string& path, const PageImage& image, int32_t jpegQuality) noexcept;

}  // namespace zoimg::detail
