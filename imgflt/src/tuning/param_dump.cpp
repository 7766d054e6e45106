// The parameter dump: file naming and numbering, and the field lines of
// HUX_IMG_INF, HUX_IMG_FILTER_PARAM (with its sub-areas, overlay and
// dynamic-threshold table) and CIM_INFO. Texts are UTF-8.
#include "tuning/param_dump.h"

#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <initializer_list>
#include <sys/stat.h>

#include "platform/syserror.h"
#include "tuning/tuning_ini.h"

namespace imgflt::dump {

namespace {

constexpr size_t kMaxImages = 2, kMaxParams = 4, kMaxCims = 3;

struct Name {
  int value;
  const char* name;
};
using Names = std::initializer_list<Name>;

const Names kOnOff = {{IMG_FLT_OFF, "IMG_FLT_OFF"}, {IMG_FLT_ON, "IMG_FLT_ON"}};
const Names kOnOffSpecified = {
    {IMG_FLT_OFF, "IMG_FLT_OFF"}, {IMG_FLT_ON, "IMG_FLT_ON"}, {IMG_FLT_SPECIFIED, "IMG_FLT_SPECIFIED"}};
const Names kBitsPixel = {{IMG_FLT_BITSPIXEL1, "IMG_FLT_BITSPIXEL1"},
                          {IMG_FLT_BITSPIXEL4, "IMG_FLT_BITSPIXEL4"},
                          {IMG_FLT_BITSPIXEL8, "IMG_FLT_BITSPIXEL8"},
                          {IMG_FLT_BITSPIXEL24, "IMG_FLT_BITSPIXEL24"}};
const Names kUpDown = {{IMG_FLT_UPDOWN_NORMAL, "IMG_FLT_UPDOWN_NORMAL"},
                       {IMG_FLT_UPDOWN_TURNOVER, "IMG_FLT_UPDOWN_TURNOVER"}};
const Names kColorOrder = {
    {IMG_FLT_COLOR_RGB, "IMG_FLT_COLOR_RGB"}, {IMG_FLT_COLOR_BGR, "IMG_FLT_COLOR_BGR"},
    {IMG_FLT_COLOR_YCC, "IMG_FLT_COLOR_YCC"}};
const Names kLineAlign = {{IMG_FLT_MEM_BNDRY16, "IMG_FLT_MEM_BNDRY16"},
                          {IMG_FLT_MEM_BNDRY32, "IMG_FLT_MEM_BNDRY32"}};
const Names kBuffKind = {{IMG_FLT_MEMAREA_ORGN, "IMG_FLT_MEMAREA_ORGN"},
                         {IMG_FLT_MEMAREA_NEW, "IMG_FLT_MEMAREA_NEW"}};
const Names kFixedPosition = {{IMG_FLT_FIXED_CENTER, "IMG_FLT_FIXED_CENTER"},
                              {IMG_FLT_FIXED_LEFT, "IMG_FLT_FIXED_LEFT"},
                              {IMG_FLT_FIXED_RIGHT, "IMG_FLT_FIXED_RIGHT"}};
const Names kGamma = {{IMG_FLT_GAMMA_OFF, "IMG_FLT_GAMMA_OFF"},
                      {IMG_FLT_GAMMA_CSTM, "IMG_FLT_GAMMA_CSTM"},
                      {IMG_FLT_GAMMA_STD, "IMG_FLT_GAMMA_STD"},
                      {IMG_FLT_GAMMA_CRT, "IMG_FLT_GAMMA_CRT"}};
const Names kFill = {{IMG_FLT_COMP_BLACK, "IMG_FLT_COMP_BLACK"}, {IMG_FLT_COMP_WHITE, "IMG_FLT_COMP_WHITE"}};
const Names kDetection = {{IMG_FLT_DETECT_NORMAL, "IMG_FLT_DETECT_NORMAL"},
                          {IMG_FLT_DETECT_ENHANCED, "IMG_FLT_DETECT_ENHANCED"}};
const Names kBinaryMode = {{IMG_FLT_THRESHOLD, "IMG_FLT_THRESHOLD"},
                           {IMG_FLT_HALFTONE, "IMG_FLT_HALFTONE"},
                           {IMG_FLT_DTH, "IMG_FLT_DTH"},
                           {IMG_FLT_ASEPARATION, "IMG_FLT_ASEPARATION"},
                           {IMG_FLT_BINARY_OFF, "IMG_FLT_BINARY_OFF"}};
const Names kHalftone = {{IMG_FLT_ERRDFSN, "IMG_FLT_ERRDFSN"},
                         {IMG_FLT_BDITHER64, "IMG_FLT_BDITHER64"},
                         {IMG_FLT_BDITHER16, "IMG_FLT_BDITHER16"},
                         {IMG_FLT_DOT45, "IMG_FLT_DOT45"},
                         {IMG_FLT_DOT0, "IMG_FLT_DOT0"},
                         {IMG_FLT_CUSTOM_DITHER, "IMG_FLT_CUSTOM_DITHER"}};
const Names kNoiseKind = {{IMG_FLT_RMVNS_WHITE, "IMG_FLT_RMVNS_WHITE"},
                          {IMG_FLT_RMVNS_BLACK, "IMG_FLT_RMVNS_BLACK"}};
const Names kScanner = {{SCANNER_MODEL_1, "SCANNER_MODEL_1"},   {SCANNER_MODEL_2, "SCANNER_MODEL_2"},
                        {SCANNER_MODEL_3, "SCANNER_MODEL_3"},   {SCANNER_MODEL_4, "SCANNER_MODEL_4"},
                        {SCANNER_MODEL_5, "SCANNER_MODEL_5"},   {SCANNER_MODEL_6, "SCANNER_MODEL_6"},
                        {SCANNER_MODEL_7, "SCANNER_MODEL_7"},   {SCANNER_MODEL_8, "SCANNER_MODEL_8"},
                        {SCANNER_MODEL_9, "SCANNER_MODEL_9"},   {SCANNER_MODEL_9_ALT, "SCANNER_MODEL_9"},
                        {SCANNER_MODEL_10, "SCANNER_MODEL_10"}};
const Names kWLine = {{IMG_FLT_WLINE_NONE, "IMG_FLT_WLINE_NONE"}, {IMG_FLT_WLINE_LEFT, "IMG_FLT_WLINE_LEFT"}};
const Names kMtf = {{IMG_FLT_MTF_OFF, "IMG_FLT_MTF_OFF"},       {IMG_FLT_MTF_NONE, "IMG_FLT_MTF_NONE"},
                    {IMG_FLT_MTF_LOW, "IMG_FLT_MTF_LOW"},       {IMG_FLT_MTF_MEDIUM, "IMG_FLT_MTF_MEDIUM"},
                    {IMG_FLT_MTF_HIGH, "IMG_FLT_MTF_HIGH"},     {IMG_FLT_MTF_SMOOTH, "IMG_FLT_MTF_SMOOTH"}};
const Names kDropout = {{IMG_FLT_DROPOUT_WHITE, "IMG_FLT_DROPOUT_WHITE"},
                        {IMG_FLT_DROPOUT_RED, "IMG_FLT_DROPOUT_RED"},
                        {IMG_FLT_DROPOUT_GREEN, "IMG_FLT_DROPOUT_GREEN"},
                        {IMG_FLT_DROPOUT_BLUE, "IMG_FLT_DROPOUT_BLUE"}};
const Names kToGray = {
    {IMG_FLT_OFF, "IMG_FLT_OFF"}, {IMG_FLT_BITSPIXEL4, "IMG_FLT_BITSPIXEL4"}, {IMG_FLT_BITSPIXEL8, "IMG_FLT_BITSPIXEL8"}};
const Names kBackground = {{IMG_FLT_BKGD_WHITE, "IMG_FLT_BKGD_WHITE"},
                           {IMG_FLT_BKGD_BLACK, "IMG_FLT_BKGD_BLACK"},
                           {IMG_FLT_BKGD_UNKNOWN, "IMG_FLT_BKGD_UNKNOWN"}};
const Names kAngle = {{IMG_FLT_ANGLE_0, "IMG_FLT_ANGLE_0"},
                      {IMG_FLT_ANGLE_90, "IMG_FLT_ANGLE_90"},
                      {IMG_FLT_ANGLE_180, "IMG_FLT_ANGLE_180"},
                      {IMG_FLT_ANGLE_270, "IMG_FLT_ANGLE_270"}};
const Names kDrawMode = {{IMG_FLT_SI_HUM, "IMG_FLT_SI_HUM"}, {IMG_FLT_SI_OR, "IMG_FLT_SI_OR"},
                         {IMG_FLT_SI_XOR, "IMG_FLT_SI_XOR"}};
const Names kStrDir = {{STR_DIR_TOP_TO_BOTTOM, "STR_DIR_TOP_TO_BOTTOM"},
                       {STR_DIR_BOTTOM_TO_TOP, "STR_DIR_BOTTOM_TO_TOP"},
                       {STR_DIR_LEFT_TO_RIGHT, "STR_DIR_LEFT_TO_RIGHT"},
                       {STR_DIR_RIGHT_TO_LEFT, "STR_DIR_RIGHT_TO_LEFT"}};
const Names kMngKind = {{COLOR_NONE, "COLOR_NONE"},   {COLOR_CONVERT, "色変換"}, {COLOR_EXTRACT, "色抽出"},
                        {COLOR_MASK, "マスク"},       {COLOR_CUTOUT, "色切出"},  {COLOR_JUDGE, "色判定"},
                        {COLOR_JUDGE_CONVERT, "色連動"}};

class Writer {
 public:
  void Printf(const char* format, ...) __attribute__((format(printf, 2, 3))) {
    char buffer[512];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (n > 0) text_.append(buffer, static_cast<size_t>(n) < sizeof buffer ? static_cast<size_t>(n) : sizeof buffer - 1);
  }
  void Raw(std::string_view s) { text_.append(s); }

