// TIFF pages on libtiff: page counts and facts without decoding, reading
// 1/4/8/24-bit pages (strips or tiles; uncompressed, CCITT, LZW, PackBits,
// Deflate, JPEG), writing uncompressed, G3, G4 and JPEG pages, and copying
// a page's compressed strips or tiles with its tags.
//
// LZW, PackBits and Deflate pages are read like uncompressed ones and report
// the type TIFF_UNCOMPRESSED: the type codes have no number for them.
//
// Appending never damages the existing file: libtiff writes the new page
// after the old end of the file, and the only bytes it changes inside the
// old file (the link to the new directory) are held back until the new
// page is complete and flushed. A failure truncates the file to its old
// length, which leaves it byte for byte as it was.
#include <tiffio.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <unordered_set>
#include <vector>

#include "codecs.h"
#include "files.h"

namespace zoimg::detail {
namespace {

// The byte source and sink under libtiff: a file image in memory (reading)
// or a file descriptor (writing). Writes below `frozen` (the old file) are
// kept as patches and applied only by CommitPatches().
struct Stream {
  std::span<const uint8_t> mem;
  int fd = -1;
  uint64_t pos = 0;
  uint64_t end = 0;
  uint64_t frozen = 0;
  struct Patch {
    uint64_t at;
    std::vector<uint8_t> bytes;
  };
  std::vector<Patch> patches;
  bool ioFailed = false;
  bool libError = false;
  char message[160] = {};

