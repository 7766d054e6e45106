// The message table: every user-visible message code mapped to its string
// resource, message box style and help context.
//
//   MessageCategory   the entries of one category (code >> 28)
//   FindMessageEntry  the entry that presents a code
#pragma once

#include <cstdint>
#include <span>

namespace shell {

// One row of the table. A category's rows end with a row whose code is 0.
struct MessageEntry {
  uint32_t code;
  uint32_t style;       // message box style bits (platform/message_box.h)
  int32_t helpContext;  // -1: no help topic
  uint32_t stringId;    // string resource of the text
};

constexpr uint32_t kMessageCategoryCount = 16;

// Codes the presenter itself relies on.
constexpr uint32_t kMsgSystemError = 0x03;      // detail = the system's error text
constexpr uint32_t kMsgTableError = 0x1C;       // a code missing from the table
constexpr uint32_t kMsgImageObjectBase = 0x60000000;  // category 6 default

// The rows of a category including its terminating code-0 row; an empty
// span for an absent category (8 to 15, or any out-of-range number).
std::span<const MessageEntry> MessageCategory(uint32_t category) noexcept;

// The entry for code: its own row in category code >> 28, or in category 6
// the row of 0x60000000. Null when the table has none (empty or absent
// category, unassigned code, code 0). The pointer is to static data.
const MessageEntry* FindMessageEntry(uint32_t code) noexcept;

}  // namespace shell
