// CCITT fax streams of 1-bit pages for the PDF pages: Group 4 encoding and
// Group 3 / Group 4 decoding, done by libtiff on a TIFF file held in memory.
// Each handle gets its own quiet error and warning handlers, so libtiff's
// process-wide handlers stay as the TIFF reader set them.
#include <tiffio.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <span>
#include <vector>

#include "formats.h"

namespace zoimg::detail {
namespace {

// A TIFF file in memory; writes grow it.
struct MemFile {
  std::vector<uint8_t> bytes;
  uint64_t pos = 0;
};

MemFile& Mem(thandle_t h) { return *static_cast<MemFile*>(h); }

tmsize_t MemRead(thandle_t h, void* buf, tmsize_t n) {
  MemFile& m = Mem(h);
  if (n < 0) return -1;
  if (m.pos >= m.bytes.size()) return 0;
  uint64_t count = std::min<uint64_t>(uint64_t(n), m.bytes.size() - m.pos);
  std::memcpy(buf, m.bytes.data() + m.pos, count);
  m.pos += count;
  return tmsize_t(count);
}

tmsize_t MemWrite(thandle_t h, void* buf, tmsize_t n) {
  MemFile& m = Mem(h);
  if (n < 0) return -1;
  uint64_t end = m.pos + uint64_t(n);
  if (end > 2 * kMaxDecodedBytes) return -1;
  try {
    if (end > m.bytes.size()) m.bytes.resize(end);
  } catch (...) {
    return -1;
  }
  if (n > 0) std::memcpy(m.bytes.data() + m.pos, buf, size_t(n));
  m.pos = end;
  return n;
}

toff_t MemSeek(thandle_t h, toff_t off, int whence) {
  MemFile& m = Mem(h);
  uint64_t base = whence == SEEK_CUR ? m.pos : whence == SEEK_END ? m.bytes.size() : 0;
  if (off > 2 * kMaxDecodedBytes || base + off > 2 * kMaxDecodedBytes) return toff_t(-1);
  m.pos = base + off;
  return m.pos;
}

int MemClose(thandle_t) { return 0; }
toff_t MemSize(thandle_t h) { return Mem(h).bytes.size(); }
int MemMap(thandle_t, void**, toff_t*) { return 0; }
void MemUnmap(thandle_t, void*, toff_t) {}

// libtiff's complaints about one handle, counted instead of printed.
struct Complaints {
  int errors = 0;
  int warnings = 0;
};

int OnError(TIFF*, void* user, const char*, const char*, va_list) {
  ++static_cast<Complaints*>(user)->errors;
  return 1;  // handled: the process-wide handler is not called
}

int OnWarning(TIFF*, void* user, const char*, const char*, va_list) {
  ++static_cast<Complaints*>(user)->warnings;
  return 1;
}

struct TiffClose {
  void operator()(TIFF* t) const noexcept { TIFFClose(t); }
};
using Tiff = std::unique_ptr<TIFF, TiffClose>;

struct OptionsFree {
  void operator()(TIFFOpenOptions* o) const noexcept { TIFFOpenOptionsFree(o); }
};

Tiff OpenMem(MemFile& mem, const char* mode, Complaints& complaints) {
  std::unique_ptr<TIFFOpenOptions, OptionsFree> options(TIFFOpenOptionsAlloc());
  if (!options) return nullptr;
  TIFFOpenOptionsSetErrorHandlerExtR(options.get(), OnError, &complaints);
  TIFFOpenOptionsSetWarningHandlerExtR(options.get(), OnWarning, &complaints);
  TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), tmsize_t(kMaxDecodedBytes));
  mem.pos = 0;
  return Tiff(TIFFClientOpenExt("ccitt", mode, &mem, MemRead, MemWrite, MemSeek, MemClose, MemSize, MemMap, MemUnmap,
                                options.get()));
}

