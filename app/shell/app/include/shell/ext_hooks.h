// The user extension hooks named in ExtFunc.ini (program folder): for each
// of the sections ScanStart, PageEnd, ScanEnd and UserSpecified, DLLNAME and
// FUNCNAME name a library and the function to call. Each section loads its
// library by itself (two sections naming one library hold it twice).
// A missing file, section, library or function leaves that hook empty,
// without a message. The calls come with scanning; here they are loaded,
// found and released.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace platform {
class DynamicLibrary;
}

namespace shell {

// The record every hook is given (92 bytes, zero-filled before each call).
struct HOOK_RECORD {
  int32_t eventKind;   // 0 scan start, 1 page end, 2 scan end, 3 user command
  uint32_t mainWindow; // 32-bit window id, 0 when there is none
  uint8_t rest[84];
};
static_assert(sizeof(HOOK_RECORD) == 92);

using ScanHookFn = int32_t (*)(HOOK_RECORD*);
using UserHookFn = int32_t (*)(HOOK_RECORD*, int32_t* closeDocument, int32_t* closeApplication);

class CExtHooks {
 public:
  enum Hook { kScanStart = 0, kPageEnd = 1, kScanEnd = 2, kUserSpecified = 3 };
  static constexpr const char* kSections[4] = {"ScanStart", "PageEnd", "ScanEnd", "UserSpecified"};
  static constexpr size_t kMaxNameChars = 256;

  CExtHooks();
  ~CExtHooks();
  CExtHooks(const CExtHooks&) = delete;
  CExtHooks& operator=(const CExtHooks&) = delete;

  // Loads every hook named in the file (a path over 256 characters loads
  // nothing).
  void Load(const std::string& extFuncIni);
  void Unload() noexcept;

  void* Function(Hook hook) const noexcept { return functions_[size_t(hook)]; }
  bool HasUserFunction() const noexcept { return functions_[kUserSpecified] != nullptr; }

 private:
  std::array<void*, 4> functions_{};
  std::array<std::unique_ptr<platform::DynamicLibrary>, 4> libraries_;
};

}  // namespace shell
