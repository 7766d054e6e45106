// The mount table: parsing mountinfo, drive types by file system, the mount
// root of a path and the list of fixed drives.
#include "platform/mounts.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <limits.h>

namespace platform {
namespace {

// Larger than any real mount table; a reader stops there.
constexpr std::size_t kMaxTableBytes = std::size_t{16} << 20;

constexpr std::array<std::string_view, 12> kRemote = {
    "nfs", "nfs4", "cifs", "smb3", "smbfs", "fuse.sshfs", "9p", "afs", "ceph", "glusterfs", "davfs",
    "fuse.rclone"};
constexpr std::array<std::string_view, 2> kCdrom = {"iso9660", "udf"};
constexpr std::array<std::string_view, 2> kRamdisk = {"tmpfs", "ramfs"};
constexpr std::array<std::string_view, 21> kPseudo = {
    "proc",    "sysfs",   "cgroup",  "cgroup2",   "devtmpfs", "devpts",      "securityfs",
    "debugfs", "tracefs", "pstore",  "bpf",       "mqueue",   "hugetlbfs",   "configfs",
    "fusectl", "autofs",  "binfmt_misc", "efivarfs", "nsfs", "rpc_pipefs", "selinuxfs"};

template <std::size_t N>
bool OneOf(const std::array<std::string_view, N>& list, std::string_view value) noexcept {
  return std::find(list.begin(), list.end(), value) != list.end();
}

// Mountinfo escapes space, tab, newline and backslash as \ooo octal.
std::string Unescape(std::string_view field) {
  auto octal = [](char c) { return c >= '0' && c <= '7'; };
  std::string out;
  out.reserve(field.size());
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] <= '3' && octal(field[i + 1]) &&
        octal(field[i + 2]) && octal(field[i + 3])) {
      int value = (field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0');
      if (value != 0) {  // a NUL would cut the name short: keep it as written
        out += static_cast<char>(value);
        i += 3;
        continue;
      }
    }
    out += field[i];
  }
  return out;
}

bool ParseUint(std::string_view text, uint32_t& value) noexcept {
  if (text.empty()) return false;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

std::optional<MountEntry> ParseLine(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t pos = 0;
  while (pos < line.size()) {
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
    std::size_t end = pos;
    while (end < line.size() && line[end] != ' ' && line[end] != '\t') ++end;
    if (end > pos) fields.push_back(line.substr(pos, end - pos));
    pos = end;
  }
  // id parent major:minor root mountpoint options [optional...] - fstype source [superoptions]
  if (fields.size() < 9) return std::nullopt;
  auto dash = std::find(fields.begin() + 6, fields.end(), std::string_view("-"));
  if (dash == fields.end() || fields.end() - dash < 3) return std::nullopt;
  uint32_t id = 0, parent = 0;
  if (!ParseUint(fields[0], id) || !ParseUint(fields[1], parent)) return std::nullopt;
  std::string_view device = fields[2];
  std::size_t colon = device.find(':');
  MountEntry entry;
  if (colon == std::string_view::npos || !ParseUint(device.substr(0, colon), entry.major) ||
      !ParseUint(device.substr(colon + 1), entry.minor))
    return std::nullopt;
  entry.mountPoint = Unescape(fields[4]);
  if (entry.mountPoint.empty() || entry.mountPoint.front() != '/') return std::nullopt;
  entry.fsType = Unescape(dash[1]);
  entry.source = Unescape(dash[2]);
  return entry;
}

// Reads a whole file, procfs ones included (they report size 0).
std::optional<std::string> ReadSmallFile(const char* path) {
  int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return std::nullopt;
  std::string text;
  char buffer[16384];
  bool ok = true;
  while (text.size() < kMaxTableBytes) {
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    if (n == 0) break;
    text.append(buffer, static_cast<std::size_t>(n));
  }
  close(fd);
  if (!ok) return std::nullopt;
  return text;
}

std::string RealPath(const std::string& path) {
  std::string result;
  if (char* real = realpath(path.c_str(), nullptr)) {
    result = real;
    std::free(real);
  }
  return result;
}

// The deepest existing ancestor of path (itself when it exists), resolved.
std::string ResolveExisting(std::string_view path) {
  std::string p(path);
  if (p.empty() || p.find('\0') != std::string::npos) return {};
  if (p.front() != '/') {
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd)) return {};
    p = std::string(cwd) + "/" + p;
  }
  while (true) {
    std::string real = RealPath(p);
    if (!real.empty()) return real;
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    std::size_t slash = p.rfind('/');
    if (slash == std::string::npos || p == "/") return "/";
    p.resize(slash == 0 ? 1 : slash);
  }
}

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

bool IsNonDirectory(const std::string& path) noexcept {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

}  // namespace

std::vector<MountEntry> ParseMountInfo(std::string_view text) noexcept {
  std::vector<MountEntry> entries;
  try {
    std::size_t pos = 0;
    while (pos < text.size()) {
      std::size_t nl = text.find('\n', pos);
      std::size_t end = nl == std::string_view::npos ? text.size() : nl;
      std::string_view line = text.substr(pos, end - pos);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      if (auto entry = ParseLine(line)) entries.push_back(std::move(*entry));
      pos = end + 1;
    }
  } catch (...) {
    // Out of memory: what was read so far.
  }
  return entries;
}