// Tags of a single-strip 1-bit fax page; 0 in MINISWHITE is white, which is
// also how libtiff's fax codec reads and writes the bits.
bool SetFaxTags(TIFF* tif, uint32_t width, uint32_t height, uint16_t compression, uint32_t group3Options) {
  bool ok = TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width) && TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height) &&
            TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1) && TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1) &&
            TIFFSetField(tif, TIFFTAG_COMPRESSION, compression) &&
            TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE) &&
            TIFFSetField(tif, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB) &&
            TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
            TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, height);
  if (ok && compression == COMPRESSION_CCITTFAX3) ok = TIFFSetField(tif, TIFFTAG_GROUP3OPTIONS, group3Options);
  return ok;
}

// Whether the data opens with an EOL code (at least eleven 0 bits, then a
// 1; fill bits only lengthen the zeros). No 1-D code word has that many
// leading zeros, so data without EOLs never looks like this.
bool StartsWithEol(std::span<const uint8_t> data) {
  size_t zeros = 0;
  for (uint8_t byte : data) {
    for (int bit = 7; bit >= 0; --bit) {
      if ((byte >> bit) & 1) return zeros >= 11;
      ++zeros;
    }
  }
  return false;
}

}  // namespace

int32_t EncodeG4(const PageImage& image, std::vector<uint8_t>* out) noexcept {
  if (out == nullptr || !image.IsValid()) return Fail(kErrInvalidImage);
  if (image.bitsPerPixel != 1) return Fail(kErrBitsPerPixel);
  try {
    out->clear();
    const uint32_t width = uint32_t(image.width), height = uint32_t(image.height);
    const size_t rowBytes = (size_t(width) + 7) / 8;
    MemFile mem;
    Complaints complaints;
    {
      Tiff tif = OpenMem(mem, "w", complaints);
      if (!tif || !SetFaxTags(tif.get(), width, height, COMPRESSION_CCITTFAX4, 0)) return Fail(kErrNoMemory);
      // libtiff takes a writable row; the page image itself stays const.
      std::vector<uint8_t> row(rowBytes);
      for (uint32_t y = 0; y < height; ++y) {
        std::memcpy(row.data(), image.pixels.data() + size_t(y) * image.Stride(), rowBytes);
        if (TIFFWriteScanline(tif.get(), row.data(), y, 0) < 0) return Fail(kErrNoMemory);
      }
      if (!TIFFFlush(tif.get()) || complaints.errors > 0) return Fail(kErrNoMemory);
    }
    Tiff tif = OpenMem(mem, "rm", complaints);
    if (!tif || TIFFNumberOfStrips(tif.get()) != 1) return Fail(kErrNoMemory);
    tmsize_t size = TIFFRawStripSize(tif.get(), 0);
    if (size <= 0) return Fail(kErrNoMemory);
    out->resize(size_t(size));
    if (TIFFReadRawStrip(tif.get(), 0, out->data(), size) != size) {
      out->clear();
      return Fail(kErrNoMemory);
    }
    return kOk;
  } catch (...) {
    out->clear();
    return Fail(kErrNoMemory);
  }
}

