// The execute entries behind HUX_ImgFlt_Execute and HUX_ImgFlt_Execute_Multi,
// with the step runner as a parameter (tests watch the steps through it).
// Each writes the parameter dump, turns caller rows that are stored
// bottom-up into top-down order for the filters and back afterwards, and
// runs the pipeline with its entry's mask.
#ifndef IMGFLT_INTERFACE_EXECUTE_H
#define IMGFLT_INTERFACE_EXECUTE_H

#include <cstdint>

#include "Hux_ImgFlt.h"
#include "interface/pipeline.h"

namespace imgflt {

int32_t Execute(HUX_IMG_INF* img, HUX_IMG_FILTER_PARAM* prm, StepRunner& steps) noexcept;

int32_t ExecuteMulti(HUX_IMG_INF* src, HUX_IMG_FILTER_PARAM* const* prms, CIM_INFO* const* cims, HUX_IMG_INF* outs,
                     uint16_t count, StepRunner& steps) noexcept;

}  // namespace imgflt

#endif
