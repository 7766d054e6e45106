// Shared body of the reader fuzz targets: the queries and up to three page
// reads a caller makes of a file, on the input as a whole file image.
#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "../src/codecs.h"

namespace fuzzing {

// Pages whose declared size is beyond this are only queried: the decoders
// would take them (up to the module's own limit), but the fuzzer's memory
// limit would not.
inline constexpr uint64_t kMaxFuzzPixelBytes = 64ull << 20;

using InfoFn = std::function<int32_t(std::span<const uint8_t>, int32_t, zoimg::detail::PageInfo*)>;
using ReadFn = std::function<int32_t(std::span<const uint8_t>, int32_t, zoimg::PageImage*)>;

inline void ReadPages(std::span<const uint8_t> file, const InfoFn& info, const ReadFn& read) {
  for (int32_t page = 1; page <= 3; ++page) {
    zoimg::detail::PageInfo facts;
    if (info(file, page, &facts) != zoimg::kOk) continue;
    if (uint64_t(facts.width) * uint64_t(facts.height) * uint64_t(facts.bitsPerPixel) / 8 > kMaxFuzzPixelBytes) continue;
    zoimg::PageImage image;
    if (read(file, page, &image) == zoimg::kOk && !image.IsValid()) __builtin_trap();
  }
}

}  // namespace fuzzing
