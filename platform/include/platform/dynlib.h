// Loading shared libraries by name.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace platform {

class DynamicLibrary {
 public:
  // A bare name is looked for in the program folder first, then in the
  // executable's own folder, then on the system's library path; "X.dll" means "X.so". Null on failure; Error()
  // of the static form tells why.
  static std::unique_ptr<DynamicLibrary> Load(std::string_view name);
  static std::string LastLoadError();

  ~DynamicLibrary();
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;

  // Looks up an exported symbol; a decorated name "_Name@N" falls back to
  // "Name" when absent. Null when missing.
  void* Symbol(std::string_view name) const;
  template <typename Fn>
  Fn Function(std::string_view name) const {
    return reinterpret_cast<Fn>(Symbol(name));
  }
  const std::string& Path() const noexcept { return path_; }

 private:
  DynamicLibrary(void* handle, std::string path) : handle_(handle), path_(std::move(path)) {}
  void* handle_;
  std::string path_;
};

// "X.dll" → "X.so" (ignoring case of the extension); other names unchanged.
std::string NativeLibraryName(std::string_view name);

// "_Name@12" → "Name"; other names unchanged.
std::string UndecoratedName(std::string_view name);

}  // namespace platform
