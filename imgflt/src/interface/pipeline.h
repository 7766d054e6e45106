// The pipeline: one run of the filter steps over an image in their fixed
// order 0 ... 20, each gated by its step-mask bit, its condition and the
// record version; the first failing step ends the run (nothing is undone).
// The steps themselves are reached through a StepRunner, so that the order,
// the conditions and the temporary record values can be watched in tests;
// FamilySteps (filter_steps.h) is the runner of the library's families.
#ifndef IMGFLT_INTERFACE_PIPELINE_H
#define IMGFLT_INTERFACE_PIPELINE_H

#include <cstdint>

#include "Hux_ImgFlt.h"

namespace imgflt {

enum class Step : uint8_t {
  Deskew,            // 1  (bit 0)
  Crop,              // 2  (bit 1)
  Orientation,       // 3  (bit 23)
  DistinClbw,        // 4  (bit 20)
  ChangeResolution,  // 5  (bit 2)
  ColorManagement,   // 6  (bit 21)
  BackUniform,       // 7  (bit 3), one level
  BackUniformTwo,    // 7  (bit 3), two levels
  WhiteLevel,        // 8  (bit 5)
  Saturation,        // 9  (bit 6)
  Mtf,               // 10 (bit 8), on colour or postponed after 11
  ColorToGray,       // 11 (bit 7)
  SubAreaBinarize,   // 12 (bits 9-13), the whole step when a sub-area is on
  Srgb,              // 12 (bit 9)
  Tone,              // 12 (bits 10-12)
  Binarize,          // 12 (bit 13)
  Noise,             // 13 (bit 14)
  BorderRemoval,     // 14 (bit 4)
  HoleRemoval,       // 15 (bit 22)
  MarginFill,        // 16 (bit 15)
  Invert,            // 17 (bit 16)
  Mirror,            // 18 (bit 17)
  Overlay,           // 19 (bit 19)
  Rotate,            // 20 (bit 18)
};

const char* StepName(Step step) noexcept;

// The colour/monochrome context of a two-record run. The decision's own
// records (DISTIN_CLBW and its result) travel opaquely to the step.
struct ClbwContext {
  HUX_IMG_FILTER_PARAM* monochrome = nullptr;
  HUX_IMG_FILTER_PARAM* colour = nullptr;
  const void* distin = nullptr;
  void* result = nullptr;
};

// What a step works on.
struct StepCall {
  HUX_IMG_INF& img;
  HUX_IMG_FILTER_PARAM& prm;  // the record in use (after a CLBW switch: the new one)
  CIM_INFO* cim = nullptr;    // ColorManagement
  ClbwContext* clbw = nullptr;  // DistinClbw
  uint32_t angle = 0;         // Rotate: hundredths of a degree, 1 ... 35999
  bool monochrome = false;    // DistinClbw, out: the page is monochrome
};

class StepRunner {
 public:
  virtual ~StepRunner() = default;
  // Called when a pipeline run starts (after its parameter check).
  virtual void BeginRun() noexcept {}
  // 0 or a result code.
  virtual int32_t Run(Step step, StepCall& call) noexcept = 0;
};

struct PipelineRun {
  HUX_IMG_INF* img = nullptr;
  HUX_IMG_FILTER_PARAM* prm = nullptr;
  CIM_INFO* cim = nullptr;
  ClbwContext* clbw = nullptr;
  uint32_t mask = 0;
};

// Step 0 alone: clears fixedPosition and contrast of a record older than
// version 2, then runs the parameter check for the mask. The execute entries
// call it before they turn rows over, so a refused record leaves every
// pixel as it was.
int32_t PrepareRun(const HUX_IMG_INF& img, HUX_IMG_FILTER_PARAM& prm, uint32_t mask) noexcept;

// Steps 0 ... 20. Returns 0 or the first failing step's code. After a CLBW
// switch *run.prm is the record that was switched to.
int32_t RunPipeline(PipelineRun& run, StepRunner& steps) noexcept;

// The rotation of step 20 in hundredths of a degree (0: none).
uint32_t RotationAngle(const HUX_IMG_FILTER_PARAM& prm) noexcept;

}  // namespace imgflt

#endif
