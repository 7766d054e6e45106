// The PDF document through qpdf: page counts, what a page draws, the data
// of a page's one image, and appending a page of one image. C++17 (see
// pdf_document.h). qpdf repairs what it can (a broken xref is rebuilt from
// the objects); whatever it accepts is read, any exception is an error.
//
// A page is one image read directly when its content draws exactly one
// image XObject (not a stencil mask), upright and unflipped, with no other
// painting, text, shading or inline image, on a page without /Rotate; the
// image is DeviceGray, CalGray, DeviceRGB, CalRGB, ICCBased with 1 or 3
// components, or Indexed over one of those, with /Decode [0 1] or [1 0]
// per component (the default only for Indexed), and its filters are
// lossless ones qpdf decodes, a lone DCTDecode or a lone CCITTFaxDecode.
// Its /SMask or /Mask is ignored. Any other page is rendered.

// qpdf's headers: std::shared_ptr only, no PointerHolder.
#define POINTERHOLDER_TRANSITION 4

#include "pdf_document.h"

#include <qpdf/JSON.hh>  // before the other qpdf headers, which use it incomplete
#include <qpdf/Buffer.hh>
#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>

namespace zoimg::detail::pdfdoc {
namespace {

constexpr size_t kMaxContentBytes = size_t(16) << 20;

// --- opening -----------------------------------------------------------

// kOk when path names a regular file we may read.
int32_t CheckReadable(const std::string& path) {
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return kOpen;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return kOpen;
  std::fclose(f);
  return kOk;
}

struct Opened {
  std::unique_ptr<QPDF> pdf;
  std::vector<QPDFObjectHandle> pages;
  int32_t error = kOk;
};

Opened Open(const std::string& path) {
  Opened o;
  if ((o.error = CheckReadable(path)) != kOk) return o;
  try {
    o.pdf = std::make_unique<QPDF>();
    o.pdf->setSuppressWarnings(true);
    o.pdf->processFile(path.c_str());
    o.pages = o.pdf->getAllPages();
  } catch (const std::bad_alloc&) {
    o.error = kNoMemory;
  } catch (...) {
    o.error = kBadFormat;
  }
  if (o.error == kOk && o.pages.size() > size_t(INT32_MAX)) o.error = kBadFormat;
  return o;
}

// --- object helpers (qpdf warns rather than throws on type errors, so
// every type is checked first) -----------------------------------------

std::optional<double> Number(QPDFObjectHandle o) {
  if (o.isInteger()) return double(o.getIntValue());
  if (o.isReal()) {
    double v = o.getNumericValue();
    if (std::isfinite(v)) return v;
  }
  return std::nullopt;
}

std::optional<int64_t> Integer(QPDFObjectHandle o) {
  if (o.isInteger()) return o.getIntValue();
  return std::nullopt;
}

std::string NameOf(QPDFObjectHandle o) { return o.isName() ? o.getName() : std::string(); }

bool BoolOf(QPDFObjectHandle o, bool fallback) { return o.isBool() ? o.getBoolValue() : fallback; }

// --- what the page draws -----------------------------------------------

struct Matrix {
  double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
  // m × t: "m cm" makes m × CTM the new CTM
  static Matrix Concat(const Matrix& m, const Matrix& t) {
    return {m.a * t.a + m.b * t.c, m.a * t.b + m.b * t.d,       m.c * t.a + m.d * t.c,
            m.c * t.b + m.d * t.d, m.e * t.a + m.f * t.c + t.e, m.e * t.b + m.f * t.d + t.f};
  }
};

// Reads the content operators, stopping at the first sign that the page is
// more than one XObject drawn.
class ContentScan final : public QPDFObjectHandle::ParserCallbacks {
 public:
  bool other = false;  // something besides one Do paints
  int doCount = 0;
  std::string doName;
  Matrix ctmAtDo;

