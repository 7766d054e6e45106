// The message table data and its lookup. Each category is built at compile
// time from runs of consecutive codes; a row is {code, style, help context,
// string id}, its string id taken from the resource module's code-to-string
// map, and the build stops if that map and these runs ever disagree.
#include "shell/message_table.h"

#include <array>
#include <cstddef>
#include <optional>

#include "res/message_strings.h"

namespace shell {
namespace {

// Message box style bits (the same values as the Qt side's platform box).
constexpr uint32_t kOk = 0x0, kOkCancel = 0x1, kYesNo = 0x4, kRetryCancel = 0x5;
constexpr uint32_t kIconWarning = 0x30;
constexpr uint32_t kDefButton2 = 0x100;
constexpr int32_t kNoHelp = -1;

// Every row shows the warning icon; only these codes ask a question.
consteval uint32_t StyleOf(uint32_t code) {
  switch (code) {
    case 0x24: return kIconWarning | kYesNo;
    case 0x29: return kIconWarning | kOkCancel | kDefButton2;
    case 0x30: return kIconWarning | kYesNo | kDefButton2;
    case 0x3E:
    case 0x65:
    case 0x66: return kIconWarning | kOkCancel;
    case 0x47: return kIconWarning | kRetryCancel;
    default: return kIconWarning | kOk;
  }
}

struct CodeRun {
  uint32_t first;
  uint32_t last;  // inclusive
};

// N rows from the runs (which must hold exactly N codes, ascending), then
// the code-0 row. The strings of a category are consecutive from
// firstStringId in code order. Any mismatch stops the build.
template <std::size_t N, std::size_t R>
consteval std::array<MessageEntry, N + 1> BuildCategory(const CodeRun (&runs)[R], uint32_t firstStringId) {
  std::array<MessageEntry, N + 1> rows{};
  std::size_t n = 0;
  uint32_t previous = 0;
  for (const CodeRun& run : runs) {
    for (uint32_t code = run.first; code <= run.last; ++code) {
      if (n == N || code <= previous) throw "message table: runs do not match the row count";
      const std::optional<uint32_t> stringId = res::MessageStringId(code);
      if (!stringId || *stringId != firstStringId + n) throw "message table: string id differs from the resources";
      rows[n] = {code, StyleOf(code), kNoHelp, *stringId};
      previous = code;
      ++n;
    }
  }
  if (n != N) throw "message table: runs do not match the row count";
  rows[N] = {0, 0, 0, 0};
  return rows;
}

// Category 0: the program's own conditions (0x2A-0x2F, 0x6A-0x6F unassigned).
constexpr CodeRun kRuns0[] = {{0x01, 0x29}, {0x30, 0x69}, {0x70, 0x85}};
constexpr auto kCategory0 = BuildCategory<121>(kRuns0, 10000);

// Category 1: image processing and file writing of the working file model.
constexpr CodeRun kRuns1[] = {{0x10000001, 0x10000003}, {0x10000010, 0x10000011}, {0x10000020, 0x10000021},
                              {0x10001001, 0x10001003}, {0x10001005, 0x10001005}, {0x10001011, 0x10001013},
                              {0x10001021, 0x10001021}, {0x10001031, 0x10001039}, {0x10001040, 0x10001041}};
constexpr auto kCategory1 = BuildCategory<26>(kRuns1, 12000);

// Category 4: image file library errors.
constexpr CodeRun kRuns4[] = {{0x40000001, 0x40000020}, {0x40000100, 0x40000101}};
constexpr auto kCategory4 = BuildCategory<34>(kRuns4, 15000);

// Category 6: image object library errors; 0x60000000 is the default row.
constexpr CodeRun kRuns6[] = {{0x60000000, 0x60000010}};
constexpr auto kCategory6 = BuildCategory<17>(kRuns6, 14000);

// Categories 2, 3, 5 and 7 exist with no rows of their own.
constexpr std::array<MessageEntry, 1> kEmptyCategory = {{{0, 0, 0, 0}}};

// Every code with a message string has a row, and no row lacks one.
static_assert(kCategory0.size() + kCategory1.size() + kCategory4.size() + kCategory6.size() - 4 ==
              res::MessageCodeCount());

constexpr std::array<std::span<const MessageEntry>, kMessageCategoryCount> kCategories = {
    kCategory0, kCategory1, kEmptyCategory, kEmptyCategory, kCategory4, kEmptyCategory, kCategory6,
    kEmptyCategory,
    // 8 to 15 absent.
};

const MessageEntry* FindIn(std::span<const MessageEntry> rows, uint32_t code) noexcept {
  for (const MessageEntry& row : rows) {
    if (row.code == 0) break;
    if (row.code == code) return &row;
  }
  return nullptr;
}

}  // namespace

std::span<const MessageEntry> MessageCategory(uint32_t category) noexcept {
  if (category >= kMessageCategoryCount) return {};
  return kCategories[category];
}

const MessageEntry* FindMessageEntry(uint32_t code) noexcept {
  const uint32_t category = code >> 28;
  const MessageEntry* row = FindIn(kCategories[category], code);
  if (row == nullptr && category == (kMsgImageObjectBase >> 28)) row = FindIn(kCategories[category], kMsgImageObjectBase);
  return row;
}

}  // namespace shell
