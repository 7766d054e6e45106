// ZoDIBImage: class CDIB, one page image in memory — loaded from a file or
// taken from the scanner, rotated, cropped, tested for blankness, written
// back through the codecs (ZoImgFileIO), drawn on the screen and printed.
//
//   files           GetPageFileType, GetTotalPage, GetImageFileAttributes,
//                   TIFF_PageCopy (static), LoadDIBObject, Write2File
//   scanner         SetScanDIBObject (packed DIB), SetScanJPEGObject
//   editing         RotateImage, Crop, DetectBlankPage
//   image facts     GetDIBSize, GetDIBitCount, GetDIBResolution, GetDIBPalette
//   display         SetZoom, FitWindow/Width/Height, SetZoomMode, DisplayImage
//   printing        PrintDIB
//   errors          GetErrorInformation, IsMemError (static)
//
// Operations returning int answer nonzero on success (0 on failure) unless
// said otherwise. A failure sets the calling thread's last error
// (GetErrorInformation) and leaves the object as it was; a success resets it
// to 0. No operation throws. An object is used by one thread at a time.
//
// Error codes: the codecs' family (zoimg::kErr*, 30001 …) is passed on
// unchanged; the object's own errors are kDibErr* (40001 …), chosen so that
// 0x60000000 + (e − 40000) is the message that reports them.
//
// Pixels live in a zoimg::PageImage (rows top-down, padded to 4 bytes;
// 1 bit: set = black). Objects may share one image (ShareImage): nothing
// ever changes an image's pixels in place — every edit makes a new image —
// so a shared image stays valid and unchanged while any holder keeps it.
// Qt is used only to draw, print and scale.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "ZoImgFileIO.h"

class QImage;
class QPainter;

// The object's own error codes.
enum DibError : int32_t {
  kDibErrNoImage = 40001,       // the operation needs an image and the object is empty
  kDibErrBadArgument = 40002,   // null pointer, empty rectangle, negative ratio, unknown mode …
  kDibErrBadScanBitmap = 40003, // a scanned bitmap whose header, palette or size do not agree
  kDibErrEmptyCrop = 40004,     // the crop rectangle lies outside the image
  kDibErrPaint = 40005,         // the painter is not active on a device
  kDibErrNoMemory = 40010,      // allocation failed or the result would exceed kMaxImageBytes
};

// Image resolution as GetDIBResolution reports it.
struct RESOLUTION {
  int32_t xDpi = 0;  // dots per inch; 0 when the source said nothing
  int32_t yDpi = 0;
  int32_t unit = 0;  // kResolutionUnitInch when both values are known, else kResolutionUnitNone
};
inline constexpr int32_t kResolutionUnitNone = 1;
inline constexpr int32_t kResolutionUnitInch = 2;

class CDIB {
 public:
  // Largest image any operation makes (pixel bytes), the codecs' limit.
  static constexpr uint64_t kMaxImageBytes = zoimg::kMaxDecodedBytes;
  // PrintDIB at actual size assumes this resolution when the image has none.
  static constexpr int32_t kDefaultDpi = 96;
  // SetJpegQuality takes 1 … 100; anything else, and the initial value, is this.
  static constexpr int32_t kDefaultJpegQuality = 75;
  // SetZoomMode values.
  static constexpr int32_t kZoomModePlain = 0;
  static constexpr int32_t kZoomModeGray = 3;
  // PrintDIB modes.
  static constexpr int32_t kPrintActualSize = 0;
  static constexpr int32_t kPrintFitPage = 1;

  CDIB() noexcept;
  virtual ~CDIB();
  CDIB(const CDIB&) = delete;
  CDIB& operator=(const CDIB&) = delete;

