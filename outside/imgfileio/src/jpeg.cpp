// JPEG streams and files on libjpeg-turbo: 8-bit grey and 24-bit colour,
// JFIF density as resolution. libjpeg's errors come back through longjmp to
// the call that started the work, so a broken stream is an error code and
// never ends the process; its messages are not printed. CMYK and YCCK
// streams are refused (kErrCompression): a scanner page never is one.
//
// The functions that call setjmp keep only trivially destructible locals,
// so that a longjmp skips no destructor.
#include <cstddef>
#include <cstdio>
// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>
#include <jerror.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <csetjmp>
#include <cstdlib>
#include <vector>

#include "codecs.h"
#include "files.h"

namespace zoimg::detail {
namespace {

struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  int32_t code;
  unsigned char* buffer;  // jpeg_mem_dest's output, freed on every path
  unsigned long bufferSize;
};

[[noreturn]] void Abort(j_common_ptr c, int32_t code) {
  auto* e = reinterpret_cast<ErrorManager*>(c->err);
  e->code = code;
  std::longjmp(e->jump, 1);
}

void OnError(j_common_ptr c) {
  const int msg = c->err->msg_code;
  Abort(c, msg == JERR_OUT_OF_MEMORY || msg == JERR_NO_BACKING_STORE ? kErrNoMemory : kErrBadFormat);
}

// Warnings about damaged data end the decode: libjpeg would go on and hand
// back a page with grey or garbled bands.
void OnMessage(j_common_ptr c, int level) {
  if (level >= 0) return;
  switch (c->err->msg_code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_MUST_RESYNC:
    case JWRN_NOT_SEQUENTIAL:
    case JWRN_BOGUS_PROGRESSION:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_ARITH_BAD_CODE: Abort(c, kErrBadFormat);
    default: break;
  }
}

void Silent(j_common_ptr) {}

// Progressive streams may hold any number of scans; a few hundred is more
// than any real encoder writes, and endless ones would take forever.
void OnProgress(j_common_ptr c) {
  if (c->is_decompressor && reinterpret_cast<j_decompress_ptr>(c)->input_scan_number > 500) Abort(c, kErrBadFormat);
}

void InitErrors(ErrorManager* e) {
  jpeg_std_error(&e->pub);
  e->pub.error_exit = OnError;
  e->pub.emit_message = OnMessage;
  e->pub.output_message = Silent;
  e->code = kErrBadFormat;
  e->buffer = nullptr;
  e->bufferSize = 0;
}

int32_t Dpi(const jpeg_decompress_struct& c, UINT16 density) noexcept {
  if (!c.saw_JFIF_marker) return 0;
  if (c.density_unit == 1) return density;
  if (c.density_unit == 2) return int32_t(std::lround(density * 2.54));
  return 0;
}

// Reads the header and, when out is given, the pixels.
int32_t Run(std::span<const uint8_t> data, PageInfo* info, PageImage* out) noexcept {
  if (data.empty() || data.size() > ULONG_MAX) return kErrBadFormat;
  jpeg_decompress_struct c;
  ErrorManager e;
  jpeg_progress_mgr progress;
  InitErrors(&e);
  c.err = &e.pub;
  if (setjmp(e.jump)) {
    jpeg_destroy_decompress(&c);
    if (out != nullptr) *out = PageImage();
    return e.code;
  }
  jpeg_create_decompress(&c);
  progress.progress_monitor = OnProgress;
  c.progress = &progress;
  // Memory beyond the page itself (progressive coefficients) is bounded too.
  c.mem->max_memory_to_use = long(kMaxDecodedBytes / 2);
  jpeg_mem_src(&c, data.data(), static_cast<unsigned long>(data.size()));
  jpeg_read_header(&c, TRUE);
  int32_t bits = 0;
  switch (c.jpeg_color_space) {
    case JCS_GRAYSCALE: bits = 8; break;
    case JCS_RGB:
    case JCS_YCbCr: bits = 24; break;
    default: bits = 0; break;
  }
  int32_t result = bits == 0 ? kErrCompression : kOk;
  if (result == kOk && info != nullptr)
    *info = {bits, int32_t(c.image_width), int32_t(c.image_height), Dpi(c, c.X_density), Dpi(c, c.Y_density), JPEG};
  if (result == kOk && out != nullptr) {
    const uint64_t stride = ((uint64_t(c.image_width) * uint64_t(bits) + 31) / 32) * 4;
    if (stride * c.image_height > kMaxDecodedBytes) result = kErrNoMemory;
    if (result == kOk) {
      try {
        out->width = int32_t(c.image_width);
        out->height = int32_t(c.image_height);
        out->bitsPerPixel = bits;
        out->xDpi = Dpi(c, c.X_density);
        out->yDpi = Dpi(c, c.Y_density);
        out->palette.clear();
        if (bits == 8) {
          out->palette.resize(256);
          for (uint32_t i = 0; i < 256; ++i) out->palette[i] = i * 0x010101u;
        }
        out->pixels.assign(stride * c.image_height, 0);
      } catch (...) {
        result = kErrNoMemory;
      }
    }
    if (result == kOk) {
      c.out_color_space = bits == 8 ? JCS_GRAYSCALE : JCS_EXT_BGR;
      jpeg_start_decompress(&c);
      JSAMPROW rows[16];
      while (c.output_scanline < c.output_height) {
        const JDIMENSION n = std::min<JDIMENSION>(16, c.output_height - c.output_scanline);
        for (JDIMENSION k = 0; k < n; ++k) rows[k] = out->pixels.data() + (c.output_scanline + k) * stride;
        jpeg_read_scanlines(&c, rows, n);
      }
      jpeg_finish_decompress(&c);
    } else {
      *out = PageImage();
    }
  }
  jpeg_destroy_decompress(&c);
  return result;
}

}  // namespace