  // "\t<field>[<dir>], <value> \n"
  void Unsigned(const char* field, const char* dir, uint64_t v) { Printf("\t%s[%s], %" PRIu64 " \n", field, dir, v); }
  void Signed(const char* field, const char* dir, int64_t v) { Printf("\t%s[%s], %" PRId64 " \n", field, dir, v); }
  void Pointer(const char* field, const char* dir, const void* p) {
    Printf("\t%s[%s], 0x%" PRIxPTR " \n", field, dir, reinterpret_cast<uintptr_t>(p));
  }
  // Enumerated field: its name, or the error line for a value outside the list.
  void Enum(const char* field, const char* dir, int v, const Names& names) {
    for (const Name& n : names) {
      if (n.value == v) {
        Printf("\t%s[%s], %s \n", field, dir, n.name);
        return;
      }
    }
    Printf("\t%s, ???? %s error ????, %d \n", field, field, v);
  }
  // Tone fields: "nothing" for 0.
  void Tone(const char* field, const char* dir, int v) {
    if (v == 0) Printf("\t%s[%s], nothing \n", field, dir);
    else Printf("\t%s[%s], %d \n", field, dir, v);
  }
  // A 256-entry curve, 8 values to a line.
  void Curve(const char* field, const char* dir, const uint8_t* curve) {
    Printf("\t%s[%s], \n", field, dir);
    for (int i = 0; i < 256; i += 8) {
      Raw("\t");
      for (int j = 0; j < 8; ++j) Printf("%3d,", curve[i + j]);
      Raw("\n");
    }
  }
  void Text(const char* field, const char* dir, const char* s) {
    if (s == nullptr) Printf("\t%s[%s], NULL \n", field, dir);
    else {
      Printf("\t%s[%s], ", field, dir);
      Raw(s);
      Raw(" \n");
    }
  }

