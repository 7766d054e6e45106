// The single-image and the multi-output execute entries.
//
// Row order: while the filters run, a descriptor whose rows the caller
// stores bottom-up (IMG_FLT_UPDOWN_TURNOVER) holds them top-down, so the
// entries set dataUpDown to NORMAL for the duration of the pipeline and put
// the caller's value back before they return, on every path.
//
// The parameter check runs before the rows are turned, so a refused record
// comes back with every pixel as it was.
#include "interface/execute.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "deskew/deskew.h"
#include "geometry/geometry.h"
#include "interface/descriptor.h"
#include "interface/image.h"
#include "tuning/param_dump.h"

namespace imgflt {

namespace {

constexpr size_t kDumpParams = 4, kDumpCims = 3;

// Puts the caller's row-order flag back when the run leaves its scope.
class RowOrderFlag {
 public:
  explicit RowOrderFlag(HUX_IMG_INF& img) noexcept : img_(img), caller_(img.dataUpDown) {}
  ~RowOrderFlag() { img_.dataUpDown = caller_; }
  RowOrderFlag(const RowOrderFlag&) = delete;
  RowOrderFlag& operator=(const RowOrderFlag&) = delete;
  bool TurnedOver() const noexcept { return caller_ == IMG_FLT_UPDOWN_TURNOVER; }
  // Rows into top-down order for the filters.
  int32_t Straighten() noexcept {
    if (!TurnedOver()) return 0;
    if (int32_t rc = ReverseRows(img_); rc != 0) return rc;
    img_.dataUpDown = IMG_FLT_UPDOWN_NORMAL;
    return 0;
  }
  // Rows back into the caller's order.
  int32_t Restore() noexcept {
    img_.dataUpDown = caller_;
    return TurnedOver() ? ReverseRows(img_) : 0;
  }