int32_t DecodeJpeg(std::span<const uint8_t> data, PageImage* out) noexcept {
  if (out == nullptr) return kErrBadString;
  return Run(data, nullptr, out);
}

int32_t JpegPageInfo(std::span<const uint8_t> file, PageInfo* info) noexcept { return Run(file, info, nullptr); }

int32_t EncodeJpeg(const PageImage& image, int32_t quality, std::vector<uint8_t>* out) noexcept {
  if (out == nullptr) return kErrBadString;
  if (!image.IsValid()) return kErrInvalidImage;
  if (image.bitsPerPixel != 24 && !image.IsGray()) return kErrBitsPerPixel;
  if (image.width > JPEG_MAX_DIMENSION || image.height > JPEG_MAX_DIMENSION) return kErrInvalidImage;
  jpeg_compress_struct c;
  ErrorManager e;
  InitErrors(&e);
  c.err = &e.pub;
  if (setjmp(e.jump)) {
    jpeg_destroy_compress(&c);
    std::free(e.buffer);
    return e.code == kErrBadFormat ? kErrWrite : e.code;
  }
  jpeg_create_compress(&c);
  jpeg_mem_dest(&c, &e.buffer, &e.bufferSize);
  c.image_width = JDIMENSION(image.width);
  c.image_height = JDIMENSION(image.height);
  c.input_components = image.bitsPerPixel == 24 ? 3 : 1;
  c.in_color_space = image.bitsPerPixel == 24 ? JCS_EXT_BGR : JCS_GRAYSCALE;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, std::clamp(quality, 1, 100), TRUE);
  // At high qualities the colour is kept at full resolution: coloured text
  // on a page has edges a pixel wide, which 2x2 subsampling smears.
  if (image.bitsPerPixel == 24 && quality >= kFullChromaQuality) {
    for (int i = 0; i < c.num_components; ++i) c.comp_info[i].h_samp_factor = c.comp_info[i].v_samp_factor = 1;
  }
  c.write_JFIF_header = TRUE;
  if (image.xDpi > 0 || image.yDpi > 0) {
    c.density_unit = 1;
    c.X_density = UINT16(std::clamp(image.xDpi > 0 ? image.xDpi : image.yDpi, 1, 65535));
    c.Y_density = UINT16(std::clamp(image.yDpi > 0 ? image.yDpi : image.xDpi, 1, 65535));
  }
  jpeg_start_compress(&c, TRUE);
  const uint32_t stride = image.Stride();
  while (c.next_scanline < c.image_height) {
    JSAMPROW row = const_cast<JSAMPLE*>(image.pixels.data() + uint64_t(c.next_scanline) * stride);
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  int32_t result = kOk;
  try {
    out->assign(e.buffer, e.buffer + e.bufferSize);
  } catch (...) {
    result = kErrNoMemory;
  }
  std::free(e.buffer);
  return result;
}

int32_t JpegWritePage(const std::string& path, const PageImage& image, int32_t quality) noexcept {
  try {
    std::vector<uint8_t> stream;
    int32_t err = EncodeJpeg(image, quality, &stream);
    if (err != kOk) return err;
    StagedFile file;
    err = file.Create(path);
    if (err == kOk) err = file.Write(stream);
    return err == kOk ? file.Commit() : err;
  } catch (...) {
    return kErrNoMemory;
  }
}

}  // namespace zoimg::detail