  std::string Take() { return std::move(text_); }

 private:
  std::string text_;
};

void DumpImage(Writer& w, int index, const HUX_IMG_INF& r) {
  w.Printf("<<< HUX_IMG_INF [%d] (画像関連情報) >>>\n", index);
  w.Pointer("pOrgImg", "IN/OUT", r.pOrgImg);
  w.Unsigned("dwWidth", "IN/OUT", r.dwWidth);
  w.Unsigned("dwHeight", "IN/OUT", r.dwHeight);
  w.Enum("bitsPixel", "IN/OUT", r.bitsPixel, kBitsPixel);
  w.Enum("dataDIB", "IN", r.dataDIB, kOnOff);
  w.Enum("dataUpDown", "IN", r.dataUpDown, kUpDown);
  w.Enum("orderRGB", "IN", r.orderRGB, kColorOrder);
  w.Enum("inLineAlign", "IN", r.inLineAlign, kLineAlign);
  w.Enum("outLineAlign", "IN", r.outLineAlign, kLineAlign);
  w.Enum("outBuffKind", "OUT", r.outBuffKind, kBuffKind);
  w.Printf("\thOutBuff[OUT](有効時のみ), 0x%" PRIxPTR " \n", reinterpret_cast<uintptr_t>(r.hOutBuff));
  w.Unsigned("imgDpiX", "IN", r.imgDpiX);
  w.Unsigned("imgDpiY", "IN", r.imgDpiY);
}

void DumpSubArea(Writer& w, int number, const SUBAREA_PARAM& s) {
  w.Printf("$$$$ subArea%d[IN] $$$$\n", number);
  w.Enum("enable", "IN", s.enable, kOnOff);
  w.Unsigned("dwLeft", "IN", s.dwLeft);
  w.Unsigned("dwTop", "IN", s.dwTop);
  w.Unsigned("dwWidth", "IN", s.dwWidth);
  w.Unsigned("dwHeight", "IN", s.dwHeight);
  w.Enum("gamma", "IN", s.gamma, kOnOff);
  w.Curve("gamma_s", "IN", s.gamma_s);
  w.Enum("binaryMode", "IN", s.binaryMode, kBinaryMode);
  w.Enum("halftoneKind", "IN", s.halftoneKind, kHalftone);
  w.Tone("brightness", "IN", s.brightness);
  w.Tone("threshold", "IN", s.threshold);
  w.Pointer("pCustomDither", "IN", s.pCustomDither);
}

void DumpSuperImpose(Writer& w, const SUPERIMPOSE_PARAM& s) {
  w.Raw("\t,\t++++ SuperImpose ++++ [IN] \n");
  w.Text("string", "IN", s.string);
  w.Unsigned("bndRectX", "IN", s.bndRectX);
  w.Unsigned("bndRectY", "IN", s.bndRectY);
  w.Text("fontName", "IN", s.fontName);
  w.Printf("\tfontColor(B, G, R)[IN], %d, %d, %d \n", s.fontColor[0], s.fontColor[1], s.fontColor[2]);
  w.Unsigned("fontSize", "IN", s.fontSize);
  w.Enum("drawMode", "IN", s.drawMode, kDrawMode);
  w.Enum("strAngle", "IN", s.strAngle, kAngle);
  w.Enum("strDir", "IN", s.strDir, kStrDir);
  w.Enum("bold", "IN", s.bold, kOnOff);
}

void DumpParam(Writer& w, int index, const HUX_IMG_FILTER_PARAM& p) {
  w.Printf("<<< HUX_IMG_FILTER_PARAM [%d] (画像編集パラメータ) >>>\n", index);
  w.Unsigned("verNo", "IN", p.verNo);
  w.Enum("deskew", "IN", p.deskew, kOnOffSpecified);
  w.Enum("smoothing", "IN", p.smoothing, kOnOff);
  w.Printf("\tfixedSize(cx, cy)[IN], %u, %u \n", p.fixedSize.cx, p.fixedSize.cy);
  w.Printf("\tdeskewAngle[IN/OUT], %f \n", p.deskewAngle);
  w.Enum("crop", "IN", p.crop, kOnOffSpecified);
  w.Enum("fixedPosition", "IN", p.fixedPosition, kFixedPosition);
  w.Unsigned("rotAngle(0～35999)", "IN", p.rotAngle);
  const HUX_CROP_SQUARE& c = p.cropSquare;
  w.Printf("\tcropSquare(t.x, t.y, b.x, b.y, l.x, l.y, r.x, r.y)[IN/OUT], %u, %u, %u, %u, %u, %u, %u, %u \n", c.t.x,
           c.t.y, c.b.x, c.b.y, c.l.x, c.l.y, c.r.x, c.r.y);
  w.Enum("gamma", "IN", p.gamma, kGamma);
  w.Enum("rotCut", "IN", p.rotCut, kOnOff);
  w.Enum("rotCrvcColor", "IN", p.rotCrvcColor, kFill);
  w.Enum("detectionLevel", "IN", p.detectionLevel, kDetection);
  w.Curve("gamma_r", "IN", p.gamma_r);
  w.Curve("gamma_g", "IN", p.gamma_g);
  w.Curve("gamma_b", "IN", p.gamma_b);
  w.Enum("whiteLevel", "IN", p.whiteLevel, kOnOff);
  w.Enum("binaryMode", "IN", p.binaryMode, kBinaryMode);
  w.Tone("bright", "IN", p.bright);
  w.Tone("threshold", "IN", p.threshold);
  w.Tone("contrast", "IN", p.contrast);
  w.Enum("halftoneKind", "IN", p.halftoneKind, kHalftone);
  w.Unsigned("dth_level", "IN", p.dth_level);
  w.Unsigned("dth_mode", "IN", p.dth_mode);
  DumpSubArea(w, 1, p.subArea1);
  DumpSubArea(w, 2, p.subArea2);
  DumpSubArea(w, 3, p.subArea3);
  w.Unsigned("noise_matrix", "IN", p.noise_matrix);
  w.Enum("noise_kind", "IN", p.noise_kind, kNoiseKind);
  w.Enum("flip_H", "IN", p.flip_H, kOnOff);
  w.Enum("flip_V", "IN", p.flip_V, kOnOff);
  w.Enum("autoBdrRmvl", "IN", p.autoBdrRmvl, kOnOff);
  w.Enum("invert", "IN", p.invert, kOnOff);
  w.Unsigned("blackLevel", "IN", p.blackLevel);
  w.Signed("borderInterval", "IN", p.borderInterval);
  w.Tone("saturation", "IN", p.saturation);
  w.Enum("scannerID", "IN", p.scannerID, kScanner);
  w.Enum("wLineLoc", "IN", p.wLineLoc, kWLine);
  w.Unsigned("wLineWidth", "IN", p.wLineWidth);
  w.Enum("mtf", "IN", p.mtf, kMtf);
  w.Enum("led", "IN", p.led, kDropout);
  w.Enum("colortoGray", "IN", p.colortoGray, kToGray);
  w.Enum("sRGB", "IN", p.sRGB, kOnOff);
  w.Unsigned("backUniform", "IN", p.backUniform);
  w.Enum("bkgdColor", "IN", p.bkgdColor, kBackground);
  w.Unsigned("chgResolution", "IN", p.chgResolution);
  DumpSuperImpose(w, p.superImpose);
  if (p.pDthPrmTbl == nullptr) {
    w.Raw("\tpDthPrmTbl[IN], NULL \n");
  } else {
    for (int i = 0; i < 5; ++i) {
      const DTH_PARAM& d = p.pDthPrmTbl[i];
      w.Printf("\tpDthPrmTbl(clamp, m, n)[IN], %d, %d, %d \n", d.clamp, d.m, d.n);
    }
  }
  w.Unsigned("abrFromBottom", "IN", p.abrFromBottom);
  w.Enum("holeRemoval", "IN", p.holeRemoval, kOnOff);
  w.Signed("cropMargin", "IN", p.cropMargin);
  w.Pointer("pCustomDither", "IN", p.pCustomDither);
  w.Unsigned("fillLeft", "IN", p.fillLeft);
  w.Unsigned("fillTop", "IN", p.fillTop);
  w.Unsigned("fillRight", "IN", p.fillRight);
  w.Unsigned("fillBottom", "IN", p.fillBottom);
  w.Printf("\tbdrRmvlArea(left, top, right, bottom)[IN], %u, %u, %u, %u \n", p.bdrRmvlArea[0], p.bdrRmvlArea[1],
           p.bdrRmvlArea[2], p.bdrRmvlArea[3]);
  w.Enum("autoBdrRmvl2", "IN", p.autoBdrRmvl2, kOnOff);
  w.Enum("marginFill", "IN", p.marginFill, kOnOff);
  w.Enum("autoOrientation", "IN", p.autoOrientation, kOnOff);
  w.Unsigned("orientationLcid", "IN", p.orientationLcid);
  w.Unsigned("detectedAngle", "OUT", p.detectedAngle);
  w.Signed("idrError", "OUT", p.idrError);
}

void DumpRect(Writer& w, const char* field, const HUX_RECT& r) {
  w.Printf("\t%s(left, top, right, bottom)[IN], %d, %d, %d, %d \n", field, r.left, r.top, r.right, r.bottom);
}

void DumpCim(Writer& w, int index, const CIM_INFO& c) {
  w.Printf("<<< CIM_INFO [%d] (カラーイメージマネージメント情報) >>>\n", index);
  w.Enum("mngKind", "IN", c.mngKind, kMngKind);
  w.Signed("outJudgedClNo", "OUT", c.outJudgedClNo);
  w.Unsigned("dstClrIndexInfoNum", "IN", c.dstClrIndexInfoNum);
  for (int i = 0; i < 8; ++i) {
    const CIM_CLR_INDEX_INFO& e = c.dstClrIndexInfo[i];
    w.Printf("\tdstClrIndexInfo[%d](srcClrIndexNum, dstClrIndexNo, srcClrIndexNo[8])[IN], %d, %d, %d, %d, %d, %d, %d, "
             "%d, %d, %d \n",
             i, e.srcClrIndexNum, e.dstClrIndexNo, e.srcClrIndexNo[0], e.srcClrIndexNo[1], e.srcClrIndexNo[2],
             e.srcClrIndexNo[3], e.srcClrIndexNo[4], e.srcClrIndexNo[5], e.srcClrIndexNo[6], e.srcClrIndexNo[7]);
  }
  const uint8_t* j = c.jdgClrIndexNo;
  w.Printf("\tjdgClrIndexNo[IN], %d, %d, %d, %d, %d, %d, %d, %d \n", j[0], j[1], j[2], j[3], j[4], j[5], j[6], j[7]);
  for (int i = 0; i < 8; ++i) {
    const CIM_HSV_RANGE& r = c.srcColor[i];
    w.Printf("\tsrcColor[%d](Hlow, Slow, Vlow, Hhigh, Shigh, Vhigh)[IN], %d, %d, %d, %d, %d, %d \n", i, r.Hlow, r.Slow,
             r.Vlow, r.Hhigh, r.Shigh, r.Vhigh);
  }
  for (int i = 0; i < 3; ++i) {
    const CIM_HSV_COLOR& d = c.dstColor[i];
    w.Printf("\tdstColor[%d](H, S, V)[IN], %d, %d, %d \n", i, d.H, d.S, d.V);
  }
  DumpRect(w, "exceptRect", c.exceptRect);
  DumpRect(w, "judgeRect", c.judgeRect);
  w.Unsigned("areaRecInfo->minWidth", "IN", c.areaRecInfo.minWidth);
  w.Unsigned("areaRecInfo->minHeight", "IN", c.areaRecInfo.minHeight);
  w.Unsigned("areaRecInfo->precision", "IN", c.areaRecInfo.precision);
  w.Signed("areaRecInfo->offsetVer", "IN", c.areaRecInfo.offsetVer);
  w.Signed("areaRecInfo->offsetHor", "IN", c.areaRecInfo.offsetHor);
  w.Unsigned("jdgValidPixel", "IN", c.jdgValidPixel);
  w.Unsigned("jdgDiffPixel1st2nd", "IN", c.jdgDiffPixel1st2nd);
  w.Unsigned("outRectNum", "OUT", c.outRectNum);
  w.Pointer("pOutRect", "OUT", c.pOutRect);
}

bool Exists(const std::string& path) noexcept {
  struct stat st{};
  return ::stat(path.c_str(), &st) == 0;
}

void WriteFile(const std::string& path, const Records& records) noexcept {
  try {
    std::string text = Format(records);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
      (void)platform::SystemErrorText(platform::LastError());  // fetched and dropped, as designed
      return;
    }
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
  } catch (...) {
  }
}

// The name chosen by Start, kept until End (folder + stem).
std::string& CurrentStem() noexcept {
  static std::string stem;
  return stem;
}

}  // namespace

