// Shared libraries by name: DynamicLibrary (dlopen / dlsym), the ".dll" to
// ".so" name mapping and the decorated-name fallback.
#include "platform/dynlib.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "platform/paths.h"

namespace platform {
namespace {

thread_local std::string lastLoadError;

bool EndsWithIgnoringCase(std::string_view s, std::string_view suffix) noexcept {
  if (s.size() < suffix.size()) return false;
  s.remove_prefix(s.size() - suffix.size());
  for (std::size_t i = 0; i < s.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(s[i])) != suffix[i]) return false;
  return true;
}

std::string DlErrorText(const char* fallback) {
  const char* text = dlerror();
  return text ? std::string(text) : std::string(fallback);
}

// The path the loader actually used; the requested name when it cannot tell.
std::string LoadedPath(void* handle, const std::string& requested) {
  link_map* map = nullptr;
  if (dlinfo(handle, RTLD_DI_LINKMAP, &map) == 0 && map && map->l_name && *map->l_name)
    return map->l_name;
  return requested;
}

}  // namespace

std::string NativeLibraryName(std::string_view name) {
  if (!EndsWithIgnoringCase(name, ".dll")) return std::string(name);
  std::string native(name.substr(0, name.size() - 4));
  native += ".so";
  return native;
}

std::string UndecoratedName(std::string_view name) {
  // "_" + at least one character + "@" + at least one digit, nothing after.
  std::size_t at = name.rfind('@');
  if (name.size() < 4 || name[0] != '_' || at == std::string_view::npos || at < 2 ||
      at + 1 == name.size())
    return std::string(name);
  for (std::size_t i = at + 1; i < name.size(); ++i)
    if (!std::isdigit(static_cast<unsigned char>(name[i]))) return std::string(name);
  return std::string(name.substr(1, at - 1));
}

std::unique_ptr<DynamicLibrary> DynamicLibrary::Load(std::string_view name) {
  try {
    std::string native = NativeLibraryName(name);
    if (native.empty() || native.find('\0') != std::string::npos) {
      lastLoadError = "invalid library name";
      return nullptr;
    }
    std::string error;
    void* handle = nullptr;
    std::string tried = native;
    // A bare name: the program folder first, as the system loader would look
    // in its own folder, then the folder of the executable itself (where the
    // program's own libraries lie when the program folder is moved for
    // settings), then the library path.
    std::vector<std::string> folders;
    if (native.find('/') == std::string::npos) {
      for (std::string folder : {ProgramFolder(), ExecutableFolder()}) {
        if (folder.empty()) continue;
        if (folder.back() != '/') folder += '/';
        if (std::find(folders.begin(), folders.end(), folder) == folders.end()) folders.push_back(folder);
      }
    }
    for (const std::string& folder : folders) {
      std::string local = folder + native;
      handle = dlopen(local.c_str(), RTLD_NOW | RTLD_LOCAL);
      if (handle) {
        tried = local;
        break;
      }
      if (error.empty() && access(local.c_str(), F_OK) == 0) {
        // The file is there but cannot be loaded: that is the error to report,
        // not the later "not found" on the library path.
        error = DlErrorText("cannot load library");
      }
    }
    if (!handle) {
      handle = dlopen(native.c_str(), RTLD_NOW | RTLD_LOCAL);
      if (!handle) {
        std::string plain = DlErrorText("cannot load library");
        lastLoadError = error.empty() ? plain : error;
        return nullptr;
      }
    }
    try {
      std::string path = LoadedPath(handle, tried);
      std::unique_ptr<DynamicLibrary> library(new DynamicLibrary(handle, std::move(path)));
      lastLoadError.clear();
      return library;
    } catch (...) {
      dlclose(handle);
      throw;
    }
  } catch (...) {
    lastLoadError = "out of memory";
    return nullptr;
  }
}

std::string DynamicLibrary::LastLoadError() {
  try {
    return lastLoadError;
  } catch (...) {
    return {};
  }
}

DynamicLibrary::~DynamicLibrary() {
  if (handle_) dlclose(handle_);
}

void* DynamicLibrary::Symbol(std::string_view name) const {
  try {
    std::string symbol(name);
    if (symbol.empty() || symbol.find('\0') != std::string::npos) return nullptr;
    dlerror();
    if (void* address = dlsym(handle_, symbol.c_str())) return address;
    std::string plain = UndecoratedName(symbol);
    if (plain == symbol) return nullptr;
    return dlsym(handle_, plain.c_str());
  } catch (...) {
    return nullptr;
  }
}

}  // namespace platform
