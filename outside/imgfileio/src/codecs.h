// Private header of ZoImgFileIO: the TIFF, BMP and JPEG entry points the
// dispatch calls, format sniffing, and the readers of a whole file image in
// memory (what the fuzz targets drive).
//
// Readers take the file's bytes; they check every size and offset against
// them. Pages are 1-based. Results are kOk or an error code (positive),
// page counts are ≥ 1 or -(error).
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "formats.h"

namespace zoimg::detail {

enum class Format { kUnknown, kTiff, kBmp, kJpeg, kPdf };

// Tells a format by its first bytes (a PDF header may follow up to 1024
// bytes of leading garbage).
Format Sniff(std::span<const uint8_t> head) noexcept;

// TIFF (tiff.cpp).
int32_t TiffPageCount(std::span<const uint8_t> file) noexcept;
int32_t TiffPageInfo(std::span<const uint8_t> file, int32_t page, PageInfo* info) noexcept;
int32_t TiffReadPage(std::span<const uint8_t> file, int32_t page, PageImage* out) noexcept;
// type: TIFF_UNCOMPRESSED, TIFF_G3_FAX, TIFF_G4_FAX or TIFF_JPEG.
int32_t TiffWritePage(const std::string& path, int32_t type, const PageImage& image, int32_t quality) noexcept;
int32_t TiffCopyPage(const std::string& dst, std::span<const uint8_t> src, int32_t page) noexcept;

// BMP (bmp.cpp), one page.
int32_t BmpPageInfo(std::span<const uint8_t> file, PageInfo* info) noexcept;
int32_t BmpReadPage(std::span<const uint8_t> file, PageImage* out) noexcept;
int32_t BmpWritePage(const std::string& path, const PageImage& image) noexcept;

// JPEG qualities from which colour pages are written without chroma
// subsampling (JPEG files and JPEG pages of TIFF alike).
inline constexpr int32_t kFullChromaQuality = 90;

// JPEG files (jpeg.cpp), one page; the streams are DecodeJpeg/EncodeJpeg.
int32_t JpegPageInfo(std::span<const uint8_t> file, PageInfo* info) noexcept;
int32_t JpegWritePage(const std::string& path, const PageImage& image, int32_t quality) noexcept;

// A whole TIFF, BMP or JPEG file in memory, told apart by its content.
int32_t MemoryTotalPage(std::span<const uint8_t> file) noexcept;
int32_t MemoryPageInfo(std::span<const uint8_t> file, int32_t page, PageInfo* info) noexcept;
int32_t MemoryReadPage(std::span<const uint8_t> file, int32_t page, PageImage* out) noexcept;

}  // namespace zoimg::detail
