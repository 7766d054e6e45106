// Resources by id: strings, dialog and control texts, menu texts. The
// program's own English module is always present; a language resource
// library, when loaded, becomes the current module.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "res/lang_abi.h"

namespace res {

class ResourceModule {
 public:
  virtual ~ResourceModule() = default;
  virtual std::optional<std::string_view> String(uint32_t id) const = 0;
  // controlId 0 = the dialog's caption.
  virtual std::optional<std::string_view> DialogText(uint32_t dialogId, uint32_t controlId) const = 0;
  virtual std::optional<std::string_view> MenuText(uint32_t menuId, uint32_t commandId) const = 0;
  virtual uint16_t LangId() const = 0;
};

// A module over tables in the lang_abi format (copies nothing; the tables
// must outlive it). Lookups are by binary search over sorted copies of the
// indexes.
std::unique_ptr<ResourceModule> MakeTableModule(const VistelResTable& table);

// The program's own English resources.
const ResourceModule& EnglishResources();
const VistelResTable& EnglishTable();

// Loads a language resource library from path. Null when the file is
// missing, is not a library, lacks the entry point, or carries tables that
// fail the checks (magic, version, a LANGID above 16 bits, more than 100000
// entries in an index, a null array behind a non-zero count, a null text or
// one longer than 65536 bytes); nothing is reported, the caller goes on with
// English. Texts are not checked to be valid UTF-8. The module keeps the
// library loaded for as long as it lives.
std::unique_ptr<ResourceModule> LoadLanguageLibrary(const std::string& path);

// The current module for the process (English until one is set). Setting
// null returns to English. Thread-compatible: set it before other threads
// read it; setting it ends the life of the previous module and of every
// text view taken from it.
void SetCurrentResources(std::unique_ptr<ResourceModule> module);
const ResourceModule& CurrentResources();

// String from the current module only: empty when it has none (callers
// that react to a missing string, such as the message table, need that).
std::optional<std::string> LoadString(uint32_t id);

// Texts for the interface: the current module's, else English, else empty.
std::string StringText(uint32_t id);
std::string DialogText(uint32_t dialogId, uint32_t controlId);
std::string MenuText(uint32_t menuId, uint32_t commandId);

// Well-known ids.
constexpr uint32_t kIdsAppTitle = 57344;  // "Vexo Viewer"

}  // namespace res