  uint64_t Size() const noexcept { return fd >= 0 ? end : mem.size(); }
};

tmsize_t ReadProc(thandle_t h, void* buf, tmsize_t n) {
  auto* s = static_cast<Stream*>(h);
  if (n <= 0) return 0;
  uint64_t size = s->Size();
  if (s->pos >= size) return 0;
  std::size_t count = std::size_t(std::min<uint64_t>(uint64_t(n), size - s->pos));
  auto* out = static_cast<uint8_t*>(buf);
  if (s->fd < 0) {
    std::memcpy(out, s->mem.data() + s->pos, count);
  } else {
    std::size_t done = 0;
    while (done < count) {
      ssize_t r = pread(s->fd, out + done, count - done, off_t(s->pos + done));
      if (r < 0 && errno == EINTR) continue;
      if (r <= 0) {
        s->ioFailed = true;
        return tmsize_t(-1);
      }
      done += std::size_t(r);
    }
    // What libtiff wrote into the old file reads back as written.
    for (const Stream::Patch& p : s->patches) {
      uint64_t from = std::max(p.at, s->pos), to = std::min(p.at + p.bytes.size(), s->pos + count);
      if (from < to) std::memcpy(out + (from - s->pos), p.bytes.data() + (from - p.at), std::size_t(to - from));
    }
  }
  s->pos += count;
  return tmsize_t(count);
}

tmsize_t WriteProc(thandle_t h, void* buf, tmsize_t n) {
  auto* s = static_cast<Stream*>(h);
  if (s->fd < 0 || n < 0) return tmsize_t(-1);
  const auto* in = static_cast<const uint8_t*>(buf);
  uint64_t at = s->pos;
  std::size_t count = std::size_t(n);
  try {
    if (at < s->frozen) {
      std::size_t held = std::size_t(std::min<uint64_t>(count, s->frozen - at));
      s->patches.push_back({at, std::vector<uint8_t>(in, in + held)});
      in += held;
      at += held;
      count -= held;
    }
  } catch (...) {
    s->ioFailed = true;
    return tmsize_t(-1);
  }
  if (count > 0 && !WriteAllAt(s->fd, {in, count}, at)) {
    s->ioFailed = true;
    return tmsize_t(-1);
  }
  s->pos += uint64_t(n);
  s->end = std::max(s->end, s->pos);
  return n;
}

toff_t SeekProc(thandle_t h, toff_t off, int whence) {
  auto* s = static_cast<Stream*>(h);
  // Offsets are unsigned; a backward SEEK_CUR arrives wrapped and wraps back.
  switch (whence) {
    case SEEK_SET: s->pos = off; break;
    case SEEK_CUR: s->pos += off; break;
    case SEEK_END: s->pos = s->Size() + off; break;
    default: return toff_t(-1);
  }
  return s->pos;
}

int CloseProc(thandle_t) { return 0; }
toff_t SizeProc(thandle_t h) { return static_cast<Stream*>(h)->Size(); }

int MapProc(thandle_t h, void** base, toff_t* size) {
  auto* s = static_cast<Stream*>(h);
  if (s->fd >= 0) return 0;
  *base = const_cast<uint8_t*>(s->mem.data());
  *size = s->mem.size();
  return 1;
}

void UnmapProc(thandle_t, void*, toff_t) {}

// libtiff reports to the handle's stream instead of stderr.
int OnError(TIFF*, void* user, const char*, const char* fmt, va_list ap) {
  auto* s = static_cast<Stream*>(user);
  if (s != nullptr) {
    if (!s->libError) std::vsnprintf(s->message, sizeof s->message, fmt, ap);
    s->libError = true;
  }
  return 1;
}

int OnWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

struct TiffCloser {
  void operator()(TIFF* t) const noexcept { TIFFClose(t); }
};
using TiffPtr = std::unique_ptr<TIFF, TiffCloser>;

TiffPtr OpenTiff(Stream* s, const char* mode) noexcept {
  TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
  if (options == nullptr) return nullptr;
  TIFFOpenOptionsSetErrorHandlerExtR(options, OnError, s);
  TIFFOpenOptionsSetWarningHandlerExtR(options, OnWarning, s);
  TIFFOpenOptionsSetMaxSingleMemAlloc(options, tmsize_t(kMaxDecodedBytes));
  TIFF* t = TIFFClientOpenExt("page", mode, s, ReadProc, WriteProc, SeekProc, CloseProc, SizeProc, MapProc,
                              UnmapProc, options);
  TIFFOpenOptionsFree(options);
  return TiffPtr(t);
}

// The page's type code by its compression, or UNKNOWN_TYPE.
int32_t TypeOfCompression(uint16_t compression) noexcept {
  switch (compression) {
    case COMPRESSION_NONE:
    case COMPRESSION_LZW:
    case COMPRESSION_PACKBITS:
    case COMPRESSION_ADOBE_DEFLATE:
    case COMPRESSION_DEFLATE: return TIFF_UNCOMPRESSED;
    case COMPRESSION_CCITTFAX3: return TIFF_G3_FAX;
    case COMPRESSION_CCITTFAX4: return TIFF_G4_FAX;
    case COMPRESSION_JPEG: return TIFF_JPEG;
    default: return UNKNOWN_TYPE;
  }
}

int32_t ToDpi(float value, uint16_t unit) noexcept {
  double dpi = unit == RESUNIT_INCH ? value : unit == RESUNIT_CENTIMETER ? value * 2.54 : 0.0;
  if (!std::isfinite(dpi) || dpi <= 0.0 || dpi > 1.0e6) return 0;
  return int32_t(std::lround(dpi));
}

struct Layout {
  uint32_t width = 0, height = 0;
  uint16_t bps = 0, spp = 0, planar = PLANARCONFIG_CONTIG, photometric = 0, compression = 0;
  bool tiled = false;
  uint32_t tileWidth = 0, tileHeight = 0, rowsPerStrip = 0;
  int32_t bitsPerPixel = 0, type = UNKNOWN_TYPE, xDpi = 0, yDpi = 0;
};

// Reads and checks the current directory's tags. kOk or an error code.
int32_t Describe(TIFF* tif, Layout* l) noexcept {
  if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &l->width) || !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &l->height))
    return kErrTiffTag;
  if (l->width == 0 || l->height == 0 || l->width > INT32_MAX || l->height > INT32_MAX) return kErrBadFormat;
  TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &l->compression);
  l->type = TypeOfCompression(l->compression);
  if (l->type == UNKNOWN_TYPE || !TIFFIsCODECConfigured(l->compression)) return kErrCompression;
  TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &l->bps);
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &l->spp);
  TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &l->planar);
  if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &l->photometric)) return kErrTiffTag;
  uint16_t extraCount = 0;
  uint16_t* extra = nullptr;
  TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &extraCount, &extra);
  int colourSamples = int(l->spp) - int(extraCount);
  bool paletteDepth = l->bps == 1 || l->bps == 4 || l->bps == 8;
  switch (l->photometric) {
    case PHOTOMETRIC_MINISWHITE:
    case PHOTOMETRIC_MINISBLACK:
    case PHOTOMETRIC_PALETTE:
      if (!paletteDepth || l->spp != 1) return kErrBitsPerPixel;
      if (l->photometric == PHOTOMETRIC_PALETTE) {
        uint16_t *r = nullptr, *g = nullptr, *b = nullptr;
        if (!TIFFGetField(tif, TIFFTAG_COLORMAP, &r, &g, &b)) return kErrTiffTag;
      }
      l->bitsPerPixel = l->bps;
      break;
    case PHOTOMETRIC_YCBCR:
      // Subsampled YCbCr is taken only from the JPEG codec, which turns it
      // into RGB itself.
      if (l->compression != COMPRESSION_JPEG) return kErrCompression;
      [[fallthrough]];
    case PHOTOMETRIC_RGB:
      if (l->bps != 8 || colourSamples != 3 || l->spp > 4) return kErrBitsPerPixel;
      l->bitsPerPixel = 24;
      break;
    default: return kErrTiffTag;
  }
  if ((l->type == TIFF_G3_FAX || l->type == TIFF_G4_FAX) && l->bps != 1) return kErrBitsPerPixel;
  if (l->type == TIFF_JPEG && l->bps != 8) return kErrBitsPerPixel;
  l->tiled = TIFFIsTiled(tif) != 0;
  if (l->tiled) {
    if (!TIFFGetField(tif, TIFFTAG_TILEWIDTH, &l->tileWidth) || !TIFFGetField(tif, TIFFTAG_TILELENGTH, &l->tileHeight))
      return kErrTiffTag;
    // Tiles start on byte boundaries only when their width in bits is a
    // multiple of 8 (the format asks for multiples of 16 pixels).
    if (l->tileWidth == 0 || l->tileHeight == 0 || (uint64_t(l->tileWidth) * l->bps) % 8 != 0) return kErrTiffTag;
  } else {
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &l->rowsPerStrip);
    if (l->rowsPerStrip == 0) return kErrTiffTag;
  }
  float x = 0, y = 0;
  uint16_t unit = RESUNIT_INCH;
  TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
  if (TIFFGetField(tif, TIFFTAG_XRESOLUTION, &x)) l->xDpi = ToDpi(x, unit);
  if (TIFFGetField(tif, TIFFTAG_YRESOLUTION, &y)) l->yDpi = ToDpi(y, unit);
  return kOk;
}