  // ---- files (static: forwarded to the codecs) ----------------------------
  // Type code of the file (page 0) or of one page; negative on error.
  static int GetPageFileType(const std::string& path, int page) noexcept;
  // Number of pages; negative on error.
  static int GetTotalPage(const std::string& path) noexcept;
  // Bits per pixel, width, height, x dpi, y dpi, compression (type code) of
  // a page, without decoding it. ≥ 0 on success; outputs may be null.
  static int GetImageFileAttributes(const std::string& path, int page, int* bitsPerPixel, int* width, int* height,
                                    int* xDpi, int* yDpi, int* compression) noexcept;
  // Appends page of TIFF src to TIFF dst unchanged (no re-encoding).
  static int TIFF_PageCopy(const std::string& dst, const std::string& src, int page) noexcept;

  // Loads page (1-based) of a file. The displayed size becomes the image
  // size. On failure the object keeps what it held.
  int LoadDIBObject(const std::string& path, int page) noexcept;
  // Quality of the JPEG data of later writes (JPEG, TIFF JPEG, PDF).
  void SetJpegQuality(int quality) noexcept;
  // Writes the image as type (a zoimg::FileType). TIFF types and PDF append
  // a page to an existing file; BMP and JPEG replace it.
  int Write2File(const std::string& path, int type) noexcept;

  // ---- scanner ------------------------------------------------------------
  // Takes a packed DIB: a 40-byte little-endian BITMAPINFOHEADER (larger
  // header versions are accepted and their extra bytes skipped), the
  // palette (biClrUsed entries, 0 meaning 2^bits for 1/4/8 bit) and the
  // pixel rows, bottom-up for a positive biHeight and top-down for a
  // negative one. Only uncompressed 1, 4, 8 and 24-bit bitmaps with one
  // plane are taken; every count must fit inside size (kDibErrBadScanBitmap
  // otherwise). A 1-bit bitmap whose palette puts the darker colour first
  // is inverted so that set bits are black. Resolution comes from
  // biXPelsPerMeter/biYPelsPerMeter. clientWidth × clientHeight is the
  // view's client size: when both are positive the displayed size is fitted
  // into it (FitWindow), else it is the image size.
  int SetScanDIBObject(const void* dib, size_t size, int clientWidth, int clientHeight) noexcept;
  int SetScanDIBObject(std::span<const uint8_t> dib, int clientWidth, int clientHeight) noexcept {
    return SetScanDIBObject(dib.data(), dib.size(), clientWidth, clientHeight);
  }
  // Takes a scanned JPEG stream (8 or 24 bit); client size as above.
  int SetScanJPEGObject(const void* data, size_t size, int clientWidth, int clientHeight) noexcept;
  int SetScanJPEGObject(std::span<const uint8_t> data, int clientWidth, int clientHeight) noexcept {
    return SetScanJPEGObject(data.data(), data.size(), clientWidth, clientHeight);
  }

  // ---- editing ------------------------------------------------------------
  // Turns the page by angle hundredths of a degree, counter-clockwise for
  // positive angles (as the filter library turns pages). Multiples of 9000
  // are exact pixel moves at every depth. Any other angle enlarges the canvas
  // to round(|W cos| + |H sin|) × round(|W sin| + |H cos|), fills what the
  // page does not cover with white and samples bilinearly for grey and 24-bit
  // images, by nearest neighbour for 1 and 4-bit and for colour palettes.
  // x and y are reserved (pass 0). The displayed size keeps its zoom factor.
  int RotateImage(int angle, int x, int y) noexcept;
  // Keeps only rect (image pixels), clipped to the image; a rectangle with
  // nothing inside the image fails with kDibErrEmptyCrop. The displayed size
  // becomes the new image size.
  int Crop(const QRect& rect) noexcept;
  // Tells whether the page is blank. ratio: hundredths of a percent of ink
  // pixels above which the page is not blank (20 = 0.20 %); *isBlank is set
  // on success. How pixels are judged:
  //   - a margin of kBlankMarginPercent of each side is ignored (scanner
  //     edges, shadows, punch holes);
  //   - the background is the most frequent luminance of what remains (for
  //     1 bit: the more frequent colour); a pixel is ink when its luminance
  //     differs from the background by more than kBlankInkDelta (1 bit: it is
  //     not the background colour);
  //   - an ink pixel with fewer than 2 ink pixels among its 8 neighbours is a
  //     speck (dust, noise) and is not counted;
  //   - blank when counted ink × 10000 ≤ ratio × pixels examined.
  int DetectBlankPage(int ratio, bool* isBlank) noexcept;
  static constexpr int kBlankMarginPercent = 5;
  static constexpr int kBlankInkDelta = 48;

