// The working folder: choice, write probe, stored value and the removal of
// this slot's leftover temporary files.
#include "shell/work_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/mounts.h"
#include "platform/paths.h"
#include "platform/syserror.h"
#include "shell/message_presenter.h"

namespace shell {
namespace {

char LowerAscii(char c) noexcept { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b) noexcept {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

std::string WithSlash(std::string_view folder) {
  std::string s(folder);
  if (s.empty() || s.back() != '/') s += '/';
  return s;
}

// One level, as the system creates a directory; an existing folder is fine.
bool CreateFolder(const std::string& folder) noexcept {
  if (mkdir(folder.c_str(), 0777) == 0) return true;
  if (errno != EEXIST) return false;
  struct stat st {};
  return stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Only a folder on a fixed drive may hold the temporary page files.
bool OnFixedDrive(const std::string& folder) noexcept {
  return !folder.empty() && folder.front() == '/' && platform::GetDriveType(folder) == platform::kDriveFixed;
}

}  // namespace

std::string DefaultWorkFolder() {
  std::string temp = platform::TempFolder(kTempFolderBufferSize);
  if (temp.empty()) return {};
  return temp + std::string(kWorkFolderName) + "/";
}

bool TestWriteFolder(const std::string& folder) {
  std::string probe = platform::CreateTempFileName(folder, kWriteProbePrefix);
  int error = errno;
  bool ok = false;
  if (!probe.empty()) {
    int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    error = errno;
    if (fd >= 0) {
      close(fd);
      ok = true;
    }
    unlink(probe.c_str());
  }
  if (!ok) Messages().ShowSystemError(error != 0 ? error : EIO);
  return ok;
}

std::string ChooseWorkFolder(std::string_view configured) {
  std::string work(kInitialWorkFolder);
  // Replaces work by the default folder; when the temporary folder cannot be
  // reported, says so and leaves work as it is.
  auto useDefault = [&work]() {
    std::string def = DefaultWorkFolder();
    if (def.empty()) {
      // The only way the temporary folder goes unreported: it does not fit.
      Messages().ShowSystemError(ENAMETOOLONG);
      return false;
    }
    work = std::move(def);
    return true;
  };

  if (configured.empty()) {
    if (useDefault()) {
      CreateFolder(work);
      TestWriteFolder(work);
    }
    return work;
  }

  work = WithSlash(configured);
  if (!OnFixedDrive(work)) useDefault();
  CreateFolder(work);
  if (!TestWriteFolder(work) && useDefault()) {
    CreateFolder(work);
    TestWriteFolder(work);
  }
  return work;
}

std::optional<std::string> ImageTempPathToStore(const std::string& workFolder) {
  std::string def = DefaultWorkFolder();
  if (def.empty()) return std::nullopt;
  if (EqualsIgnoreAsciiCase(workFolder, def)) return std::string();
  return workFolder;
}

bool CreateImageFolder() { return CreateFolder(platform::ProgramFolder() + std::string(kImageFolderName)); }

}  // namespace shell
