// Writes the reader fuzz targets' seed files, generated through the codecs
// themselves: <root>/tiff, <root>/bmp, <root>/jpeg and, when PDF pages can
// be written, <root>/pdf. Usage: imgfileio_seeds <corpus root>
#include <cstdio>
#include <filesystem>
#include <string>

#include "ZoImgFileIO.h"

namespace {

// A small page of text-like bars over a gradient.
zoimg::PageImage Page(int bits, int width, int height) {
  zoimg::PageImage img;
  img.width = width;
  img.height = height;
  img.bitsPerPixel = bits;
  img.xDpi = img.yDpi = 200;
  if (bits <= 8) {
    img.palette.resize(std::size_t(1) << bits);
    const uint32_t step = 255u / uint32_t(img.palette.size() - 1);
    for (uint32_t i = 0; i < img.palette.size(); ++i) img.palette[i] = i * step * 0x010101u;
    if (bits == 1) img.palette = {0xFFFFFF, 0x000000};
  }
  img.pixels.assign(std::size_t(img.Stride()) * height, 0);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = img.pixels.data() + std::size_t(y) * img.Stride();
    for (int x = 0; x < width; ++x) {
      const bool ink = (y / 4) % 2 == 1 && (x / 3) % 4 != 0;
      const int grey = ink ? 10 : 255 - x * 3;
      if (bits == 1 && ink) row[x / 8] |= uint8_t(0x80 >> (x % 8));
      if (bits == 4) row[x / 2] |= uint8_t((grey >> 4) << (x % 2 ? 0 : 4));
      if (bits == 8) row[x] = uint8_t(grey);
      if (bits == 24) {
        row[3 * x] = uint8_t(y * 5);
        row[3 * x + 1] = uint8_t(grey);
        row[3 * x + 2] = uint8_t(x * 4);
      }
    }
  }
  return img;
}

int failures = 0;

void Write(const std::string& path, int32_t type, int bits, int32_t quality = 75) {
  if (zoimg::WritePage(path, type, Page(bits, 45, 23), quality) != zoimg::kOk) {
    std::fprintf(stderr, "imgfileio_seeds: cannot write %s (%d)\n", path.c_str(), zoimg::LastError());
    ++failures;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: imgfileio_seeds <corpus root>\n");
    return 2;
  }
  const std::string root = argv[1];
  for (const char* sub : {"tiff", "bmp", "jpeg", "pdf"}) std::filesystem::create_directories(root + "/" + sub);
  Write(root + "/tiff/none1.tif", zoimg::TIFF_UNCOMPRESSED, 1);
  Write(root + "/tiff/none4.tif", zoimg::TIFF_UNCOMPRESSED, 4);
  Write(root + "/tiff/none24.tif", zoimg::TIFF_UNCOMPRESSED, 24);
  Write(root + "/tiff/g3.tif", zoimg::TIFF_G3_FAX, 1);
  Write(root + "/tiff/jpeg8.tif", zoimg::TIFF_JPEG, 8);
  Write(root + "/tiff/jpeg24.tif", zoimg::TIFF_JPEG, 24);
  // Three pages of different kinds in one file.
  Write(root + "/tiff/mixed.tif", zoimg::TIFF_G4_FAX, 1);
  Write(root + "/tiff/mixed.tif", zoimg::TIFF_UNCOMPRESSED, 8);
  Write(root + "/tiff/mixed.tif", zoimg::TIFF_JPEG, 24, 95);
  for (int bits : {1, 4, 8, 24}) Write(root + "/bmp/p" + std::to_string(bits) + ".bmp", zoimg::BMP_UNCOMPRESSED, bits);
  Write(root + "/jpeg/grey.jpg", zoimg::JPEG, 8);
  Write(root + "/jpeg/colour.jpg", zoimg::JPEG, 24);
  Write(root + "/jpeg/colour444.jpg", zoimg::JPEG, 24, 95);
  // The PDF seeds are a bonus for the PDF reader's target: left out quietly
  // when PDF pages cannot be written.
  if (zoimg::WritePage(root + "/pdf/g4.pdf", zoimg::PDF, Page(1, 45, 23), 75) == zoimg::kOk)
    zoimg::WritePage(root + "/pdf/g4.pdf", zoimg::PDF, Page(24, 45, 23), 75);
  if (zoimg::WritePage(root + "/pdf/grey.pdf", zoimg::PDF, Page(8, 45, 23), 75) != zoimg::kOk)
    std::filesystem::remove(root + "/pdf/grey.pdf");
  return failures == 0 ? 0 : 1;
}