  void handleObject(QPDFObjectHandle obj, size_t, size_t) override {
    if (!obj.isOperator()) {
      if (operands_.size() >= 16) operands_.erase(operands_.begin());
      operands_.push_back(obj);
      return;
    }
    const std::string op = obj.getOperatorValue();
    if (op == "q") {
      if (stack_.size() >= 1024) return Stop();
      stack_.push_back(ctm_);
    } else if (op == "Q") {
      if (!stack_.empty()) {
        ctm_ = stack_.back();
        stack_.pop_back();
      }
    } else if (op == "cm") {
      double v[6];
      if (operands_.size() < 6) return Stop();
      for (size_t i = 0; i < 6; ++i) {
        auto n = Number(operands_[operands_.size() - 6 + i]);
        if (!n) return Stop();
        v[i] = *n;
      }
      ctm_ = Matrix::Concat({v[0], v[1], v[2], v[3], v[4], v[5]}, ctm_);
    } else if (op == "Do") {
      if (++doCount > 1 || operands_.empty() || !operands_.back().isName()) return Stop();
      doName = operands_.back().getName();
      ctmAtDo = ctm_;
    } else if (Paints(op)) {
      return Stop();
    }
    operands_.clear();
  }
  void handleEOF() override {}

 private:
  static bool Paints(const std::string& op) {
    static const char* const kOps[] = {"S",  "s",  "f",  "F",  "f*", "B", "B*", "b",  "b*", "sh",
                                       "BI", "ID", "EI", "Tj", "TJ", "'", "\"", "d0", "d1"};
    return std::any_of(std::begin(kOps), std::end(kOps), [&](const char* p) { return op == p; });
  }
  void Stop() {
    other = true;
    terminateParsing();
  }

  std::vector<QPDFObjectHandle> operands_;
  std::vector<Matrix> stack_;
  Matrix ctm_;
};

std::vector<std::string> Filters(QPDFObjectHandle dict) {
  std::vector<std::string> names;
  QPDFObjectHandle f = dict.getKey("/Filter");
  if (f.isName()) {
    names.push_back(f.getName());
  } else if (f.isArray()) {
    for (int i = 0; i < f.getArrayNItems(); ++i) names.push_back(NameOf(f.getArrayItem(i)));
  } else if (!f.isNull()) {
    names.push_back("?");
  }
  return names;
}

// Collects decoded stream bytes up to a fixed count, then stops qpdf by
// throwing (once). qpdf clears its "filtered" flag when the pipeline
// throws, so whether the data was decoded is noted at the first write.
class CappedSink final : public Pipeline {
 public:
  struct Full : std::runtime_error {
    Full() : std::runtime_error("enough samples") {}
  };
  // countOnly: keeps nothing, notes whether more than cap bytes came.
  CappedSink(std::vector<uint8_t>& out, size_t cap, const bool* filtering, bool countOnly = false)
      : Pipeline("samples", nullptr), out_(out), cap_(cap), filtering_(filtering), countOnly_(countOnly) {}
  void write(unsigned char const* data, size_t len) override {
    if (!started_) decoded_ = *filtering_;
    started_ = true;
    if (stopped_) return;
    if (countOnly_) {
      counted_ += len;
      if (counted_ > cap_) {
        stopped_ = true;
        throw Full();
      }
      return;
    }
    size_t take = std::min(len, cap_ - out_.size());
    // grow by doubling, never past the cap
    if (out_.size() + take > out_.capacity())
      out_.reserve(std::min(cap_, std::max(out_.size() + take, 2 * out_.capacity())));
    out_.insert(out_.end(), data, data + take);
    if (out_.size() == cap_) {
      stopped_ = true;
      throw Full();
    }
  }
  void finish() override {}
  bool Decoded() const { return decoded_; }
  bool Overflowed() const { return countOnly_ && stopped_; }

