// The records in their 32-bit little-endian layout, field by field, as the
// parameter file holds them: the same bytes on every build. Addresses mean
// nothing outside the process, so a pointer or handle is written as 0 when
// null and 1 when set (a reader can still tell whether it was given).
#ifndef IMGFLT_INTERFACE_RECORD_BYTES_H
#define IMGFLT_INTERFACE_RECORD_BYTES_H

#include <cstdint>
#include <vector>

#include "Hux_ImgFlt.h"

namespace imgflt {

inline constexpr uint32_t kImgInfBytes = 96;
inline constexpr uint32_t kFilterParamBytes = 2064;
inline constexpr uint32_t kCimInfoBytes = 480;
inline constexpr uint32_t kParamFileMagicBytes = 64;
inline constexpr uint32_t kParamBlockBytes = kParamFileMagicBytes + kImgInfBytes + kFilterParamBytes;  // 2224

class RecordBytes {
 public:
  void U8(uint8_t v) { bytes_.push_back(v); }
  void U16(uint16_t v) {
    U8(static_cast<uint8_t>(v));
    U8(static_cast<uint8_t>(v >> 8));
  }
  void U32(uint32_t v) {
    U16(static_cast<uint16_t>(v));
    U16(static_cast<uint16_t>(v >> 16));
  }
  void F64(double v);
  void Pointer(const void* p) { U32(p != nullptr ? 1u : 0u); }
  void Bytes(const void* data, size_t n);
  void Zeros(size_t n) { bytes_.insert(bytes_.end(), n, uint8_t{0}); }

  const std::vector<uint8_t>& Data() const noexcept { return bytes_; }
  std::vector<uint8_t>& Data() noexcept { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

// Appends the 96, 2064 and 480 bytes of a record. These allocate and may
// throw std::bad_alloc; the exports catch it.
void AppendImgInf(RecordBytes& out, const HUX_IMG_INF& r);
void AppendFilterParam(RecordBytes& out, const HUX_IMG_FILTER_PARAM& r);
void AppendCimInfo(RecordBytes& out, const CIM_INFO& r);

// The whole parameter file (see ExportWriteFilterParam).
std::vector<uint8_t> ParamFileBytes(const HUX_IMG_INF* img, const HUX_IMG_FILTER_PARAM& prm, const CIM_INFO* cim);

}  // namespace imgflt

#endif
