// The message table: its categories, styles, string ids and lookup.
#include <gtest/gtest.h>

#include <cstdint>

#include "res/resource_module.h"
#include "shell/message_table.h"

namespace shell {
namespace {

TEST(MessageTable, CategoriesHaveTheirRowsAndEndWithCodeZero) {
  const struct {
    uint32_t category;
    size_t rows;  // without the code-0 row
  } kCases[] = {{0, 121}, {1, 26}, {2, 0}, {3, 0}, {4, 34}, {5, 0}, {6, 17}, {7, 0}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.category);
    const auto rows = MessageCategory(c.category);
    ASSERT_EQ(rows.size(), c.rows + 1);
    EXPECT_EQ(rows.back().code, 0u);
    for (size_t i = 0; i + 1 < rows.size(); ++i) {
      EXPECT_EQ(rows[i].code >> 28, c.category);
      EXPECT_EQ(rows[i].helpContext, -1);
      if (i > 0) {
        EXPECT_LT(rows[i - 1].code, rows[i].code);
      }
    }
  }
  for (uint32_t absent = 8; absent <= 16; ++absent) EXPECT_TRUE(MessageCategory(absent).empty()) << absent;
}

TEST(MessageTable, StringIdsFollowTheCodes) {
  const struct {
    uint32_t code, stringId;
  } kCases[] = {
      {0x01, 10000},       {0x29, 10040},       {0x30, 10041},       {0x69, 10098},      {0x70, 10099},
      {0x85, 10120},       {0x10000001, 12000}, {0x10000010, 12003}, {0x10001005, 12010}, {0x10001041, 12025},
      {0x40000001, 15000}, {0x40000020, 15031}, {0x40000100, 15032}, {0x40000101, 15033}, {0x60000000, 14000},
      {0x60000010, 14016},
  };
  for (const auto& c : kCases) {
    const MessageEntry* entry = FindMessageEntry(c.code);
    ASSERT_NE(entry, nullptr) << std::hex << c.code;
    EXPECT_EQ(entry->code, c.code);
    EXPECT_EQ(entry->stringId, c.stringId) << std::hex << c.code;
  }
}

TEST(MessageTable, QuestionsHaveTheirButtonsAndEverythingElseIsWarningOk) {
  const struct {
    uint32_t code, style;
  } kSpecial[] = {{0x24, 0x34}, {0x29, 0x131}, {0x30, 0x134}, {0x3E, 0x31}, {0x65, 0x31}, {0x66, 0x31}, {0x47, 0x35}};
  for (const auto& c : kSpecial) {
    const MessageEntry* entry = FindMessageEntry(c.code);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->style, c.style) << std::hex << c.code;
  }
  size_t special = 0;
  for (uint32_t category = 0; category < kMessageCategoryCount; ++category) {
    for (const MessageEntry& row : MessageCategory(category)) {
      if (row.code == 0) continue;
      bool isSpecial = false;
      for (const auto& c : kSpecial) isSpecial = isSpecial || c.code == row.code;
      if (isSpecial)
        ++special;
      else
        EXPECT_EQ(row.style, 0x30u) << std::hex << row.code;
    }
  }
  EXPECT_EQ(special, std::size(kSpecial));
}

TEST(MessageTable, EveryRowHasAnEnglishString) {
  for (uint32_t category = 0; category < kMessageCategoryCount; ++category) {
    for (const MessageEntry& row : MessageCategory(category)) {
      if (row.code == 0) continue;
      const auto text = res::EnglishResources().String(row.stringId);
      ASSERT_TRUE(text.has_value()) << std::hex << row.code << std::dec << " string " << row.stringId;
      EXPECT_FALSE(text->empty()) << std::hex << row.code;
    }
  }
}

TEST(MessageTable, LookupFallsBackOnlyInCategorySix) {
  const struct {
    uint32_t code;
    bool found;
    uint32_t entryCode;
  } kCases[] = {
      {0x6000000A, true, 0x6000000A},  // own row
      {0x60000011, true, 0x60000000},  // past the last row
      {0x6000FFFF, true, 0x60000000},
      {0x6FFFFFFF, true, 0x60000000},
      {0x00000000, false, 0},           // the terminator is no entry
      {0x0000002A, false, 0},           // unassigned gaps
      {0x0000006F, false, 0},
      {0x00000086, false, 0},
      {0x10000004, false, 0},
      {0x40000021, false, 0},
      {0x40000102, false, 0},
      {0x20000001, false, 0},  // empty categories
      {0x30000000, false, 0},
      {0x50000010, false, 0},
      {0x70000000, false, 0},
      {0x80000001, false, 0},  // absent categories
      {0xFFFFFFFF, false, 0},
  };
  for (const auto& c : kCases) {
    const MessageEntry* entry = FindMessageEntry(c.code);
    ASSERT_EQ(entry != nullptr, c.found) << std::hex << c.code;
    if (entry) {
      EXPECT_EQ(entry->code, c.entryCode) << std::hex << c.code;
    }
  }
}

}  // namespace
}  // namespace shell
