// Resource modules over lang_abi tables, the language library loader and the
// process-wide current module.
//
// The current module is process-wide state and thread-compatible: it is set
// at start-up (or by tests) on the GUI thread before anything reads it, and
// is read from that thread only. A reference from CurrentResources() and
// every string_view it hands out stay valid until the next
// SetCurrentResources().
#include "res/resource_module.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <utility>
#include <vector>

#include "platform/dynlib.h"

namespace res {
namespace {

// Limits a loaded table must keep; anything above them is a broken library,
// not a real language.
constexpr uint32_t kMaxEntries = 100000;  // per index
constexpr std::size_t kMaxTextBytes = 65536;

// One entry of a sorted index: its key and its text (not copied).
struct IndexEntry {
  uint64_t key;
  std::string_view text;
};

constexpr uint64_t PairKey(uint32_t high, uint32_t low) noexcept {
  return (static_cast<uint64_t>(high) << 32) | low;
}

// Sorts stably, so that among entries with the same key the first in the
// table comes first and is the one lookups find.
std::vector<IndexEntry> SortedIndex(std::vector<IndexEntry> entries) {
  std::stable_sort(entries.begin(), entries.end(),
                   [](const IndexEntry& a, const IndexEntry& b) { return a.key < b.key; });
  return entries;
}

std::optional<std::string_view> Find(const std::vector<IndexEntry>& index, uint64_t key) noexcept {
  auto it = std::lower_bound(index.begin(), index.end(), key,
                             [](const IndexEntry& e, uint64_t k) { return e.key < k; });
  if (it == index.end() || it->key != key) return std::nullopt;
  return it->text;
}

// An entry with a null text is treated as absent. The tables handed to
// MakeTableModule are trusted to end every text; loaded tables are checked
// before they get here.
template <typename Entry, typename KeyFn>
std::vector<IndexEntry> BuildIndex(const Entry* entries, uint32_t count, KeyFn key) {
  std::vector<IndexEntry> index;
  if (entries == nullptr) return index;
  index.reserve(count);
  for (const Entry& e : std::span(entries, count)) {
    if (e.text != nullptr) index.push_back({key(e), std::string_view(e.text)});
  }
  return SortedIndex(std::move(index));
}

class TableModule : public ResourceModule {
 public:
  explicit TableModule(const VistelResTable& table)
      : langId_(static_cast<uint16_t>(table.langId)),
        strings_(BuildIndex(table.strings, table.stringCount,
                            [](const VistelResString& e) { return uint64_t{e.id}; })),
        dialogTexts_(BuildIndex(table.dialogTexts, table.dialogTextCount,
                                [](const VistelResDialogText& e) { return PairKey(e.dialogId, e.controlId); })),
        menuTexts_(BuildIndex(table.menuTexts, table.menuTextCount,
                              [](const VistelResMenuText& e) { return PairKey(e.menuId, e.commandId); })) {}

  std::optional<std::string_view> String(uint32_t id) const override { return Find(strings_, id); }
  std::optional<std::string_view> DialogText(uint32_t dialogId, uint32_t controlId) const override {
    return Find(dialogTexts_, PairKey(dialogId, controlId));
  }
  std::optional<std::string_view> MenuText(uint32_t menuId, uint32_t commandId) const override {
    return Find(menuTexts_, PairKey(menuId, commandId));
  }
  uint16_t LangId() const override { return langId_; }

 private:
  uint16_t langId_;
  std::vector<IndexEntry> strings_;
  std::vector<IndexEntry> dialogTexts_;
  std::vector<IndexEntry> menuTexts_;
};

// A module whose tables live in a loaded library: the library is declared
// first so that it is unloaded only after the indexes into it are gone.
class LibraryModule : public ResourceModule {
 public:
  LibraryModule(std::unique_ptr<platform::DynamicLibrary> library, const VistelResTable& table)
      : library_(std::move(library)), tables_(table) {}