 private:
  HUX_IMG_INF& img_;
  uint8_t caller_;
};

// Copies a source's current pixels (header and palette included) into a new
// locked global block.
GlobalBlock CopyPixels(HUX_IMG_INF& src, int32_t* rc) noexcept {
  geometry::CurrentImage current;
  if ((*rc = current.Open(src)) != 0) return {};
  uint64_t bytes = ImageBlockBytes(src);
  const uint8_t* from = current.DibHeader() != nullptr ? current.DibHeader() : current.View().data;
  GlobalBlock copy = GlobalBlock::Allocate(static_cast<size_t>(bytes), false);
  if (!copy) {
    *rc = IMG_FLT_ERR_MEMORY;
    return {};
  }
  std::memcpy(copy.data(), from, static_cast<size_t>(bytes));
  *rc = 0;
  return copy;
}

// Frees every output's block and clears its pointers (the error path).
void ReleaseOutputs(HUX_IMG_INF* outs, uint16_t count) noexcept {
  for (uint16_t i = 0; i < count; ++i) {
    if (outs[i].hOutBuff != nullptr) GlobalFree(outs[i].hOutBuff);
    outs[i].hOutBuff = nullptr;
    outs[i].pOrgImg = nullptr;
  }
}

}  // namespace

int32_t Execute(HUX_IMG_INF* img, HUX_IMG_FILTER_PARAM* prm, StepRunner& steps) noexcept {
  if (img == nullptr || prm == nullptr) return IMG_FLT_ERR_UNSUPPORTED;
  const HUX_IMG_INF* images[] = {img};
  const HUX_IMG_FILTER_PARAM* params[] = {prm};
  const dump::Records records{images, params, {}};
  dump::Start(dump::kPrefixExecute, records);
  deskew::ResetWorkingImage();

  if (int32_t rc = PrepareRun(*img, *prm, IMG_FLT_MASK_EXECUTE); rc != 0) return rc;
  RowOrderFlag order(*img);
  if (int32_t rc = order.Straighten(); rc != 0) return rc;
  PipelineRun run{img, prm, nullptr, nullptr, IMG_FLT_MASK_EXECUTE};
  if (int32_t rc = RunPipeline(run, steps); rc != 0) return rc;
  if (int32_t rc = order.Restore(); rc != 0) return rc;
  dump::End(records);
  return 0;
}

int32_t ExecuteMulti(HUX_IMG_INF* src, HUX_IMG_FILTER_PARAM* const* prms, CIM_INFO* const* cims, HUX_IMG_INF* outs,
                     uint16_t count, StepRunner& steps) noexcept {
  if (src == nullptr || (count != 0 && outs == nullptr)) return IMG_FLT_ERR_UNSUPPORTED;
  // Outputs are in a defined state on every path: no block until delivered.
  for (uint16_t i = 0; i < count; ++i) {
    outs[i].pOrgImg = nullptr;
    outs[i].hOutBuff = nullptr;
  }
  auto prmAt = [&](size_t i) { return prms != nullptr ? prms[i] : nullptr; };
  auto cimAt = [&](size_t i) { return cims != nullptr ? cims[i] : nullptr; };

  const HUX_IMG_INF* images[] = {src};
  const HUX_IMG_FILTER_PARAM* params[kDumpParams] = {};
  const CIM_INFO* cimRecords[kDumpCims] = {};
  for (size_t i = 0; i < std::min<size_t>(count, kDumpParams); ++i) params[i] = prmAt(i);
  for (size_t i = 0; i < std::min<size_t>(count, kDumpCims); ++i) cimRecords[i] = cimAt(i);
  const dump::Records records{images, std::span(params, std::min<size_t>(count, kDumpParams)),
                              std::span(cimRecords, std::min<size_t>(count, kDumpCims))};
  dump::Start(dump::kPrefixMulti, records);
  deskew::ResetWorkingImage();

  // Refusals that need no pixel: the colour judgement is not part of this
  // build, and the shared record is checked before the rows are turned.
  for (uint16_t i = 0; i < count; ++i)
    if (const CIM_INFO* cim = cimAt(i); cim != nullptr && (cim->mngKind & COLOR_JUDGE) != 0)
      return IMG_FLT_ERR_UNSUPPORTED;
  HUX_IMG_FILTER_PARAM* shared = count != 0 ? prmAt(0) : nullptr;
  if (int32_t rc = shared != nullptr ? PrepareRun(*src, *shared, IMG_FLT_MASK_MULTI_SOURCE) : CheckDescriptor(*src);
      rc != 0)
    return rc;

  RowOrderFlag order(*src);
  if (int32_t rc = order.Straighten(); rc != 0) return rc;
  if (shared != nullptr) {
    PipelineRun run{src, shared, nullptr, nullptr, IMG_FLT_MASK_MULTI_SOURCE};
    if (int32_t rc = RunPipeline(run, steps); rc != 0) return rc;
  }
  for (uint16_t i = 0; i < count; ++i) {
    int32_t rc = 0;
    GlobalBlock copy = CopyPixels(*src, &rc);
    if (rc != 0) {
      ReleaseOutputs(outs, count);
      return rc;
    }
    HUX_IMG_INF& out = outs[i];
    out = *src;  // the whole 96-byte descriptor, reserved bytes included
    out.pOrgImg = copy.data();
    out.hOutBuff = nullptr;
    out.outBuffKind = IMG_FLT_MEMAREA_ORGN;
    // The copy's rows are top-down like the source's now; the caller's
    // order is put back once the output's filters are done.
    const uint8_t callerOrder = order.TurnedOver() ? IMG_FLT_UPDOWN_TURNOVER : IMG_FLT_UPDOWN_NORMAL;
    if (HUX_IMG_FILTER_PARAM* prm = prmAt(i); prm != nullptr) {
      PipelineRun run{&out, prm, cimAt(i), nullptr, IMG_FLT_MASK_MULTI_OUTPUT};
      rc = RunPipeline(run, steps);
      if (rc != 0) {
        out.dataUpDown = callerOrder;
        out.pOrgImg = nullptr;  // the copy goes with `copy`
        ReleaseOutputs(outs, count);
        return rc;
      }
    }
    // Every output is delivered as a handle the caller frees.
    if (out.outBuffKind == IMG_FLT_MEMAREA_NEW) {
      copy.Reset();
    } else {
      out.hOutBuff = copy.Release();
      out.outBuffKind = IMG_FLT_MEMAREA_NEW;
    }
    out.pOrgImg = nullptr;
    out.dataUpDown = callerOrder;
    if (order.TurnedOver()) rc = ReverseRows(out);
    if (rc != 0) {
      ReleaseOutputs(outs, count);
      return rc;
    }
  }
  if (int32_t rc = order.Restore(); rc != 0) {
    ReleaseOutputs(outs, count);
    return rc;
  }
  dump::End(records);
  return 0;
}

}  // namespace imgflt
