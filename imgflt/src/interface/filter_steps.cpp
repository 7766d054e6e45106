// The production step runner.
#include "interface/filter_steps.h"

#include "geometry/geometry.h"
#include "interface/srgb.h"
#include "tuning/tuning_ini.h"

namespace imgflt {

void FamilySteps::BeginRun() noexcept { deskewPage_.reset(); }

int32_t FamilySteps::Run(Step step, StepCall& call) noexcept {
  switch (step) {
    case Step::Deskew: {
      // The tuning switch is read when the step runs, never cached.
      deskew::PageRect page;
      int32_t rc = deskew::DeskewStep(call.img, call.prm, tuning::AllSideDetect(), &page);
      if (rc == 0) deskewPage_ = page;
      return rc;
    }
    case Step::Crop:
      return deskew::CropStep(call.img, call.prm, deskewPage_ ? &*deskewPage_ : nullptr,
                              tuning::CropRemovesSpecks());
    case Step::ChangeResolution:
      // Step 5 resamples without smoothing.
      return geometry::ChangeResolutionStep(call.img, call.prm.chgResolution, 0);
    case Step::Srgb:
      return SrgbDecode(call.img);
    case Step::Invert:
      return geometry::InvertStep(call.img);
    case Step::Mirror:
      return geometry::MirrorStep(call.img);
    case Step::Rotate:
      return geometry::RotateStep(call.img, call.prm, call.angle);
    case Step::Orientation:
    case Step::DistinClbw:
    case Step::ColorManagement:
    case Step::BackUniform:
    case Step::BackUniformTwo:
    case Step::WhiteLevel:
    case Step::Saturation:
    case Step::Mtf:
    case Step::ColorToGray:
    case Step::SubAreaBinarize:
    case Step::Tone:
    case Step::Binarize:
    case Step::Noise:
    case Step::BorderRemoval:
    case Step::HoleRemoval:
    case Step::MarginFill:
    case Step::Overlay:
      break;
  }
  return IMG_FLT_ERR_UNSUPPORTED;
}

}  // namespace imgflt
