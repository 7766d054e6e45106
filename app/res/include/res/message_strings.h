// Message codes and the string resources that carry their texts.
//
// Every message code the program can raise lies in one of the ranges below;
// within a range consecutive codes take consecutive string ids, and the
// ranges of one category continue each other's ids, so the strings of a
// category follow its codes in code order:
//   category 0  0x01…0x29, 0x30…0x69, 0x70…0x85            → 10000…10120
//   category 1  26 codes 0x10000001…0x10001041 (see table)  → 12000…12025
//   category 4  0x40000001…0x40000020, 0x40000100…0x40000101 → 15000…15033
//   category 6  0x60000000…0x60000010                       → 14000…14016
// A code outside every range has no string of its own; the message table
// decides what such a code shows (category 6 borrows 0x60000000's entry).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace res {

struct MessageCodeRange {
  uint32_t firstCode;
  uint32_t lastCode;       // inclusive
  uint32_t firstStringId;  // string id of firstCode
};

inline constexpr MessageCodeRange kMessageCodeRanges[] = {
    // Category 0: the program's own conditions.
    {0x00000001, 0x00000029, 10000},
    {0x00000030, 0x00000069, 10041},
    {0x00000070, 0x00000085, 10099},
    // Category 1: image processing and file writing of the working file.
    {0x10000001, 0x10000003, 12000},
    {0x10000010, 0x10000011, 12003},
    {0x10000020, 0x10000021, 12005},
    {0x10001001, 0x10001003, 12007},
    {0x10001005, 0x10001005, 12010},
    {0x10001011, 0x10001013, 12011},
    {0x10001021, 0x10001021, 12014},
    {0x10001031, 0x10001039, 12015},
    {0x10001040, 0x10001041, 12024},
    // Category 4: image file library.
    {0x40000001, 0x40000020, 15000},
    {0x40000100, 0x40000101, 15032},
    // Category 6: image object library.
    {0x60000000, 0x60000010, 14000},
};

// All ranges, for callers that walk every code (the message table, tests).
constexpr std::span<const MessageCodeRange> MessageCodeRanges() noexcept {
  return kMessageCodeRanges;
}

// The string id of a message code; nullopt for a code in no range.
constexpr std::optional<uint32_t> MessageStringId(uint32_t code) noexcept {
  for (const MessageCodeRange& r : kMessageCodeRanges) {
    if (code >= r.firstCode && code <= r.lastCode) return r.firstStringId + (code - r.firstCode);
  }
  return std::nullopt;
}

// Number of codes that have a string.
constexpr std::size_t MessageCodeCount() noexcept {
  std::size_t n = 0;
  for (const MessageCodeRange& r : kMessageCodeRanges) n += r.lastCode - r.firstCode + 1;
  return n;
}

// The last id of each category closes its block of strings.
static_assert(MessageStringId(0x00000085) == 10120u);
static_assert(MessageStringId(0x10001041) == 12025u);
static_assert(MessageStringId(0x40000101) == 15033u);
static_assert(MessageStringId(0x60000010) == 14016u);

}  // namespace res
