#include "shell/ext_hooks.h"

#include "platform/dynlib.h"
#include "platform/ini.h"

namespace shell {

CExtHooks::CExtHooks() = default;
CExtHooks::~CExtHooks() { Unload(); }

void CExtHooks::Load(const std::string& extFuncIni) {
  Unload();
  if (extFuncIni.size() > kMaxNameChars) return;
  for (size_t i = 0; i < 4; ++i) {
    const std::string library = platform::ini::ReadString(extFuncIni, kSections[i], "DLLNAME", "", kMaxNameChars + 1);
    const std::string function = platform::ini::ReadString(extFuncIni, kSections[i], "FUNCNAME", "", kMaxNameChars + 1);
    if (library.empty() || function.empty()) continue;
    libraries_[i] = platform::DynamicLibrary::Load(library);
    if (libraries_[i]) functions_[i] = libraries_[i]->Symbol(function);
  }
}

void CExtHooks::Unload() noexcept {
  functions_.fill(nullptr);
  for (auto& library : libraries_) library.reset();
}

}  // namespace shell