// Opens the file image and goes to page (1-based). kOk or an error code.
int32_t OpenPage(Stream* s, TiffPtr* tif, int32_t page, Layout* l) noexcept {
  *tif = OpenTiff(s, "r");
  if (!*tif) return kErrBadFormat;
  if (page < 1 || uint32_t(page) > TIFFNumberOfDirectories(tif->get())) return kErrPageNotFound;
  if (!TIFFSetDirectory(tif->get(), tdir_t(page - 1))) return kErrBadFormat;
  // What libtiff said about the rest of the chain (a loop, a link out of the
  // file) does not concern this page.
  s->libError = false;
  return Describe(tif->get(), l);
}

// Every strip or tile lies inside the file.
bool StrilesInside(TIFF* tif, uint64_t fileSize, uint32_t count) noexcept {
  for (uint32_t i = 0; i < count; ++i) {
    int err = 0;
    uint64_t off = TIFFGetStrileOffsetWithErr(tif, i, &err);
    if (err) return false;
    uint64_t bytes = TIFFGetStrileByteCountWithErr(tif, i, &err);
    if (err || bytes == 0 || off > fileSize || bytes > fileSize - off) return false;
  }
  return true;
}

uint32_t Luma(uint32_t rgb) noexcept {
  return ((rgb >> 16) & 0xFF) * 299 + ((rgb >> 8) & 0xFF) * 587 + (rgb & 0xFF) * 114;
}

std::vector<uint32_t> GreyRamp(int bits) {
  std::vector<uint32_t> ramp(std::size_t(1) << bits);
  uint32_t step = 255u / uint32_t(ramp.size() - 1);
  for (uint32_t i = 0; i < ramp.size(); ++i) ramp[i] = i * step * 0x010101u;
  return ramp;
}

std::vector<uint32_t> ColourMap(TIFF* tif, int bits) {
  uint16_t *r = nullptr, *g = nullptr, *b = nullptr;
  TIFFGetField(tif, TIFFTAG_COLORMAP, &r, &g, &b);
  std::size_t n = std::size_t(1) << bits;
  // Some writers store 8-bit values in the 16-bit map.
  bool eightBit = true;
  for (std::size_t i = 0; i < n; ++i) eightBit = eightBit && r[i] < 256 && g[i] < 256 && b[i] < 256;
  auto to8 = [eightBit](uint16_t v) { return eightBit ? uint32_t(v) : (uint32_t(v) * 255u + 32767u) / 65535u; };
  std::vector<uint32_t> map(n);
  for (std::size_t i = 0; i < n; ++i) map[i] = (to8(r[i]) << 16) | (to8(g[i]) << 8) | to8(b[i]);
  return map;
}

// Turns the decoded samples (planes of `planeScan` bytes a row) into the
// page image's rows.
void ToPageImage(TIFF* tif, const Layout& l, const std::vector<uint8_t>& raw, uint64_t planeScan, PageImage* out) {
  const uint32_t stride = out->Stride();
  const uint32_t w = l.width;
  if (l.bitsPerPixel == 24) {
    const bool separate = l.planar == PLANARCONFIG_SEPARATE;
    const uint64_t planeSize = planeScan * l.height;
    for (uint32_t y = 0; y < l.height; ++y) {
      uint8_t* d = out->pixels.data() + uint64_t(y) * stride;
      const uint8_t* row = raw.data() + uint64_t(y) * planeScan;
      for (uint32_t x = 0; x < w; ++x, d += 3) {
        if (separate) {
          d[0] = row[2 * planeSize + x];
          d[1] = row[planeSize + x];
          d[2] = row[x];
        } else {
          const uint8_t* p = row + uint64_t(x) * l.spp;
          d[0] = p[2];
          d[1] = p[1];
          d[2] = p[0];
        }
      }
    }
    return;
  }
  const int bits = l.bitsPerPixel;
  const std::size_t rowBytes = (std::size_t(w) * bits + 7) / 8;
  bool invert = l.photometric == PHOTOMETRIC_MINISWHITE;
  if (bits == 1) {
    // A set bit is black in the page image, whatever the file says.
    std::vector<uint32_t> map =
        l.photometric == PHOTOMETRIC_PALETTE ? ColourMap(tif, 1) : std::vector<uint32_t>{0xFFFFFF, 0};
    invert = l.photometric == PHOTOMETRIC_MINISBLACK || Luma(map[0]) < Luma(map[1]);
    out->palette = {0xFFFFFF, 0x000000};
  } else {
    out->palette = l.photometric == PHOTOMETRIC_PALETTE ? ColourMap(tif, bits) : GreyRamp(bits);
    if (l.photometric == PHOTOMETRIC_PALETTE) invert = false;
  }
  const uint8_t lastMask = (w * uint32_t(bits)) % 8 == 0 ? 0xFF : uint8_t(0xFF << (8 - (w * uint32_t(bits)) % 8));
  for (uint32_t y = 0; y < l.height; ++y) {
    uint8_t* d = out->pixels.data() + uint64_t(y) * stride;
    std::memcpy(d, raw.data() + uint64_t(y) * planeScan, rowBytes);
    if (invert) {
      for (std::size_t i = 0; i < rowBytes; ++i) d[i] = uint8_t(~d[i]);
    }
    d[rowBytes - 1] &= lastMask;
  }
}

