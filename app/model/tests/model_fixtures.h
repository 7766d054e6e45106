// Helpers shared by the working file model's tests: tagged page images that
// tell which page a loaded image is, a fast writer of tagged TIFF files, a
// view layout the test sets, a save prompt stand-in that discards, and the
// temporary files in a folder. Header only, so each test source takes what
// it uses.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "ZoImgFileIO.h"
#include "model/vexo_file_info.h"

namespace modeltest {

// A page 256 × 8 pixels carrying a 32-bit tag as 32 blocks of 8 × 8 pixels,
// most significant bit first, black for a set bit. The blocks sit on the
// JPEG block grid, so the tag survives every file type the layer writes.
// bitsPerPixel 1 (set bits black) or 8 (grey ramp).
inline zoimg::PageImage TaggedPage(uint32_t tag, int bitsPerPixel = 1) {
  zoimg::PageImage img;
  img.width = 256;
  img.height = 8;
  img.bitsPerPixel = bitsPerPixel;
  img.xDpi = img.yDpi = 200;
  if (bitsPerPixel == 1) {
    img.palette = {0xFFFFFFu, 0x000000u};
  } else {
    for (uint32_t i = 0; i < 256; ++i) img.palette.push_back(i * 0x010101u);
  }
  const uint32_t stride = img.Stride();
  img.pixels.assign(size_t(stride) * 8, bitsPerPixel == 1 ? 0x00 : 0xFF);
  for (int bit = 0; bit < 32; ++bit) {
    if (((tag >> (31 - bit)) & 1u) == 0) continue;
    for (int y = 0; y < 8; ++y) {
      uint8_t* row = img.pixels.data() + size_t(y) * stride;
      if (bitsPerPixel == 1) {
        row[bit] = 0xFF;  // 8 pixels = one byte
      } else {
        std::fill(row + bit * 8, row + bit * 8 + 8, uint8_t(0));
      }
    }
  }
  return img;
}

// Whether the pixel is dark, for 1, 8 and 24-bit images.
inline bool DarkPixel(const zoimg::PageImage& img, int x, int y) {
  const uint8_t* row = img.pixels.data() + size_t(y) * img.Stride();
  switch (img.bitsPerPixel) {
    case 1:
      return (row[x / 8] >> (7 - x % 8)) & 1u;
    case 8: {
      const uint32_t c = row[x] < img.palette.size() ? img.palette[row[x]] : 0;
      return ((c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF)) < 3 * 128;
    }
    case 24:
      return (int(row[3 * x]) + row[3 * x + 1] + row[3 * x + 2]) < 3 * 128;
    default:
      return false;
  }
}

// The tag of a TaggedPage after a round trip; false for anything else.
inline bool ReadTag(const zoimg::PageImage& img, uint32_t* tag) {
  if (img.width != 256 || img.height != 8 || !img.IsValid()) return false;
  uint32_t t = 0;
  for (int bit = 0; bit < 32; ++bit) t = (t << 1) | (DarkPixel(img, bit * 8 + 4, 4) ? 1u : 0u);
  *tag = t;
  return true;
}

// Appends one tagged page (TIFF types) or writes the file (BMP, JPEG).
// JPEG pages are written 8-bit, every other type 1-bit.
inline bool WriteTaggedPage(const std::string& path, int type, uint32_t tag) {
  const int bits = type == zoimg::JPEG ? 8 : 1;
  return zoimg::WritePage(path, type, TaggedPage(tag, bits), 90) == zoimg::kOk;
}

// A fresh file of tagged pages, one per tag (TIFF types for more than one).
inline bool WriteTaggedFile(const std::string& path, int type, const std::vector<uint32_t>& tags) {
  std::error_code ec;
  std::filesystem::remove(path, ec);
  for (uint32_t tag : tags) {
    if (!WriteTaggedPage(path, type, tag)) return false;
  }
  return true;
}

// Uncompressed TIFF files of tagged pages for tests that write thousands of
// them. The layer makes every write durable (a flush per page), which is
// right for the program and far too slow here: the layer writes one
// template per page count once, and each file is a plain copy of a template
// with the tag blocks of its pages rewritten in the strip bytes.
class TaggedTiffWriter {
 public:
  // folder: the test's own folder, for the templates.
  explicit TaggedTiffWriter(std::string folder) : folder_(std::move(folder)) {}

  // A fresh file at path with one page per tag (at least one).
  bool Write(const std::string& path, const std::vector<uint32_t>& tags) {
    const Template* t = TemplateFor(tags.size());
    if (!t) return false;
    std::vector<uint8_t> bytes = t->bytes;
    for (size_t i = 0; i < tags.size(); ++i) {
      const std::vector<uint8_t> strip = Strip(tags[i]);
      std::copy(strip.begin(), strip.end(), bytes.begin() + std::ptrdiff_t(t->offsets[i]));
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(out.flush());
  }

 private:
  struct Template {
    std::vector<uint8_t> bytes;
    std::vector<size_t> offsets;  // of each page's strip
  };

  // The strip bytes of a TaggedPage: 8 rows of 32 bytes, set bits black.
  static std::vector<uint8_t> Strip(uint32_t tag) {
    std::vector<uint8_t> s(256);
    for (size_t i = 0; i < s.size(); ++i) s[i] = ((tag >> (31 - i % 32)) & 1u) ? 0xFF : 0x00;
    return s;
  }

  const Template* TemplateFor(size_t pages) {
    if (pages == 0) return nullptr;
    if (auto it = templates_.find(pages); it != templates_.end()) return &it->second;
    const std::string path = folder_ + "template" + std::to_string(pages) + ".tif";
    std::vector<uint32_t> markers;
    for (size_t i = 0; i < pages; ++i) markers.push_back(0xA5C30000u + uint32_t(i) * 0x0101u + 0x3Cu);
    if (!WriteTaggedFile(path, zoimg::TIFF_UNCOMPRESSED, markers)) return nullptr;
    std::ifstream in(path, std::ios::binary);
    Template t;
    t.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    for (uint32_t m : markers) {
      const std::vector<uint8_t> strip = Strip(m);
      const auto at = std::search(t.bytes.begin(), t.bytes.end(), strip.begin(), strip.end());
      if (at == t.bytes.end()) return nullptr;  // the strip is not stored as rows of raw bits
      t.offsets.push_back(size_t(at - t.bytes.begin()));
    }
    return &templates_.emplace(pages, std::move(t)).first->second;
  }

  std::string folder_;
  std::map<size_t, Template> templates_;
};

// The document views' layout, as the test sets it.
class FixedLayout : public ViewLayoutOwner {
 public:
  int SeparationLayout() const noexcept override { return layout; }
  bool PairDisplay() const noexcept override { return pairs; }
  int layout = 0;
  bool pairs = false;
};

// Stands in for the close-time save prompts: records what it was handed and
// ends every modified file as a save does, with DiscardChanges for its
// modified sides.
class DiscardingSaver : public CloseTimeSaver {
 public:
  struct Call {
    std::vector<ModifiedFile> flags;
    bool ask = false;
  };
  void SaveModifiedFiles(CVEXOFileInfo& model, const std::vector<ModifiedFile>& flags, bool ask) override {
    calls.push_back({flags, ask});
    for (size_t f = 0; f < flags.size(); ++f) {
      if (flags[f].Modified()) model.DiscardChanges(static_cast<int>(f), flags[f].side1 == 1, flags[f].side2 == 1);
    }
  }
  std::vector<Call> calls;
};

// Names (not paths) of the files in folder ending in ".tmp", sorted.
inline std::vector<std::string> TempFileNames(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".tmp") == 0) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace modeltest