// PDF's filter turns a black run into 0 bits unless BlackIs1, and a 0
// sample of DeviceGray is black; the result is the page as DeviceGray with
// the default /Decode shows it (set bit = black), so with BlackIs1 the
// code's black runs come out clear. A /Decode [1 0] is the caller's to apply.
//
// libtiff decodes: k < 0 as Group 4 (no EncodedByteAlign: its Group 4
// decoder cannot align rows, kErrCompression); k = 0 as Group 3 1-D when
// the data has EOL codes (fill bits before them need no option), else as
// bare Modified Huffman rows, byte-aligned when encodedByteAlign says so;
// k > 0 as Group 3 2-D, which libtiff only reads with EOL codes (data
// without them gives kErrCompression).
int32_t DecodeCcitt(std::span<const uint8_t> data, int32_t width, int32_t height, int32_t k, bool blackIs1,
                    bool encodedByteAlign, PageImage* out) noexcept {
  if (out == nullptr) return Fail(kErrInvalidImage);
  if (width <= 0 || height <= 0 || data.empty()) return Fail(kErrBadFormat);
  const uint64_t stride = ((uint64_t(width) + 31) / 32) * 4;
  if (stride * uint64_t(height) > kMaxDecodedBytes) return Fail(kErrNoMemory);

  uint16_t compression = COMPRESSION_CCITTFAX4;
  uint32_t group3Options = 0;
  int faxMode = -1;  // keep libtiff's default for the scheme
  const bool eols = StartsWithEol(data);
  if (k < 0) {
    if (encodedByteAlign) return Fail(kErrCompression);
  } else if (k == 0) {
    compression = eols ? COMPRESSION_CCITTFAX3 : COMPRESSION_CCITTRLE;
    if (!eols) faxMode = FAXMODE_NORTC | FAXMODE_NOEOL | (encodedByteAlign ? FAXMODE_BYTEALIGN : 0);
  } else {
    if (!eols) return Fail(kErrCompression);
    compression = COMPRESSION_CCITTFAX3;
    group3Options = GROUP3OPT_2DENCODING | (encodedByteAlign ? GROUP3OPT_FILLBITS : 0);
  }

  try {
    MemFile mem;
    Complaints complaints;
    {
      Tiff tif = OpenMem(mem, "w", complaints);
      if (!tif || !SetFaxTags(tif.get(), uint32_t(width), uint32_t(height), compression, group3Options))
        return Fail(kErrNoMemory);
      // A raw strip is appended as given; libtiff only wants a mutable pointer.
      void* raw = const_cast<uint8_t*>(data.data());
      if (TIFFWriteRawStrip(tif.get(), 0, raw, tmsize_t(data.size())) != tmsize_t(data.size()) ||
          !TIFFFlush(tif.get()) || complaints.errors > 0)
        return Fail(kErrNoMemory);
    }
    Tiff tif = OpenMem(mem, "rm", complaints);
    if (!tif) return Fail(kErrBadFormat);
    if (faxMode >= 0 && !TIFFSetField(tif.get(), TIFFTAG_FAXMODE, faxMode)) return Fail(kErrBadFormat);
    if (uint64_t(TIFFScanlineSize64(tif.get())) > stride) return Fail(kErrBadFormat);

    // While decoding, libtiff warns of damaged rows (wrong length, early end
    // of data); like a PDF filter with no DamagedRowsBeforeError, the first
    // one fails the page.
    complaints = {};
    PageImage image;
    image.width = width;
    image.height = height;
    image.bitsPerPixel = 1;
    image.palette = {0xFFFFFFu, 0x000000u};
    image.pixels.assign(size_t(stride * uint64_t(height)), 0);
    for (int32_t y = 0; y < height; ++y) {
      if (TIFFReadScanline(tif.get(), image.pixels.data() + size_t(y) * stride, uint32_t(y), 0) < 0 ||
          complaints.errors > 0 || complaints.warnings > 0)
        return Fail(kErrBadFormat);
    }
    // Clear the bits past the last column; invert where the code's black
    // runs are shown white.
    const size_t fullBytes = size_t(width) / 8;
    const uint8_t lastMask = uint8_t(0xFF00u >> (width % 8));
    for (int32_t y = 0; y < height; ++y) {
      uint8_t* row = image.pixels.data() + size_t(y) * stride;
      if (blackIs1)
        for (size_t i = 0; i < fullBytes + (width % 8 ? 1 : 0); ++i) row[i] = uint8_t(~row[i]);
      if (width % 8) row[fullBytes] &= lastMask;
      std::memset(row + fullBytes + (width % 8 ? 1 : 0), 0, stride - fullBytes - (width % 8 ? 1 : 0));
    }
    *out = std::move(image);
    return kOk;
  } catch (const std::bad_alloc&) {
    return Fail(kErrNoMemory);
  } catch (...) {
    return Fail(kErrBadFormat);
  }
}

}  // namespace zoimg::detail