int32_t Decode(TIFF* tif, Stream* s, const Layout& l, PageImage* out) {
  const uint64_t stride = ((uint64_t(l.width) * uint64_t(l.bitsPerPixel) + 31u) / 32u) * 4u;
  if (stride * l.height > kMaxDecodedBytes) return kErrNoMemory;
  const bool separate = l.planar == PLANARCONFIG_SEPARATE && l.spp > 1;
  const uint32_t planes = separate ? 3 : 1;  // an alpha plane is not read
  const uint64_t planeBits = uint64_t(l.bps) * (separate ? 1 : l.spp);
  const uint64_t planeScan = (uint64_t(l.width) * planeBits + 7) / 8;
  const uint64_t planeSize = planeScan * l.height;
  if (planeSize * planes > kMaxDecodedBytes) return kErrNoMemory;
  if (l.photometric == PHOTOMETRIC_YCBCR && !TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB))
    return kErrCompression;
  const uint32_t striles = l.tiled ? TIFFNumberOfTiles(tif) : TIFFNumberOfStrips(tif);
  if (!StrilesInside(tif, s->Size(), striles)) return kErrBadFormat;

  std::vector<uint8_t> raw(planeSize * planes);
  if (!l.tiled) {
    const uint32_t perPlane = uint32_t((uint64_t(l.height) + l.rowsPerStrip - 1) / l.rowsPerStrip);
    if (uint64_t(perPlane) * (separate ? l.spp : 1) > striles) return kErrBadFormat;
    for (uint32_t p = 0; p < planes; ++p) {
      for (uint32_t k = 0; k < perPlane; ++k) {
        const uint64_t row0 = uint64_t(k) * l.rowsPerStrip;
        const uint64_t rows = std::min<uint64_t>(l.rowsPerStrip, l.height - row0);
        uint8_t* dst = raw.data() + p * planeSize + row0 * planeScan;
        if (TIFFReadEncodedStrip(tif, p * perPlane + k, dst, tmsize_t(rows * planeScan)) < 0 || s->libError)
          return kErrBadFormat;
      }
    }
  } else {
    const uint64_t tileSize = TIFFTileSize64(tif), tileRow = TIFFTileRowSize64(tif);
    if (tileSize == 0 || tileSize > kMaxDecodedBytes || tileRow * l.tileHeight > tileSize) return kErrBadFormat;
    std::vector<uint8_t> tile(tileSize);
    for (uint32_t p = 0; p < planes; ++p) {
      for (uint32_t ty = 0; ty < l.height; ty += l.tileHeight) {
        for (uint32_t tx = 0; tx < l.width; tx += l.tileWidth) {
          uint32_t index = TIFFComputeTile(tif, tx, ty, 0, uint16_t(p));
          if (index >= striles || TIFFReadEncodedTile(tif, index, tile.data(), tmsize_t(tileSize)) < 0 || s->libError)
            return kErrBadFormat;
          const uint64_t col = uint64_t(tx) * planeBits / 8;
          const uint64_t bytes = std::min(tileRow, planeScan - col);
          const uint32_t rows = std::min(l.tileHeight, l.height - ty);
          for (uint32_t r = 0; r < rows; ++r)
            std::memcpy(raw.data() + p * planeSize + uint64_t(ty + r) * planeScan + col, tile.data() + r * tileRow,
                        bytes);
          if (l.tileWidth > l.width - tx) break;
        }
        if (l.tileHeight > l.height - ty) break;
      }
    }
  }
  out->width = int32_t(l.width);
  out->height = int32_t(l.height);
  out->bitsPerPixel = l.bitsPerPixel;
  out->xDpi = l.xDpi;
  out->yDpi = l.yDpi;
  out->palette.clear();
  out->pixels.assign(stride * l.height, 0);
  ToPageImage(tif, l, raw, planeScan, out);
  return kOk;
}

// ---- Writing ------------------------------------------------------------

// The directory chain of an existing file ends properly (no loop, no link
// out of the file): libtiff's append walks the chain to its end and would
// go round a loop forever. libtiff's own count stops at a loop silently.
bool ChainIsSound(int fd, uint64_t size) noexcept {
  uint8_t head[16] = {};
  if (size < 8 || pread(fd, head, sizeof head, 0) < 8) return false;
  const bool big = head[0] == 'M';
  auto get = [big](const uint8_t* p, int bytes) {
    uint64_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= uint64_t(p[big ? bytes - 1 - i : i]) << (8 * i);
    return v;
  };
  const bool bigTiff = get(head + 2, 2) == 43;
  const int offsetBytes = bigTiff ? 8 : 4, countBytes = bigTiff ? 8 : 2, entryBytes = bigTiff ? 20 : 12;
  uint64_t next = get(head + (bigTiff ? 8 : 4), offsetBytes);
  try {
    std::unordered_set<uint64_t> seen;
    while (next != 0) {
      if (next > size - uint64_t(countBytes) || !seen.insert(next).second) return false;
      uint8_t buf[8] = {};
      if (pread(fd, buf, std::size_t(countBytes), off_t(next)) != countBytes) return false;
      const uint64_t link = next + uint64_t(countBytes) + get(buf, countBytes) * uint64_t(entryBytes);
      if (link > size || size - link < uint64_t(offsetBytes)) return false;
      if (pread(fd, buf, std::size_t(offsetBytes), off_t(link)) != offsetBytes) return false;
      next = get(buf, offsetBytes);
    }
    return !seen.empty();
  } catch (...) {
    return false;
  }
}

