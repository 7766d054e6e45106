// Mount roots and drive types, from the mount table.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Drive type codes as the system knows them.
enum DriveType : int32_t {
  kDriveUnknown = 0,    // the mount table cannot be read
  kDriveNoRootDir = 1,  // no root
  kDriveRemovable = 2,
  kDriveFixed = 3,
  kDriveRemote = 4,
  kDriveCdrom = 5,
  kDriveRamdisk = 6,
};

struct MountEntry {
  std::string mountPoint;  // unescaped (\040 → space)
  std::string fsType;
  std::string source;      // device or share
  uint32_t major = 0;
  uint32_t minor = 0;
};

// Parses /proc/self/mountinfo text; malformed lines are skipped.
std::vector<MountEntry> ParseMountInfo(std::string_view text) noexcept;

// Answers whether block device major:minor is removable (sysfs "removable"
// flag is 1 or the device sits on USB).
using RemovableQuery = std::function<bool(uint32_t major, uint32_t minor)>;

// Drive type of one mount entry (pure).
DriveType ClassifyMount(const MountEntry& entry, const RemovableQuery& removable) noexcept;

// True for pseudo file systems (proc, sysfs, cgroup, devtmpfs, …) that are
// never listed as drives.
bool IsPseudoFileSystem(std::string_view fsType) noexcept;

// The entry whose mount point is the longest prefix of an absolute path.
// Mount points match on whole path components ("/mnt/a" holds "/mnt/a/x",
// not "/mnt/ab"); "/" holds every absolute path. Empty for a relative path.
std::optional<MountEntry> FindMountFor(const std::vector<MountEntry>& mounts,
                                       std::string_view absolutePath) noexcept;

// Live forms: read $VISTEL_MOUNTINFO or /proc/self/mountinfo and sysfs.
std::optional<std::vector<MountEntry>> ReadMountTable() noexcept;
bool SysfsRemovable(uint32_t major, uint32_t minor) noexcept;

// SysfsRemovable over a sysfs tree rooted elsewhere (tests build one):
// <sysRoot>/dev/block/M:m links to the device's folder; its "removable"
// flag, else its parent disk's, answers, and a path through a USB bus is
// removable whatever the flag says.
bool SysfsRemovableAt(std::string_view sysRoot, uint32_t major, uint32_t minor) noexcept;

// Mount point (ending in '/') of the file system that holds path, after
// resolving the deepest existing ancestor. Empty when none.
std::string MountRootOf(std::string_view path) noexcept;

// Drive type of the file system holding path (a relative path is taken
// from the working folder).
DriveType GetDriveType(std::string_view path) noexcept;

// Mount points (ending in '/') of fixed drives in mount-table order,
// skipping pseudo file systems, files mounted onto files and repeats.
std::vector<std::string> FixedDriveRoots() noexcept;

}  // namespace platform
