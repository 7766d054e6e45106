// Field-by-field serialization of HUX_IMG_INF, HUX_IMG_FILTER_PARAM (with
// SUBAREA_PARAM and SUPERIMPOSE_PARAM) and CIM_INFO, and the parameter file
// built from them.
#include "interface/record_bytes.h"

#include <cstring>
#include <string_view>

namespace imgflt {

namespace {

void AppendSubArea(RecordBytes& out, const SUBAREA_PARAM& s) {
  out.U8(s.enable);
  out.Bytes(s.reserved1, sizeof s.reserved1);
  out.U32(s.dwLeft);
  out.U32(s.dwTop);
  out.U32(s.dwWidth);
  out.U32(s.dwHeight);
  out.U8(s.gamma);
  out.Bytes(s.reserved21, sizeof s.reserved21);
  out.Bytes(s.gamma_s, sizeof s.gamma_s);
  out.U8(s.binaryMode);
  out.U8(s.halftoneKind);
  out.U8(s.brightness);
  out.U8(s.threshold);
  out.Pointer(s.pCustomDither);
  out.Bytes(s.reserved288, sizeof s.reserved288);
}

void AppendSuperImpose(RecordBytes& out, const SUPERIMPOSE_PARAM& s) {
  out.Pointer(s.string);
  out.U32(s.bndRectX);
  out.U32(s.bndRectY);
  out.Pointer(s.fontName);
  out.Bytes(s.fontColor, sizeof s.fontColor);
  out.U8(s.reserved19);
  out.U16(s.fontSize);
  out.U8(s.drawMode);
  out.U8(s.strAngle);
  out.U8(s.strDir);
  out.U8(s.bold);
  out.Bytes(s.reserved26, sizeof s.reserved26);
}

void AppendRect(RecordBytes& out, const HUX_RECT& r) {
  out.U32(static_cast<uint32_t>(r.left));
  out.U32(static_cast<uint32_t>(r.top));
  out.U32(static_cast<uint32_t>(r.right));
  out.U32(static_cast<uint32_t>(r.bottom));
}

void AppendPoint(RecordBytes& out, const HUX_POINT& p) {
  out.U32(p.x);
  out.U32(p.y);
}

}  // namespace

void RecordBytes::F64(double v) {
  uint64_t bits = 0;
  std::memcpy(&bits, &v, sizeof bits);
  U32(static_cast<uint32_t>(bits));
  U32(static_cast<uint32_t>(bits >> 32));
}

void RecordBytes::Bytes(const void* data, size_t n) {
  const auto* p = static_cast<const uint8_t*>(data);
  bytes_.insert(bytes_.end(), p, p + n);
}

void AppendImgInf(RecordBytes& out, const HUX_IMG_INF& r) {
  out.Pointer(r.pOrgImg);
  out.U32(r.dwWidth);
  out.U32(r.dwHeight);
  out.U8(r.bitsPixel);
  out.U8(r.dataDIB);
  out.U8(r.dataUpDown);
  out.U8(r.orderRGB);
  out.U8(r.inLineAlign);
  out.U8(r.outLineAlign);
  out.U8(r.outBuffKind);
  out.U8(r.reserved19);
  out.Pointer(r.hOutBuff);
  out.U32(r.imgDpiX);
  out.U32(r.imgDpiY);
  out.Bytes(r.reserved32, sizeof r.reserved32);
}

void AppendFilterParam(RecordBytes& out, const HUX_IMG_FILTER_PARAM& r) {
  out.U16(r.verNo);
  out.U8(r.deskew);
  out.U8(r.smoothing);
  out.U32(r.fixedSize.cx);
  out.U32(r.fixedSize.cy);
  out.Bytes(r.reserved12, sizeof r.reserved12);
  out.F64(r.deskewAngle);
  out.U8(r.crop);
  out.U8(r.fixedPosition);
  out.U16(r.rotAngle);
  AppendPoint(out, r.cropSquare.t);
  AppendPoint(out, r.cropSquare.b);
  AppendPoint(out, r.cropSquare.l);
  AppendPoint(out, r.cropSquare.r);
  out.U8(r.gamma);
  out.U8(r.rotCut);
  out.U8(r.rotCrvcColor);
  out.U8(r.detectionLevel);
  out.Bytes(r.gamma_r, sizeof r.gamma_r);
  out.Bytes(r.gamma_g, sizeof r.gamma_g);
  out.Bytes(r.gamma_b, sizeof r.gamma_b);
  out.U8(r.whiteLevel);
  out.U8(r.binaryMode);
  out.U8(static_cast<uint8_t>(r.bright));
  out.U8(r.threshold);
  out.U8(static_cast<uint8_t>(r.contrast));
  out.U8(r.halftoneKind);
  out.U8(r.dth_level);
  out.U8(r.dth_mode);
  AppendSubArea(out, r.subArea1);
  AppendSubArea(out, r.subArea2);
  AppendSubArea(out, r.subArea3);
  out.U16(r.noise_matrix);
  out.U8(r.noise_kind);
  out.U8(r.flip_H);
  out.U8(r.flip_V);
  out.U8(r.autoBdrRmvl);
  out.U8(r.invert);
  out.U8(r.blackLevel);
  out.U16(static_cast<uint16_t>(r.borderInterval));
  out.U8(static_cast<uint8_t>(r.saturation));
  out.U8(r.scannerID);
  out.Bytes(r.reserved1896, sizeof r.reserved1896);
  out.U8(r.wLineLoc);
  out.Bytes(r.reserved1901, sizeof r.reserved1901);
  out.U16(r.wLineWidth);
  out.Bytes(r.reserved1906, sizeof r.reserved1906);
  out.U8(r.mtf);
  out.U8(r.led);
  out.U8(r.colortoGray);
  out.U8(r.sRGB);
  out.U8(r.backUniform);
  out.U8(r.bkgdColor);
  out.U16(r.chgResolution);
  AppendSuperImpose(out, r.superImpose);
  out.Pointer(r.pDthPrmTbl);
  out.U16(r.abrFromBottom);
  out.U8(r.holeRemoval);
  out.U8(r.reserved1963);
  out.U32(static_cast<uint32_t>(r.cropMargin));
  out.Pointer(r.pCustomDither);
  out.U16(r.fillLeft);
  out.Bytes(r.reserved1974, sizeof r.reserved1974);
  out.U16(r.fillTop);
  out.Bytes(r.reserved1978, sizeof r.reserved1978);
  out.U16(r.fillRight);
  out.Bytes(r.reserved1982, sizeof r.reserved1982);
  out.U16(r.fillBottom);
  out.Bytes(r.reserved1986, sizeof r.reserved1986);
  for (uint32_t v : r.bdrRmvlArea) out.U32(v);
  out.Bytes(r.reserved2004, sizeof r.reserved2004);
  out.U8(r.autoBdrRmvl2);
  out.U8(r.marginFill);
  out.U8(r.autoOrientation);
  out.U8(r.reserved2039);
  out.U32(r.orientationLcid);
  out.U16(r.detectedAngle);
  out.Bytes(r.reserved2046, sizeof r.reserved2046);
  out.U32(static_cast<uint32_t>(r.idrError));
  out.Bytes(r.reserved2052, sizeof r.reserved2052);
}

void AppendCimInfo(RecordBytes& out, const CIM_INFO& r) {
  out.U8(r.mngKind);
  out.U8(r.reserved1);
  out.U16(static_cast<uint16_t>(r.outJudgedClNo));
  out.U8(r.dstClrIndexInfoNum);
  out.Bytes(r.reserved5, sizeof r.reserved5);
  for (const CIM_CLR_INDEX_INFO& e : r.dstClrIndexInfo) {
    out.U8(e.srcClrIndexNum);
    out.U8(e.dstClrIndexNo);
    out.Bytes(e.reserved2, sizeof e.reserved2);
    out.Bytes(e.srcClrIndexNo, sizeof e.srcClrIndexNo);
    out.Bytes(e.reserved12, sizeof e.reserved12);
  }
  out.Bytes(r.jdgClrIndexNo, sizeof r.jdgClrIndexNo);
  out.Bytes(r.reserved240, sizeof r.reserved240);
  for (const CIM_HSV_RANGE& c : r.srcColor) {
    out.U16(c.Hlow);
    out.U8(c.Slow);
    out.U8(c.Vlow);
    out.U16(c.Hhigh);
    out.U8(c.Shigh);
    out.U8(c.Vhigh);
  }
  for (const CIM_HSV_COLOR& c : r.dstColor) {
    out.U16(c.H);
    out.U8(c.S);
    out.U8(c.V);
  }
  AppendRect(out, r.exceptRect);
  AppendRect(out, r.judgeRect);
  out.U32(r.areaRecInfo.minWidth);
  out.U32(r.areaRecInfo.minHeight);
  out.U32(r.areaRecInfo.precision);
  out.U32(static_cast<uint32_t>(r.areaRecInfo.offsetVer));
  out.U32(static_cast<uint32_t>(r.areaRecInfo.offsetHor));
  out.Bytes(r.reserved384, sizeof r.reserved384);
  out.U32(r.jdgValidPixel);
  out.U32(r.jdgDiffPixel1st2nd);
  out.U32(r.outRectNum);
  out.Pointer(r.pOutRect);
  out.Bytes(r.reserved416, sizeof r.reserved416);
}

std::vector<uint8_t> ParamFileBytes(const HUX_IMG_INF* img, const HUX_IMG_FILTER_PARAM& prm, const CIM_INFO* cim) {
  constexpr std::string_view kMagic = "HuxImgFlt_Data";
  RecordBytes out;
  out.Bytes(kMagic.data(), kMagic.size());
  out.Zeros(kParamFileMagicBytes - kMagic.size());
  if (img != nullptr) {
    HUX_IMG_INF copy = *img;
    copy.dataUpDown = IMG_FLT_UPDOWN_TURNOVER;  // the file always says 1; the caller's record keeps its value
    AppendImgInf(out, copy);
  } else {
    out.Zeros(kImgInfBytes);
  }
  AppendFilterParam(out, prm);

  const char* text = prm.superImpose.string;
  const size_t textLength = text != nullptr ? std::strlen(text) : 0;
  out.U32(textLength != 0 ? 1u : 0u);
  out.U32(static_cast<uint32_t>(textLength));
  out.Bytes(text, textLength);

  const char* font = prm.superImpose.fontName;
  const size_t fontLength = font != nullptr ? std::strlen(font) : 0;
  out.U32(static_cast<uint32_t>(fontLength));
  out.Bytes(font, fontLength);

  out.U32(cim != nullptr && cim->mngKind != 0 ? 1u : 0u);
  if (cim != nullptr) AppendCimInfo(out, *cim);
  else out.Zeros(kCimInfoBytes);
  return std::move(out.Data());
}

}  // namespace imgflt