// An open output: a new file staged beside its name, or the existing file
// appended in place.
class Output {
 public:
  // kOk or an error code; *existing tells which of the two it is.
  int32_t Open(const std::string& path, bool* existing) noexcept {
    struct stat st {};
    if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
      fd_ = open(path.c_str(), O_RDWR | O_CLOEXEC);
      if (fd_ < 0) return kErrOpen;
      uint8_t head[4] = {};
      if (pread(fd_, head, 4, 0) != 4 || fstat(fd_, &st) != 0) return kErrRead;
      if (Sniff(head) != Format::kTiff) return kErrBadFormat;
      if (!ChainIsSound(fd_, uint64_t(st.st_size))) return kErrBadFormat;
      stream_.fd = fd_;
      stream_.frozen = stream_.end = uint64_t(st.st_size);
      armed_ = true;  // from here on a failure cuts the file back to this size
      *existing = true;
      return kOk;
    }
    int32_t err = staged_.Create(path);
    if (err != kOk) return err;
    stream_.fd = staged_.Fd();
    *existing = false;
    return kOk;
  }

  ~Output() {
    if (fd_ >= 0) {
      if (armed_ && !done_) (void)ftruncate(fd_, off_t(stream_.frozen));
      close(fd_);
    }
  }
  Output() = default;
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  Stream* GetStream() noexcept { return &stream_; }
  bool Failed() const noexcept { return stream_.ioFailed || stream_.libError; }

  // Makes the written page part of the file. kOk or kErrWrite.
  int32_t Commit() noexcept {
    if (Failed()) return kErrWrite;
    if (fd_ < 0) return staged_.Commit();
    // The new page is flushed before the old file's link points to it
    // (fdatasync: the data and the new length, not the times).
    if (fdatasync(fd_) != 0) return kErrWrite;
    std::vector<Stream::Patch> old;
    try {
      for (const Stream::Patch& p : stream_.patches) {
        Stream::Patch keep{p.at, std::vector<uint8_t>(p.bytes.size())};
        if (pread(fd_, keep.bytes.data(), keep.bytes.size(), off_t(p.at)) != ssize_t(keep.bytes.size()))
          return kErrWrite;
        old.push_back(std::move(keep));
      }
    } catch (...) {
      return kErrNoMemory;
    }
    bool ok = true;
    for (const Stream::Patch& p : stream_.patches) ok = ok && WriteAllAt(fd_, p.bytes, p.at);
    ok = ok && fdatasync(fd_) == 0;
    if (!ok) {
      for (const Stream::Patch& p : old) (void)WriteAllAt(fd_, p.bytes, p.at);
      (void)fdatasync(fd_);
      return kErrWrite;
    }
    done_ = true;
    return kOk;
  }

 private:
  Stream stream_;
  StagedFile staged_;
  int fd_ = -1;
  bool armed_ = false;
  bool done_ = false;
};

bool IsGreyRamp(const std::vector<uint32_t>& palette) {
  return palette == GreyRamp(palette.size() == 16 ? 4 : 8);
}

