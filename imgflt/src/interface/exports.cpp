// Exports of the interface family (C linkage): HUX_ImgFlt_Execute,
// HUX_ImgFlt_Execute_Multi, ExportCheckParam, ExportWriteFilterParam,
// ImgFltReversUpBottom. ExportMyWriteImage is in bitmap_file.cpp.
// Contracts are in Hux_ImgFlt.h; nothing here lets an exception out.
#include <cerrno>

#include "Hux_ImgFlt.h"
#include "interface/atomic_file.h"
#include "interface/descriptor.h"
#include "interface/execute.h"
#include "interface/filter_steps.h"
#include "interface/param_check.h"
#include "interface/record_bytes.h"

using namespace imgflt;

HUX_IMGFLT_EXPORT int32_t HUX_ImgFlt_Execute(HUX_IMG_INF* img, HUX_IMG_FILTER_PARAM* prm) {
  FamilySteps steps;
  return Execute(img, prm, steps);
}

HUX_IMGFLT_EXPORT int32_t HUX_ImgFlt_Execute_Multi(HUX_IMG_INF* src, HUX_IMG_FILTER_PARAM* const* prms,
                                                   CIM_INFO* const* cims, HUX_IMG_INF* outs, uint16_t count) {
  FamilySteps steps;
  return ExecuteMulti(src, prms, cims, outs, count, steps);
}

HUX_IMGFLT_EXPORT int32_t ExportCheckParam(const HUX_IMG_INF* img, const HUX_IMG_FILTER_PARAM* prm, uint32_t mask) {
  if (img == nullptr || prm == nullptr) return IMG_FLT_ERR_UNSUPPORTED;
  return CheckParam(*img, *prm, mask);
}

HUX_IMGFLT_EXPORT int32_t ExportWriteFilterParam(const char* path, const HUX_IMG_INF* img,
                                                 const HUX_IMG_FILTER_PARAM* prm, const CIM_INFO* cim) {
  if (path == nullptr || prm == nullptr) return 0;
  try {
    std::vector<uint8_t> bytes = ParamFileBytes(img, *prm, cim);
    AtomicFile file;
    if (!file.Open(path) || !file.Write(bytes.data(), bytes.size()) || !file.Commit()) return 0;
    return 1;
  } catch (...) {
    return 0;
  }
}

HUX_IMGFLT_EXPORT int32_t ImgFltReversUpBottom(HUX_IMG_INF* img) {
  if (img == nullptr) return IMG_FLT_ERR_UNSUPPORTED;
  return ReverseRows(*img);
}
