#include "testsupport/temp_env.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace testsupport {
namespace {

std::string& ProcessFolderStorage() {
  static std::string folder;
  return folder;
}

std::string MakeFolder(const std::string& parent, const std::string& stem) {
  std::string pattern = parent + stem + "XXXXXX";
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed: " + pattern);
  return pattern + "/";
}

}  // namespace

void PrepareProcess() {
  const char* real = std::getenv("TMPDIR");
  std::string base = (real && *real && fs::is_directory(real)) ? std::string(real) : std::string("/tmp");
  if (base.back() != '/') base += '/';
  std::string folder = MakeFolder(base, "vistel-test-");
  ProcessFolderStorage() = folder;
  fs::create_directories(folder + "tmp");
  fs::create_directories(folder + "run");
  fs::create_directories(folder + "windows");
  fs::create_directories(folder + "system");
  fs::permissions(folder + "run", fs::perms::owner_all, fs::perm_options::replace);
  setenv("TMPDIR", (folder + "tmp").c_str(), 1);
  setenv("XDG_RUNTIME_DIR", (folder + "run").c_str(), 1);
  setenv("VISTEL_WINDOWS_DIR", (folder + "windows/").c_str(), 1);
  setenv("VISTEL_SYSTEM_DIR", (folder + "system/").c_str(), 1);
  std::atexit([] {
    std::error_code ec;
    if (!ProcessFolderStorage().empty() && std::getenv("VISTEL_KEEP_TEST_FILES") == nullptr)
      fs::remove_all(ProcessFolderStorage(), ec);
  });
}

const std::string& ProcessFolder() { return ProcessFolderStorage(); }

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  const std::string& parent = ProcessFolder().empty() ? std::string("/tmp/") : ProcessFolder();
  path_ = MakeFolder(parent, "case" + std::to_string(counter++) + "-");
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(path_, ec);
}

ScopedEnv::ScopedEnv(std::string name, std::optional<std::string> value) : name_(std::move(name)) {
  if (const char* old = std::getenv(name_.c_str())) old_ = old;
  if (value)
    setenv(name_.c_str(), value->c_str(), 1);
  else
    unsetenv(name_.c_str());
}

ScopedEnv::~ScopedEnv() {
  if (old_)
    setenv(name_.c_str(), old_->c_str(), 1);
  else
    unsetenv(name_.c_str());
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const std::string& path, const std::string& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << data;
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace testsupport