int32_t SetPageTags(TIFF* tif, int32_t type, const PageImage& image, int32_t quality, uint32_t* rowsPerStrip) {
  const int bits = image.bitsPerPixel;
  const uint16_t compression = type == TIFF_G3_FAX   ? COMPRESSION_CCITTFAX3
                               : type == TIFF_G4_FAX ? COMPRESSION_CCITTFAX4
                               : type == TIFF_JPEG   ? COMPRESSION_JPEG
                                                     : COMPRESSION_NONE;
  uint16_t photometric = PHOTOMETRIC_RGB;
  if (bits == 1) {
    photometric = Luma(image.palette[0]) >= Luma(image.palette[1]) ? PHOTOMETRIC_MINISWHITE : PHOTOMETRIC_MINISBLACK;
  } else if (bits != 24) {
    photometric = IsGreyRamp(image.palette) ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_PALETTE;
  } else if (type == TIFF_JPEG) {
    photometric = PHOTOMETRIC_YCBCR;
  }
  bool ok = TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(image.width)) &&
            TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(image.height)) &&
            TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, bits == 24 ? 8 : bits) &&
            TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, bits == 24 ? 3 : 1) &&
            TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
            TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT) &&
            TIFFSetField(tif, TIFFTAG_COMPRESSION, compression) && TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, photometric);
  if (ok && type == TIFF_G3_FAX) ok = TIFFSetField(tif, TIFFTAG_GROUP3OPTIONS, uint32_t(0));
  if (ok && type == TIFF_JPEG) {
    ok = TIFFSetField(tif, TIFFTAG_JPEGQUALITY, int(quality));
    if (ok && bits == 24) {
      const uint16_t sub = quality >= kFullChromaQuality ? 1 : 2;
      ok = TIFFSetField(tif, TIFFTAG_YCBCRSUBSAMPLING, sub, sub) &&
           TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
    }
  }
  if (ok && photometric == PHOTOMETRIC_PALETTE) {
    std::vector<uint16_t> r(image.palette.size()), g(r.size()), b(r.size());
    for (std::size_t i = 0; i < r.size(); ++i) {
      r[i] = uint16_t(((image.palette[i] >> 16) & 0xFF) * 257);
      g[i] = uint16_t(((image.palette[i] >> 8) & 0xFF) * 257);
      b[i] = uint16_t((image.palette[i] & 0xFF) * 257);
    }
    ok = TIFFSetField(tif, TIFFTAG_COLORMAP, r.data(), g.data(), b.data());
  }
  if (ok && (image.xDpi > 0 || image.yDpi > 0)) {
    const int32_t x = image.xDpi > 0 ? image.xDpi : image.yDpi, y = image.yDpi > 0 ? image.yDpi : image.xDpi;
    ok = TIFFSetField(tif, TIFFTAG_XRESOLUTION, double(x)) && TIFFSetField(tif, TIFFTAG_YRESOLUTION, double(y)) &&
         TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
  }
  // Fax pages are one strip, as fax readers expect; others about 64 KiB a
  // strip, whole JPEG MCU rows (16 lines with 2x2 subsampling).
  const uint64_t scan = (uint64_t(image.width) * uint64_t(bits) + 7) / 8;
  uint64_t rows = type == TIFF_G3_FAX || type == TIFF_G4_FAX ? uint64_t(image.height)
                                                             : std::max<uint64_t>(1, 65536 / scan);
  if (type == TIFF_JPEG) rows = (rows + 15) / 16 * 16;
  *rowsPerStrip = uint32_t(std::min<uint64_t>(rows, uint64_t(image.height)));
  ok = ok && TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, *rowsPerStrip);
  return ok ? kOk : kErrTiffTag;
}

int32_t WriteStrips(TIFF* tif, const PageImage& image, uint32_t rowsPerStrip) {
  const uint64_t scan = (uint64_t(image.width) * uint64_t(image.bitsPerPixel) + 7) / 8;
  const uint32_t stride = image.Stride();
  std::vector<uint8_t> strip(scan * rowsPerStrip);
  for (uint32_t row0 = 0, s = 0; row0 < uint32_t(image.height); row0 += rowsPerStrip, ++s) {
    const uint32_t rows = std::min<uint32_t>(rowsPerStrip, uint32_t(image.height) - row0);
    for (uint32_t r = 0; r < rows; ++r) {
      const uint8_t* src = image.pixels.data() + uint64_t(row0 + r) * stride;
      uint8_t* dst = strip.data() + uint64_t(r) * scan;
      if (image.bitsPerPixel == 24) {
        for (int32_t x = 0; x < image.width; ++x, src += 3, dst += 3) {
          dst[0] = src[2];
          dst[1] = src[1];
          dst[2] = src[0];
        }
      } else {
        std::memcpy(dst, src, scan);
      }
    }
    if (TIFFWriteEncodedStrip(tif, s, strip.data(), tmsize_t(uint64_t(rows) * scan)) < 0) return kErrWrite;
  }
  return TIFFWriteDirectory(tif) ? kOk : kErrWrite;
}

// ---- Page copy ----------------------------------------------------------

template <typename T>
void CopyField(TIFF* in, TIFF* out, uint32_t tag) {
  T v{};
  if (TIFFGetField(in, tag, &v)) TIFFSetField(out, tag, v);
}

void CopyArray(TIFF* in, TIFF* out, uint32_t tag) {
  float* v = nullptr;
  if (TIFFGetField(in, tag, &v) && v != nullptr) TIFFSetField(out, tag, v);
}

void CopyBlob(TIFF* in, TIFF* out, uint32_t tag) {
  uint32_t count = 0;
  void* data = nullptr;
  if (TIFFGetField(in, tag, &count, &data) && data != nullptr && count > 0) TIFFSetField(out, tag, count, data);
}