  std::optional<std::string_view> String(uint32_t id) const override { return tables_.String(id); }
  std::optional<std::string_view> DialogText(uint32_t dialogId, uint32_t controlId) const override {
    return tables_.DialogText(dialogId, controlId);
  }
  std::optional<std::string_view> MenuText(uint32_t menuId, uint32_t commandId) const override {
    return tables_.MenuText(menuId, commandId);
  }
  uint16_t LangId() const override { return tables_.LangId(); }

 private:
  std::unique_ptr<platform::DynamicLibrary> library_;
  TableModule tables_;
};

// A text is acceptable when it is present and ends within the limit. The
// bytes are not checked to be UTF-8: a library with bad bytes shows odd
// characters, which is its author's fault and harms nothing here.
bool TextOk(const char* text) noexcept {
  return text != nullptr && strnlen(text, kMaxTextBytes + 1) <= kMaxTextBytes;
}

template <typename Entry>
bool EntriesOk(const Entry* entries, uint32_t count) noexcept {
  if (count > kMaxEntries) return false;
  if (count == 0) return true;
  if (entries == nullptr) return false;
  return std::all_of(entries, entries + count, [](const Entry& e) { return TextOk(e.text); });
}

bool TableOk(const VistelResTable& t) noexcept {
  return t.magic == VISTEL_RES_MAGIC && t.abiVersion == VISTEL_RES_ABI_VERSION && t.langId <= 0xFFFF &&
         EntriesOk(t.strings, t.stringCount) && EntriesOk(t.dialogTexts, t.dialogTextCount) &&
         EntriesOk(t.menuTexts, t.menuTextCount);
}

std::unique_ptr<ResourceModule>& CurrentSlot() noexcept {
  static std::unique_ptr<ResourceModule> current;
  return current;
}

std::string Text(std::optional<std::string_view> text) { return text ? std::string(*text) : std::string(); }

}  // namespace

std::unique_ptr<ResourceModule> MakeTableModule(const VistelResTable& table) {
  return std::make_unique<TableModule>(table);
}

const ResourceModule& EnglishResources() {
  static const TableModule english(EnglishTable());
  return english;
}

std::unique_ptr<ResourceModule> LoadLanguageLibrary(const std::string& path) {
  try {
    std::unique_ptr<platform::DynamicLibrary> library = platform::DynamicLibrary::Load(path);
    if (!library) return nullptr;
    auto entry = library->Function<VistelResTableFn>(VISTEL_RES_ENTRY);
    if (entry == nullptr) return nullptr;
    const VistelResTable* table = entry();
    if (table == nullptr || !TableOk(*table)) return nullptr;
    return std::make_unique<LibraryModule>(std::move(library), *table);
  } catch (...) {
    // Out of memory while indexing: the caller goes on with English.
    return nullptr;
  }
}

void SetCurrentResources(std::unique_ptr<ResourceModule> module) { CurrentSlot() = std::move(module); }

const ResourceModule& CurrentResources() {
  const std::unique_ptr<ResourceModule>& current = CurrentSlot();
  return current ? *current : EnglishResources();
}

std::optional<std::string> LoadString(uint32_t id) {
  std::optional<std::string_view> text = CurrentResources().String(id);
  if (!text) return std::nullopt;
  return std::string(*text);
}

std::string StringText(uint32_t id) {
  std::optional<std::string_view> text = CurrentResources().String(id);
  return Text(text ? text : EnglishResources().String(id));
}

std::string DialogText(uint32_t dialogId, uint32_t controlId) {
  std::optional<std::string_view> text = CurrentResources().DialogText(dialogId, controlId);
  return Text(text ? text : EnglishResources().DialogText(dialogId, controlId));
}

std::string MenuText(uint32_t menuId, uint32_t commandId) {
  std::optional<std::string_view> text = CurrentResources().MenuText(menuId, commandId);
  return Text(text ? text : EnglishResources().MenuText(menuId, commandId));
}

}  // namespace res
