// The production step runner: each pipeline step calls its filter family.
// Families that are not part of this build answer 12 whenever their step's
// condition holds, so that a record asking for them is refused instead of
// coming back half-processed. One runner serves one execute call (it keeps
// the page rectangle that deskew found for the crop of the same run).
#ifndef IMGFLT_INTERFACE_FILTER_STEPS_H
#define IMGFLT_INTERFACE_FILTER_STEPS_H

#include <optional>

#include "deskew/deskew.h"
#include "interface/pipeline.h"

namespace imgflt {

class FamilySteps final : public StepRunner {
 public:
  void BeginRun() noexcept override;
  int32_t Run(Step step, StepCall& call) noexcept override;

 private:
  // The page rectangle deskew found in the current run, for its crop.
  std::optional<deskew::PageRect> deskewPage_;
};

}  // namespace imgflt

#endif