// Copies the tags that describe the page and its compressed data: the
// codec first, so that its own tags (fax options, predictor, JPEG tables)
// have a home in the output.
int32_t CopyTags(TIFF* in, TIFF* out, const Layout& l) {
  uint16_t compression = l.compression;
  bool ok = TIFFSetField(out, TIFFTAG_IMAGEWIDTH, l.width) && TIFFSetField(out, TIFFTAG_IMAGELENGTH, l.height) &&
            TIFFSetField(out, TIFFTAG_BITSPERSAMPLE, l.bps) && TIFFSetField(out, TIFFTAG_SAMPLESPERPIXEL, l.spp) &&
            TIFFSetField(out, TIFFTAG_COMPRESSION, compression) &&
            TIFFSetField(out, TIFFTAG_PHOTOMETRIC, l.photometric) &&
            TIFFSetField(out, TIFFTAG_PLANARCONFIG, l.planar);
  if (!ok) return kErrTiffTag;
  switch (compression) {
    case COMPRESSION_CCITTFAX3: CopyField<uint32_t>(in, out, TIFFTAG_GROUP3OPTIONS); break;
    case COMPRESSION_CCITTFAX4: CopyField<uint32_t>(in, out, TIFFTAG_GROUP4OPTIONS); break;
    case COMPRESSION_JPEG: CopyBlob(in, out, TIFFTAG_JPEGTABLES); break;
    case COMPRESSION_LZW:
    case COMPRESSION_ADOBE_DEFLATE:
    case COMPRESSION_DEFLATE: CopyField<uint16_t>(in, out, TIFFTAG_PREDICTOR); break;
    default: break;
  }
  if (compression == COMPRESSION_CCITTFAX3 || compression == COMPRESSION_CCITTFAX4 ||
      compression == COMPRESSION_CCITTRLE) {
    CopyField<uint32_t>(in, out, TIFFTAG_BADFAXLINES);
    CopyField<uint16_t>(in, out, TIFFTAG_CLEANFAXDATA);
    CopyField<uint32_t>(in, out, TIFFTAG_CONSECUTIVEBADFAXLINES);
  }
  if (l.tiled) {
    ok = TIFFSetField(out, TIFFTAG_TILEWIDTH, l.tileWidth) && TIFFSetField(out, TIFFTAG_TILELENGTH, l.tileHeight);
  } else {
    ok = TIFFSetField(out, TIFFTAG_ROWSPERSTRIP, l.rowsPerStrip);
  }
  if (!ok) return kErrTiffTag;
  for (uint32_t tag : {TIFFTAG_FILLORDER, TIFFTAG_ORIENTATION, TIFFTAG_RESOLUTIONUNIT, TIFFTAG_YCBCRPOSITIONING,
                       TIFFTAG_SAMPLEFORMAT, TIFFTAG_THRESHHOLDING, TIFFTAG_MINSAMPLEVALUE, TIFFTAG_MAXSAMPLEVALUE})
    CopyField<uint16_t>(in, out, tag);
  for (uint32_t tag : {TIFFTAG_XRESOLUTION, TIFFTAG_YRESOLUTION, TIFFTAG_XPOSITION, TIFFTAG_YPOSITION})
    CopyField<float>(in, out, tag);
  CopyField<uint32_t>(in, out, TIFFTAG_SUBFILETYPE);
  for (uint32_t tag : {TIFFTAG_REFERENCEBLACKWHITE, TIFFTAG_YCBCRCOEFFICIENTS, TIFFTAG_WHITEPOINT,
                       TIFFTAG_PRIMARYCHROMATICITIES})
    CopyArray(in, out, tag);
  for (uint32_t tag : {TIFFTAG_SOFTWARE, TIFFTAG_IMAGEDESCRIPTION, TIFFTAG_DATETIME, TIFFTAG_ARTIST, TIFFTAG_MAKE,
                       TIFFTAG_MODEL, TIFFTAG_DOCUMENTNAME, TIFFTAG_PAGENAME, TIFFTAG_HOSTCOMPUTER, TIFFTAG_COPYRIGHT})
    CopyField<char*>(in, out, tag);
  CopyBlob(in, out, TIFFTAG_ICCPROFILE);
  uint16_t a = 0, b = 0;
  if (TIFFGetField(in, TIFFTAG_YCBCRSUBSAMPLING, &a, &b)) TIFFSetField(out, TIFFTAG_YCBCRSUBSAMPLING, a, b);
  if (TIFFGetField(in, TIFFTAG_PAGENUMBER, &a, &b)) TIFFSetField(out, TIFFTAG_PAGENUMBER, a, b);
  uint16_t *r = nullptr, *g = nullptr, *bl = nullptr;
  if (TIFFGetField(in, TIFFTAG_COLORMAP, &r, &g, &bl)) TIFFSetField(out, TIFFTAG_COLORMAP, r, g, bl);
  uint16_t extraCount = 0;
  uint16_t* extra = nullptr;
  if (TIFFGetField(in, TIFFTAG_EXTRASAMPLES, &extraCount, &extra) && extraCount > 0)
    TIFFSetField(out, TIFFTAG_EXTRASAMPLES, extraCount, extra);
  return kOk;
}

bool CopyableCompression(uint16_t c) noexcept {
  return TypeOfCompression(c) != UNKNOWN_TYPE || c == COMPRESSION_CCITTRLE;
}

// Describe() for the copy: only what the raw strips need to be taken over.
int32_t DescribeForCopy(TIFF* tif, Layout* l) noexcept {
  if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &l->width) || !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &l->height) ||
      !TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &l->photometric))
    return kErrTiffTag;
  if (l->width == 0 || l->height == 0) return kErrBadFormat;
  TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &l->compression);
  if (!CopyableCompression(l->compression)) return kErrCompression;
  TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &l->bps);
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &l->spp);
  TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &l->planar);
  l->tiled = TIFFIsTiled(tif) != 0;
  if (l->tiled) {
    if (!TIFFGetField(tif, TIFFTAG_TILEWIDTH, &l->tileWidth) || !TIFFGetField(tif, TIFFTAG_TILELENGTH, &l->tileHeight))
      return kErrTiffTag;
  } else {
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &l->rowsPerStrip);
  }
  return kOk;
}