std::string FileStem(std::string_view prefix, const std::tm& localTime, int number) {
  char date[64];
  size_t n = std::strftime(date, sizeof date, "%d-%m-%Y %H_%M_%S", &localTime);
  char num[16];
  std::snprintf(num, sizeof num, "[%05d]", number);
  std::string stem(prefix);
  stem.append(date, n);
  stem += num;
  return stem;
}

std::string Format(const Records& records) {
  Writer w;
  for (size_t i = 0; i < records.images.size() && i < kMaxImages; ++i)
    if (records.images[i] != nullptr) DumpImage(w, static_cast<int>(i), *records.images[i]);
  for (size_t i = 0; i < records.params.size() && i < kMaxParams; ++i)
    if (records.params[i] != nullptr) DumpParam(w, static_cast<int>(i), *records.params[i]);
  for (size_t i = 0; i < records.cims.size() && i < kMaxCims; ++i)
    if (records.cims[i] != nullptr) DumpCim(w, static_cast<int>(i), *records.cims[i]);
  return w.Take();
}

void Start(std::string_view prefix, const Records& records) noexcept {
  try {
    CurrentStem().clear();
    std::string folder = tuning::DumpFolder();
    if (folder.empty()) return;
    if (folder.back() != '/') folder += '/';
    std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr) return;
    for (int number = 0; number <= kMaxNumber; ++number) {
      std::string stem = folder + FileStem(prefix, local, number);
      if (Exists(stem + "(Start).csv")) continue;
      CurrentStem() = stem;
      WriteFile(stem + "(Start).csv", records);
      return;
    }
  } catch (...) {
    CurrentStem().clear();
  }
}

void End(const Records& records) noexcept {
  try {
    if (CurrentStem().empty()) return;
    WriteFile(CurrentStem() + "(End).csv", records);
  } catch (...) {
  }
}

}  // namespace imgflt::dump