  // ---- image facts --------------------------------------------------------
  QSize GetDIBSize() const noexcept;      // (0, 0) when empty
  QSize GetShowDIBSize() const noexcept;  // displayed size; (0, 0) when empty
  int GetDIBitCount() const noexcept;     // 1, 4, 8, 24; 0 when empty
  int GetDIBResolution(RESOLUTION* resolution) const noexcept;
  // Palette entries 0x00RRGGBB (2, 16 or 256; none for 24 bit) and their
  // size in bytes as a packed DIB holds them (4 per entry).
  std::span<const uint32_t> GetDIBPalette() const noexcept;
  int GetPalletSize() const noexcept;
  // The image itself (null when empty), for readers of the pixels.
  const zoimg::PageImage* GetPageImage() const noexcept;
  bool HasImage() const noexcept { return GetPageImage() != nullptr; }

  // Makes this object show other's image without copying it (a pan window
  // showing a view's page). Zoom mode and displayed size are this object's
  // own; the displayed size becomes the image size. Fails when other is empty.
  int ShareImage(const CDIB& other) noexcept;

  // ---- display ------------------------------------------------------------
  // The displayed size to draw at. reserved: pass 0.
  int SetZoom(const QSize& size, int reserved) noexcept;
  // Displayed size fitted into rect's size keeping the aspect ratio: the
  // whole image, the full width, or the full height. Sides are rounded and at
  // least 1 pixel.
  int FitWindow(const QRect& rect, int reserved) noexcept;
  int FitWidth(const QRect& rect, int reserved) noexcept;
  int FitHeight(const QRect& rect, int reserved) noexcept;
  // kZoomModeGray: a 1-bit image shown reduced is drawn as grey, each
  // screen pixel the share of white in the image pixels it covers, so thin
  // strokes stay visible. kZoomModePlain: reduced 1-bit images are sampled.
  int SetZoomMode(int mode) noexcept;
  int GetZoomMode() const noexcept;
  // Draws the image at the displayed size with its top-left corner at
  // origin (painter coordinates). halftone: grey and colour images shown
  // reduced are area-averaged (else sampled). The reduced picture is kept, so
  // repeated paints at one size do not scale again; enlarged pictures are
  // drawn through the painter's transformation, clipped to what it paints.
  int DisplayImage(QPainter* painter, const QPoint& origin, bool halftone) noexcept;
  // Prints on the painter's device (its full paint area, in device pixels):
  // kPrintFitPage scales the image to the largest size that fits keeping the
  // aspect ratio, centred; kPrintActualSize draws image pixels / image dpi
  // inches large (kDefaultDpi when unknown) at the device's logical dpi, from
  // the top-left corner.
  int PrintDIB(QPainter* painter, int mode) noexcept;

  // Empties the object (image, displayed size, cached pictures).
  void ClearDIBObject() noexcept;

  // ---- errors -------------------------------------------------------------
  // Last error of the calling thread's CDIB calls (0 after a success).
  static int GetErrorInformation() noexcept;
  // Whether e means memory exhaustion (kDibErrNoMemory, zoimg::kErrNoMemory).
  static bool IsMemError(int e) noexcept;

 private:
  struct Impl;
  bool Ensure() noexcept;
  int TakeScanned(zoimg::PageImage&& image, int clientWidth, int clientHeight) noexcept;
  int ReplaceImage(zoimg::PageImage&& image, bool keepZoom) noexcept;
  const QImage* ReducedPicture(const QSize& size, bool halftone) noexcept;

  std::unique_ptr<Impl> d_;  // created on first use: an empty object holds nothing
};