 private:
  std::vector<uint8_t>& out_;
  size_t cap_;
  const bool* filtering_;
  bool countOnly_;
  size_t counted_ = 0;
  bool started_ = false, stopped_ = false, decoded_ = false;
};

struct ColourSpace {
  int comps = 0;  // 1 grey, 3 RGB; 0 unsupported
  bool indexed = false;
  std::vector<uint32_t> lut;
};

int BaseComponents(QPDFObjectHandle cs) {
  std::string name = NameOf(cs);
  if (name == "/DeviceGray" || name == "/G") return 1;
  if (name == "/DeviceRGB" || name == "/RGB") return 3;
  if (!cs.isArray() || cs.getArrayNItems() < 1) return 0;
  name = NameOf(cs.getArrayItem(0));
  if (name == "/CalGray") return 1;
  if (name == "/CalRGB") return 3;
  if (name == "/ICCBased" && cs.getArrayNItems() >= 2 && cs.getArrayItem(1).isStream()) {
    auto n = Integer(cs.getArrayItem(1).getDict().getKey("/N"));
    if (n && (*n == 1 || *n == 3)) return int(*n);
  }
  return 0;
}

ColourSpace ParseColourSpace(QPDFObjectHandle cs) {
  ColourSpace out;
  out.comps = BaseComponents(cs);
  if (out.comps != 0 || !cs.isArray() || cs.getArrayNItems() != 4) return out;
  std::string name = NameOf(cs.getArrayItem(0));
  if (name != "/Indexed" && name != "/I") return out;
  int base = BaseComponents(cs.getArrayItem(1));
  auto hival = Integer(cs.getArrayItem(2));
  if (base == 0 || !hival || *hival < 0 || *hival > 255) return out;
  QPDFObjectHandle lookup = cs.getArrayItem(3);
  std::string bytes;
  if (lookup.isString()) {
    bytes = lookup.getStringValue();
  } else if (lookup.isStream()) {
    std::vector<uint8_t> table;
    bool filtering = false;
    CappedSink sink(table, 256 * 3, &filtering);
    try {
      lookup.pipeStreamData(&sink, &filtering, 0, qpdf_dl_specialized, true, false);
    } catch (const CappedSink::Full&) {
    }
    if (sink.Decoded() || Filters(lookup.getDict()).empty()) bytes.assign(table.begin(), table.end());
  }
  const size_t entries = size_t(*hival) + 1;
  if (bytes.size() < entries * size_t(base)) return out;
  for (size_t i = 0; i < entries; ++i) {
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data()) + i * size_t(base);
    out.lut.push_back(base == 1 ? p[0] * 0x010101u : (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2]);
  }
  out.comps = 1;
  out.indexed = true;
  return out;
}

bool Lossless(const std::string& f) {
  static const char* const kNames[] = {"/FlateDecode",   "/Fl",  "/LZWDecode",       "/LZW", "/ASCIIHexDecode", "/AHx",
                                       "/ASCII85Decode", "/A85", "/RunLengthDecode", "/RL"};
  return std::any_of(std::begin(kNames), std::end(kNames), [&](const char* n) { return f == n; });
}

// A JPEG stream's frame header: size and components.
struct JpegFrame {
  int64_t width = 0, height = 0;
  int comps = 0;
};

std::optional<JpegFrame> ReadJpegFrame(const Buffer& buf) {
  const uint8_t* p = buf.getBuffer();
  const size_t n = buf.getSize();
  if (n < 4 || p[0] != 0xFF || p[1] != 0xD8) return std::nullopt;
  size_t i = 2;
  while (i + 4 <= n) {
    if (p[i] != 0xFF) return std::nullopt;
    const uint8_t marker = p[i + 1];
    if (marker == 0xFF) {  // fill byte
      ++i;
      continue;
    }
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {  // no length
      i += 2;
      continue;
    }
    const size_t len = size_t(p[i + 2]) << 8 | p[i + 3];
    if (len < 2 || i + 2 + len > n) return std::nullopt;
    const bool sof = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (sof) {
      if (len < 8) return std::nullopt;
      JpegFrame fr;
      fr.height = int64_t(p[i + 5]) << 8 | p[i + 6];
      fr.width = int64_t(p[i + 7]) << 8 | p[i + 8];
      fr.comps = p[i + 9];
      return fr;
    }
    i += 2 + len;
  }
  return std::nullopt;
}

int32_t DpiFor(int64_t pixels, double points) {
  double dpi = double(pixels) * 72.0 / points;
  if (!std::isfinite(dpi)) return 1000000;
  return int32_t(std::clamp(std::lround(dpi), 1L, 1000000L));
}

// The plan for an image XObject drawn with m; false: render the page.
bool PlanImage(QPDFObjectHandle xobj, const Matrix& m, ImagePlan* plan) {
  if (!xobj.isStream()) return false;
  QPDFObjectHandle dict = xobj.getDict();
  if (NameOf(dict.getKey("/Subtype")) != "/Image" || BoolOf(dict.getKey("/ImageMask"), false)) return false;
  // Upright and unflipped: otherwise the pixels are not the page.
  if (m.b != 0 || m.c != 0 || !(m.a > 0) || !(m.d > 0)) return false;

  ImagePlan p;
  auto w = Integer(dict.getKey("/Width")), h = Integer(dict.getKey("/Height"));
  if (!w || !h || *w <= 0 || *h <= 0 || *w > INT32_MAX || *h > INT32_MAX) return false;
  p.width = int32_t(*w);
  p.height = int32_t(*h);

  QPDFObjectHandle parms = QPDFObjectHandle::newNull();
  const std::vector<std::string> filters = Filters(dict);
  if (std::all_of(filters.begin(), filters.end(), Lossless)) {
    p.codec = Codec::kSamples;
  } else if (filters.size() == 1 && (filters[0] == "/DCTDecode" || filters[0] == "/DCT")) {
    p.codec = Codec::kDct;
  } else if (filters.size() == 1 && (filters[0] == "/CCITTFaxDecode" || filters[0] == "/CCF")) {
    p.codec = Codec::kCcitt;
    parms = dict.getKey("/DecodeParms");
    if (parms.isArray()) parms = parms.getArrayNItems() > 0 ? parms.getArrayItem(0) : QPDFObjectHandle::newNull();
  } else {
    return false;
  }

  ColourSpace cs = ParseColourSpace(dict.getKey("/ColorSpace"));
  if (cs.comps == 0) return false;
  p.comps = cs.comps;
  p.indexed = cs.indexed;
  p.lut = std::move(cs.lut);

  auto bpc = Integer(dict.getKey("/BitsPerComponent"));
  p.bpc = bpc ? int(std::clamp<int64_t>(*bpc, 0, 64)) : (p.codec == Codec::kCcitt ? 1 : 0);
  if (p.codec == Codec::kCcitt) {
    if (p.bpc != 1 || p.comps != 1 || p.indexed) return false;
    auto get = [&](const char* key) { return parms.isDictionary() ? parms.getKey(key) : QPDFObjectHandle::newNull(); };
    auto columns = Integer(get("/Columns"));
    if ((columns ? *columns : 1728) != p.width) return false;
    auto k = Integer(get("/K"));
    p.k = k ? int32_t(std::clamp<int64_t>(*k, -1, 1000000)) : 0;
    p.blackIs1 = BoolOf(get("/BlackIs1"), false);
    p.byteAlign = BoolOf(get("/EncodedByteAlign"), false);
  } else if (p.codec == Codec::kDct) {
    if (p.indexed) return false;
    auto frame = ReadJpegFrame(*xobj.getRawStreamData());
    if (!frame || frame->comps != p.comps || frame->width != p.width || frame->height != p.height) return false;
    p.bpc = 8;
  } else {
    const bool bpcOk = p.bpc == 1 || p.bpc == 2 || p.bpc == 4 || p.bpc == 8 || p.bpc == 16;
    if (!bpcOk || (p.indexed && p.bpc == 16)) return false;
    if (p.indexed && p.lut.size() < (size_t(1) << p.bpc)) p.lut.resize(size_t(1) << p.bpc, 0);
  }

  QPDFObjectHandle decode = dict.getKey("/Decode");
  if (decode.isArray()) {
    if (decode.getArrayNItems() != 2 * p.comps) return false;
    for (int i = 0; i < p.comps; ++i) {
      auto lo = Number(decode.getArrayItem(2 * i)), hi = Number(decode.getArrayItem(2 * i + 1));
      if (!lo || !hi) return false;
      const double full = p.indexed ? double((1 << p.bpc) - 1) : 1.0;
      if (*lo == 0 && *hi == full) continue;
      if (p.indexed || *lo != 1 || *hi != 0) return false;
      p.invert[i] = true;
    }
  }
  // DCT images are inverted as a whole: one component's [1 0] alone is not
  // read directly.
  if (p.codec == Codec::kDct && p.comps == 3 && !(p.invert[0] == p.invert[1] && p.invert[1] == p.invert[2]))
    return false;

  if (p.indexed)
    p.outBits =
        std::all_of(p.lut.begin(), p.lut.end(), [](uint32_t c) { return c == (c & 0xFF) * 0x010101u; }) ? 8 : 24;
  else
    p.outBits = p.comps == 3 ? 24 : p.bpc == 1 ? 1 : 8;
  p.xDpi = DpiFor(p.width, m.a);
  p.yDpi = DpiFor(p.height, m.d);
  *plan = std::move(p);
  return true;
}

// Width or height of the page's crop box, clipped to its media box.
double BoxSide(QPDFObjectHandle crop, QPDFObjectHandle media, bool horizontal) {
  auto rect = [](QPDFObjectHandle o) -> std::optional<QPDFObjectHandle::Rectangle> {
    if (!o.isRectangle()) return std::nullopt;
    auto r = o.getArrayAsRectangle();
    if (!std::isfinite(r.llx) || !std::isfinite(r.lly) || !std::isfinite(r.urx) || !std::isfinite(r.ury))
      return std::nullopt;
    return QPDFObjectHandle::Rectangle(std::min(r.llx, r.urx), std::min(r.lly, r.ury), std::max(r.llx, r.urx),
                                       std::max(r.lly, r.ury));
  };
  auto m = rect(media);
  if (!m) m = QPDFObjectHandle::Rectangle(0, 0, 612, 792);  // US Letter, as viewers assume
  QPDFObjectHandle::Rectangle r = *m;
  if (auto c = rect(crop)) {
    r.llx = std::max(r.llx, c->llx);
    r.lly = std::max(r.lly, c->lly);
    r.urx = std::min(r.urx, c->urx);
    r.ury = std::min(r.ury, c->ury);
    if (r.urx <= r.llx || r.ury <= r.lly) r = *m;
  }
  return horizontal ? r.urx - r.llx : r.ury - r.lly;
}

// The plan of a page, and the image stream when it is read directly.
PagePlan PlanPage(QPDFObjectHandle pageObj, QPDFObjectHandle* stream) {
  PagePlan plan;
  QPDFPageObjectHelper page(pageObj);
  QPDFObjectHandle media = page.getAttribute("/MediaBox", false);
  QPDFObjectHandle crop = page.getAttribute("/CropBox", false);
  plan.widthPt = BoxSide(crop, media, true);
  plan.heightPt = BoxSide(crop, media, false);
  auto rotate = Integer(page.getAttribute("/Rotate", false));
  const int64_t quarter = rotate ? ((*rotate % 360 + 360) % 360) / 90 : 0;
  if (quarter % 2) std::swap(plan.widthPt, plan.heightPt);
  if (quarter != 0) return plan;

  // qpdf parses content held whole in memory: a page whose content decodes
  // to more than kMaxContentBytes is left to the renderer, which streams.
  std::vector<uint8_t> none;
  bool filtering = true;
  CappedSink counter(none, kMaxContentBytes, &filtering, true);
  try {
    page.pipeContents(&counter);
  } catch (const CappedSink::Full&) {
  } catch (const std::bad_alloc&) {
    throw;
  } catch (...) {
    return plan;
  }
  if (counter.Overflowed()) return plan;

  ContentScan scan;
  try {
    page.parseContents(&scan);
  } catch (const std::bad_alloc&) {
    throw;
  } catch (...) {
    return plan;  // unreadable content: the renderer does what it can
  }
  if (scan.other || scan.doCount != 1) return plan;
  QPDFObjectHandle resources = page.getAttribute("/Resources", false);
  if (!resources.isDictionary()) return plan;
  QPDFObjectHandle xobjects = resources.getKey("/XObject");
  if (!xobjects.isDictionary()) return plan;
  QPDFObjectHandle xobj = xobjects.getKey(scan.doName);
  if (PlanImage(xobj, scan.ctmAtDo, &plan.image)) {
    plan.direct = true;
    *stream = xobj;
  }
  return plan;
}

uint64_t OutputBytes(int64_t w, int64_t h, int32_t bits) {
  return ((uint64_t(w) * uint64_t(bits) + 31) / 32) * 4 * uint64_t(h);
}

int32_t FetchData(const ImagePlan& plan, QPDFObjectHandle stream, std::vector<uint8_t>* data) {
  if (OutputBytes(plan.width, plan.height, plan.outBits) > kMaxBytes) return kNoMemory;
  if (plan.codec != Codec::kSamples) {
    auto raw = stream.getRawStreamData();
    data->assign(raw->getBuffer(), raw->getBuffer() + raw->getSize());
    return kOk;
  }
  const uint64_t rowBytes = (uint64_t(plan.width) * uint64_t(plan.comps) * uint64_t(plan.bpc) + 7) / 8;
  const uint64_t need = rowBytes * uint64_t(plan.height);
  if (need > kMaxBytes) return kNoMemory;
  data->clear();
  bool filtering = false;
  CappedSink sink(*data, size_t(need), &filtering);
  try {
    stream.pipeStreamData(&sink, &filtering, 0, qpdf_dl_specialized, true, false);
  } catch (const CappedSink::Full&) {
  }
  // qpdf passes data it cannot decode through unchanged: no sample data.
  if (data->size() < need || (!sink.Decoded() && !Filters(stream.getDict()).empty())) return kBadFormat;
  return kOk;
}

// --- writing -----------------------------------------------------------

// A number as PDF writes it: fixed point, at most 4 decimals, no trailing
// zeros, whatever the locale.
std::string Num(double v) {
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 4);
  if (ec != std::errc()) return "0";
  std::string s(buf, end);
  if (s.find('.') != std::string::npos) {
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
  }
  return s == "-0" ? "0" : s;
}

