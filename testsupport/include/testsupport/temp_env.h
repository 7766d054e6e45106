// Per-process and per-test temporary folders and environment overrides.
#pragma once

#include <optional>
#include <string>

namespace testsupport {

// Called by the test mains before any test: creates this process's folder
// under the real temporary folder and points TMPDIR, XDG_RUNTIME_DIR,
// VISTEL_WINDOWS_DIR and VISTEL_SYSTEM_DIR into it (each a fresh folder).
void PrepareProcess();

// The process folder (ends in '/').
const std::string& ProcessFolder();

// A fresh empty folder for one test, below the process folder; removed with
// the object.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Path() const { return path_; }  // ends in '/'
  std::string File(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

// Sets (or, with nullopt, unsets) an environment variable for the scope.
class ScopedEnv {
 public:
  ScopedEnv(std::string name, std::optional<std::string> value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

// Whole-file helpers.
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& data);

}  // namespace testsupport