bool IsPseudoFileSystem(std::string_view fsType) noexcept { return OneOf(kPseudo, fsType); }

DriveType ClassifyMount(const MountEntry& entry, const RemovableQuery& removable) noexcept {
  if (OneOf(kRemote, entry.fsType)) return kDriveRemote;
  if (OneOf(kCdrom, entry.fsType)) return kDriveCdrom;
  if (OneOf(kRamdisk, entry.fsType)) return kDriveRamdisk;
  if (IsPseudoFileSystem(entry.fsType)) return kDriveNoRootDir;
  // Major 0 is the kernel's anonymous devices (overlay, btrfs subvolumes):
  // no block device to ask.
  try {
    if (entry.major != 0 && removable && removable(entry.major, entry.minor)) return kDriveRemovable;
  } catch (...) {
  }
  return kDriveFixed;
}

std::optional<MountEntry> FindMountFor(const std::vector<MountEntry>& mounts,
                                       std::string_view absolutePath) noexcept {
  if (absolutePath.empty() || absolutePath.front() != '/') return std::nullopt;
  try {
    const MountEntry* best = nullptr;
    std::size_t bestLength = 0;
    for (const MountEntry& m : mounts) {
      std::string_view mp = m.mountPoint;
      while (mp.size() > 1 && mp.back() == '/') mp.remove_suffix(1);
      bool matches = mp == "/" ||
                     (absolutePath.substr(0, mp.size()) == mp &&
                      (absolutePath.size() == mp.size() || absolutePath[mp.size()] == '/'));
      std::size_t length = mp == "/" ? 0 : mp.size();
      // ">=": of two mounts on the same point the later one is on top.
      if (matches && (!best || length >= bestLength)) {
        best = &m;
        bestLength = length;
      }
    }
    if (!best) return std::nullopt;
    return *best;
  } catch (...) {
    return std::nullopt;
  }
}

std::optional<std::vector<MountEntry>> ReadMountTable() noexcept {
  try {
    const char* override = std::getenv("VISTEL_MOUNTINFO");
    std::optional<std::string> text =
        ReadSmallFile(override && *override ? override : "/proc/self/mountinfo");
    if (!text) return std::nullopt;
    return ParseMountInfo(*text);
  } catch (...) {
    return std::nullopt;
  }
}

bool SysfsRemovable(uint32_t major, uint32_t minor) noexcept { return SysfsRemovableAt("/sys/", major, minor); }

bool SysfsRemovableAt(std::string_view sysRoot, uint32_t major, uint32_t minor) noexcept {
  try {
    std::string root = RealPath(std::string(sysRoot));
    if (root.empty()) return false;
    std::string device = RealPath(root + "/dev/block/" + std::to_string(major) + ":" + std::to_string(minor));
    if (device.empty() || device.compare(0, root.size(), root) != 0) return false;
    // A device whose path in the device tree runs through a USB bus.
    std::string_view below = std::string_view(device).substr(root.size());
    if (below.find("/usb") != std::string_view::npos) return true;
    // A partition has no flag of its own: its disk is the parent folder.
    for (const std::string& folder : {device, device.substr(0, device.rfind('/'))}) {
      std::optional<std::string> flag = ReadSmallFile((folder + "/removable").c_str());
      if (flag) return !flag->empty() && (*flag)[0] == '1';
    }
    return false;
  } catch (...) {
    return false;
  }
}

std::string MountRootOf(std::string_view path) noexcept {
  try {
    std::string resolved = ResolveExisting(path);
    if (resolved.empty()) return {};
    std::optional<std::vector<MountEntry>> table = ReadMountTable();
    if (!table) return {};
    std::optional<MountEntry> mount = FindMountFor(*table, resolved);
    return mount ? WithSlash(mount->mountPoint) : std::string();
  } catch (...) {
    return {};
  }
}

DriveType GetDriveType(std::string_view path) noexcept {
  try {
    std::optional<std::vector<MountEntry>> table = ReadMountTable();
    if (!table) return kDriveUnknown;
    std::string resolved = ResolveExisting(path);
    std::optional<MountEntry> mount = resolved.empty() ? std::nullopt : FindMountFor(*table, resolved);
    if (!mount) return kDriveNoRootDir;
    return ClassifyMount(*mount, SysfsRemovable);
  } catch (...) {
    return kDriveUnknown;
  }
}

std::vector<std::string> FixedDriveRoots() noexcept {
  std::vector<std::string> roots;
  try {
    std::optional<std::vector<MountEntry>> table = ReadMountTable();
    if (!table) return roots;
    for (const MountEntry& m : *table) {
      if (IsPseudoFileSystem(m.fsType) || ClassifyMount(m, SysfsRemovable) != kDriveFixed) continue;
      // Files bound onto files (a container's /etc/hosts) are no drives.
      if (IsNonDirectory(m.mountPoint)) continue;
      std::string root = WithSlash(m.mountPoint);
      if (std::find(roots.begin(), roots.end(), root) == roots.end()) roots.push_back(std::move(root));
    }
  } catch (...) {
  }
  return roots;
}

}  // namespace platform