QPDFObjectHandle ImageStream(QPDF& pdf, const NewImage& image) {
  auto buf = std::make_shared<Buffer>(image.data.size());
  if (!image.data.empty()) std::memcpy(buf->getBuffer(), image.data.data(), image.data.size());
  QPDFObjectHandle filter, parms = QPDFObjectHandle::newNull();
  if (image.ccitt) {
    // Black runs decode to 0 bits (BlackIs1 false), which DeviceGray shows
    // black: the page looks like the image with no /Decode.
    filter = QPDFObjectHandle::newName("/CCITTFaxDecode");
    parms = QPDFObjectHandle::newDictionary();
    parms.replaceKey("/K", QPDFObjectHandle::newInteger(-1));
    parms.replaceKey("/Columns", QPDFObjectHandle::newInteger(image.width));
    parms.replaceKey("/Rows", QPDFObjectHandle::newInteger(image.height));
    parms.replaceKey("/BlackIs1", QPDFObjectHandle::newBool(false));
  } else {
    filter = QPDFObjectHandle::newName("/DCTDecode");
  }
  QPDFObjectHandle stream = pdf.newStream();
  stream.replaceStreamData(buf, filter, parms);
  QPDFObjectHandle dict = stream.getDict();
  dict.replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
  dict.replaceKey("/Subtype", QPDFObjectHandle::newName("/Image"));
  dict.replaceKey("/Width", QPDFObjectHandle::newInteger(image.width));
  dict.replaceKey("/Height", QPDFObjectHandle::newInteger(image.height));
  dict.replaceKey("/ColorSpace", QPDFObjectHandle::newName(image.rgb ? "/DeviceRGB" : "/DeviceGray"));
  dict.replaceKey("/BitsPerComponent", QPDFObjectHandle::newInteger(image.ccitt ? 1 : 8));
  return stream;
}