int32_t CopyStriles(TIFF* in, TIFF* out, const Layout& l, uint64_t fileSize) {
  const uint32_t count = l.tiled ? TIFFNumberOfTiles(in) : TIFFNumberOfStrips(in);
  const uint32_t outCount = l.tiled ? TIFFNumberOfTiles(out) : TIFFNumberOfStrips(out);
  if (count == 0 || count != outCount) return kErrTiffTag;
  if (!StrilesInside(in, fileSize, count)) return kErrBadFormat;
  std::vector<uint8_t> buf;
  for (uint32_t i = 0; i < count; ++i) {
    const uint64_t bytes = TIFFGetStrileByteCount(in, i);
    buf.resize(bytes);
    const tmsize_t n = tmsize_t(bytes);
    const tmsize_t got = l.tiled ? TIFFReadRawTile(in, i, buf.data(), n) : TIFFReadRawStrip(in, i, buf.data(), n);
    if (got != n) return kErrBadFormat;
    const tmsize_t put = l.tiled ? TIFFWriteRawTile(out, i, buf.data(), n) : TIFFWriteRawStrip(out, i, buf.data(), n);
    if (put != n) return kErrWrite;
  }
  return TIFFWriteDirectory(out) ? kOk : kErrWrite;
}

}  // namespace

int32_t TiffPageCount(std::span<const uint8_t> file) noexcept {
  try {
    Stream s;
    s.mem = file;
    TiffPtr tif = OpenTiff(&s, "r");
    if (!tif) return -kErrBadFormat;
    // libtiff walks the directory chain without reading the directories and
    // stops at a loop or a link past the end.
    tdir_t n = TIFFNumberOfDirectories(tif.get());
    if (n == 0) return -kErrBadFormat;
    return int32_t(std::min<tdir_t>(n, INT32_MAX));
  } catch (...) {
    return -kErrNoMemory;
  }
}

int32_t TiffPageInfo(std::span<const uint8_t> file, int32_t page, PageInfo* info) noexcept {
  try {
    Stream s;
    s.mem = file;
    TiffPtr tif;
    Layout l;
    int32_t err = OpenPage(&s, &tif, page, &l);
    if (err != kOk) return err;
    *info = {l.bitsPerPixel, int32_t(l.width), int32_t(l.height), l.xDpi, l.yDpi, l.type};
    return kOk;
  } catch (...) {
    return kErrNoMemory;
  }
}

int32_t TiffReadPage(std::span<const uint8_t> file, int32_t page, PageImage* out) noexcept {
  try {
    Stream s;
    s.mem = file;
    TiffPtr tif;
    Layout l;
    int32_t err = OpenPage(&s, &tif, page, &l);
    if (err != kOk) return err;
    return Decode(tif.get(), &s, l, out);
  } catch (...) {
    return kErrNoMemory;
  }
}

int32_t TiffWritePage(const std::string& path, int32_t type, const PageImage& image, int32_t quality) noexcept {
  const int bits = image.bitsPerPixel;
  if ((type == TIFF_G3_FAX || type == TIFF_G4_FAX) && bits != 1) return kErrBitsPerPixel;
  if (type == TIFF_JPEG && !(bits == 24 || image.IsGray())) return kErrBitsPerPixel;
  try {
    Output output;
    bool existing = false;
    int32_t err = output.Open(path, &existing);
    if (err != kOk) return err;
    uint32_t rowsPerStrip = 0;
    {
      TiffPtr tif = OpenTiff(output.GetStream(), existing ? "a" : "w");
      if (!tif) return existing ? kErrBadFormat : kErrWrite;
      err = SetPageTags(tif.get(), type, image, quality, &rowsPerStrip);
      if (err == kOk) err = WriteStrips(tif.get(), image, rowsPerStrip);
    }
    if (err != kOk) return output.GetStream()->ioFailed ? kErrWrite : err;
    return output.Commit();
  } catch (...) {
    return kErrNoMemory;
  }
}

int32_t TiffCopyPage(const std::string& dst, std::span<const uint8_t> src, int32_t page) noexcept {
  try {
    Stream s;
    s.mem = src;
    TiffPtr in = OpenTiff(&s, "r");
    if (!in) return kErrBadFormat;
    if (page < 1 || uint32_t(page) > TIFFNumberOfDirectories(in.get())) return kErrPageNotFound;
    if (!TIFFSetDirectory(in.get(), tdir_t(page - 1))) return kErrBadFormat;
    s.libError = false;
    Layout l;
    int32_t err = DescribeForCopy(in.get(), &l);
    if (err != kOk) return err;

    Output output;
    bool existing = false;
    err = output.Open(dst, &existing);
    if (err != kOk) return err;
    {
      // A new file takes the source's byte order and size class, so that
      // samples wider than a byte stay as they are.
      const bool swapped = TIFFIsByteSwapped(in.get()) != 0;
      std::string mode = existing ? "a" : std::string("w") + (swapped ? "b" : "l") + (TIFFIsBigTIFF(in.get()) ? "8" : "");
      TiffPtr out = OpenTiff(output.GetStream(), mode.c_str());
      if (!out) return existing ? kErrBadFormat : kErrWrite;
      if (l.bps > 8 && (TIFFIsByteSwapped(out.get()) != 0) != swapped) return kErrBitsPerPixel;
      err = CopyTags(in.get(), out.get(), l);
      if (err == kOk) err = CopyStriles(in.get(), out.get(), l, src.size());
      if (s.libError && err == kOk) err = kErrBadFormat;
    }
    if (err != kOk) return output.GetStream()->ioFailed ? kErrWrite : err;
    return output.Commit();
  } catch (...) {
    return kErrNoMemory;
  }
}

}  // namespace zoimg::detail