void AddPage(QPDF& pdf, const NewImage& image) {
  const std::string w = Num(image.widthPt), h = Num(image.heightPt);
  QPDFObjectHandle contents = pdf.newStream("q " + w + " 0 0 " + h + " 0 0 cm /Im0 Do Q\n");
  QPDFObjectHandle xobjects = QPDFObjectHandle::newDictionary();
  xobjects.replaceKey("/Im0", ImageStream(pdf, image));
  QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
  resources.replaceKey("/XObject", xobjects);
  resources.replaceKey("/ProcSet", QPDFObjectHandle::parse(image.rgb ? "[/PDF /ImageC]" : "[/PDF /ImageB]"));
  QPDFObjectHandle page = QPDFObjectHandle::newDictionary();
  page.replaceKey("/Type", QPDFObjectHandle::newName("/Page"));
  page.replaceKey("/MediaBox", QPDFObjectHandle::parse("[0 0 " + w + " " + h + "]"));
  page.replaceKey("/Resources", resources);
  page.replaceKey("/Contents", contents);
  QPDFPageDocumentHelper(pdf).addPage(QPDFPageObjectHelper(pdf.makeIndirectObject(page)), false);
}

// qpdf's output, handed on to the caller's sink.
class SinkPipeline final : public Pipeline {
 public:
  explicit SinkPipeline(const std::function<bool(const uint8_t*, size_t)>& sink)
      : Pipeline("output", nullptr), sink_(sink) {}
  void write(unsigned char const* data, size_t len) override {
    if (!sink_(data, len)) throw std::runtime_error("output failed");
  }
  void finish() override {}

 private:
  const std::function<bool(const uint8_t*, size_t)>& sink_;
};

}  // namespace

int32_t PageCount(const std::string& path) noexcept {
  try {
    Opened o = Open(path);
    return o.error != kOk ? -o.error : int32_t(o.pages.size());
  } catch (const std::bad_alloc&) {
    return -kNoMemory;
  } catch (...) {
    return -kBadFormat;
  }
}

int32_t Fetch(const std::string& path, int32_t page, PagePlan* plan, std::vector<uint8_t>* data) noexcept {
  try {
    Opened o = Open(path);
    if (o.error != kOk) return o.error;
    if (page < 1 || size_t(page) > o.pages.size()) return kPageNotFound;
    QPDFObjectHandle stream;
    *plan = PlanPage(o.pages[size_t(page - 1)], &stream);
    if (data == nullptr || !plan->direct) return kOk;
    return FetchData(plan->image, stream, data);
  } catch (const std::bad_alloc&) {
    return kNoMemory;
  } catch (...) {
    return kBadFormat;
  }
}

int32_t Describe(const std::string& path, int32_t page, PagePlan* plan) noexcept {
  return Fetch(path, page, plan, nullptr);
}

int32_t AppendImagePage(const std::string& path, bool existing, const NewImage& image,
                        const std::function<bool(const uint8_t*, size_t)>& sink) noexcept {
  try {
    QPDF pdf;
    pdf.setSuppressWarnings(true);
    if (existing) {
      try {
        pdf.processFile(path.c_str());
        (void)pdf.getAllPages();  // a page tree qpdf cannot walk is no PDF to append to
      } catch (const std::bad_alloc&) {
        return kNoMemory;
      } catch (...) {
        return kBadFormat;
      }
    } else {
      pdf.emptyPDF();
    }
    AddPage(pdf, image);
    SinkPipeline out(sink);
    QPDFWriter writer(pdf);
    writer.setOutputPipeline(&out);
    writer.write();
    return kOk;
  } catch (const std::bad_alloc&) {
    return kNoMemory;
  } catch (...) {
    return kWrite;
  }
}

}  // namespace zoimg::detail::pdfdoc
