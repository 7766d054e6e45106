// Tests of the mount table: parsing (escapes, optional fields, malformed
// lines), drive types, longest-prefix lookup, the sysfs removable flag over
// a fixture tree, and the live forms over a fixture mount table.
#include "platform/mounts.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "testsupport/temp_env.h"

namespace fs = std::filesystem;
using platform::MountEntry;

namespace {

const char kTable[] =
    "1 0 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw\n"
    "22 1 0:21 / /proc rw,nosuid - proc proc rw\n"
    "23 1 0:22 / /sys rw shared:7 - sysfs sysfs rw\n"
    "24 23 0:23 / /sys/fs/cgroup rw - cgroup2 cgroup2 rw\n"
    "30 1 0:25 / /tmp rw shared:5 master:1 - tmpfs tmpfs rw,size=100k\n"
    "31 1 0:26 / /run/ram rw - ramfs ramfs rw\n"
    "40 1 0:40 / /mnt/nfs rw - nfs4 server:/export rw,vers=4.2\n"
    "41 1 0:41 / /mnt/share rw - cifs //server/my\\040share rw\n"
    "42 1 11:0 / /media/cd ro - iso9660 /dev/sr0 ro\n"
    "43 1 11:1 / /media/dvd ro - udf /dev/sr1 ro\n"
    "44 1 8:17 / /media/usb rw,nosuid - vfat /dev/sdb1 rw\n"
    "45 1 0:45 / /var/lib/containers/overlay rw - overlay overlay rw,lowerdir=/a:/b\n"
    "46 1 8:3 / /mnt/my\\040disk rw - ext4 /dev/sda3 rw\n"
    "47 1 8:4 / /mnt/a rw - ext4 /dev/sda4 rw\n"
    "48 1 8:5 / /mnt/ab/x rw - xfs /dev/sda5 rw\n"
    "49 1 0:49 / /mnt/ssh rw - fuse.sshfs user@host:/ rw\n"
    "50 1 0:50 /sub /mnt/t\\011ab\\134b\\012c\\000 rw - btrfs /dev/sdc1 rw\n"
    "this is not a mount line\n"
    "51 1 8:6 / relative rw - ext4 /dev/sda6 rw\n"
    "52 1 8:x / /bad rw - ext4 /dev/sda7 rw\n"
    "53 1 8:8 / /nodash rw ext4 /dev/sda8 rw\n"
    "54 1 8:9 / /short rw - ext4\n"
    "x 1 8:10 / /badid rw - ext4 /dev/sda10 rw\n"
    "\n"
    "55 1 8:11 / /crlf rw - ext4 /dev/sda11 rw\r\n"
    "56 1 8:12 / /last rw - ext4 /dev/sda12";

bool OnlySdb1(uint32_t major, uint32_t minor) { return major == 8 && minor == 17; }

const MountEntry* Find(const std::vector<MountEntry>& mounts, const std::string& point) {
  for (const MountEntry& m : mounts)
    if (m.mountPoint == point) return &m;
  return nullptr;
}

TEST(MountInfo, ParsesFieldsAndSkipsMalformedLines) {
  std::vector<MountEntry> mounts = platform::ParseMountInfo(kTable);
  std::vector<std::string> points;
  for (const MountEntry& m : mounts) points.push_back(m.mountPoint);
  EXPECT_EQ(points, (std::vector<std::string>{"/", "/proc", "/sys", "/sys/fs/cgroup", "/tmp", "/run/ram",
                                              "/mnt/nfs", "/mnt/share", "/media/cd", "/media/dvd",
                                              "/media/usb", "/var/lib/containers/overlay", "/mnt/my disk",
                                              "/mnt/a", "/mnt/ab/x", "/mnt/ssh", "/mnt/t\tab\\b\nc\\000",
                                              "/crlf", "/last"}));
  const MountEntry* usb = Find(mounts, "/media/usb");
  ASSERT_NE(usb, nullptr);
  EXPECT_EQ(usb->fsType, "vfat");
  EXPECT_EQ(usb->source, "/dev/sdb1");
  EXPECT_EQ(usb->major, 8u);
  EXPECT_EQ(usb->minor, 17u);
  const MountEntry* share = Find(mounts, "/mnt/share");
  ASSERT_NE(share, nullptr);
  EXPECT_EQ(share->source, "//server/my share");
  const MountEntry* crlf = Find(mounts, "/crlf");
  ASSERT_NE(crlf, nullptr);
  EXPECT_EQ(crlf->source, "/dev/sda11");

  EXPECT_TRUE(platform::ParseMountInfo("").empty());
  EXPECT_TRUE(platform::ParseMountInfo(std::string(100000, '\\')).empty());
}

TEST(MountInfo, DriveTypes) {
  std::vector<MountEntry> mounts = platform::ParseMountInfo(kTable);
  struct Case {
    const char* point;
    platform::DriveType type;
  } cases[] = {
      {"/", platform::kDriveFixed},
      {"/proc", platform::kDriveNoRootDir},
      {"/sys/fs/cgroup", platform::kDriveNoRootDir},
      {"/tmp", platform::kDriveRamdisk},
      {"/run/ram", platform::kDriveRamdisk},
      {"/mnt/nfs", platform::kDriveRemote},
      {"/mnt/share", platform::kDriveRemote},
      {"/mnt/ssh", platform::kDriveRemote},
      {"/media/cd", platform::kDriveCdrom},
      {"/media/dvd", platform::kDriveCdrom},
      {"/media/usb", platform::kDriveRemovable},
      {"/var/lib/containers/overlay", platform::kDriveFixed},
      {"/mnt/my disk", platform::kDriveFixed},
      {"/mnt/ab/x", platform::kDriveFixed},
  };
  for (const Case& c : cases) {
    const MountEntry* m = Find(mounts, c.point);
    ASSERT_NE(m, nullptr) << c.point;
    EXPECT_EQ(platform::ClassifyMount(*m, OnlySdb1), c.type) << c.point;
  }
  // No query, or one that throws: not removable.
  const MountEntry* usb = Find(mounts, "/media/usb");
  EXPECT_EQ(platform::ClassifyMount(*usb, nullptr), platform::kDriveFixed);
  EXPECT_EQ(platform::ClassifyMount(*usb, [](uint32_t, uint32_t) -> bool { throw 1; }), platform::kDriveFixed);
  // Anonymous devices (major 0) are never asked.
  const MountEntry* overlay = Find(mounts, "/var/lib/containers/overlay");
  EXPECT_EQ(platform::ClassifyMount(*overlay, [](uint32_t, uint32_t) { return true; }), platform::kDriveFixed);

  for (const char* fs : {"proc", "sysfs", "devtmpfs", "devpts", "mqueue", "binfmt_misc", "nsfs", "selinuxfs"})
    EXPECT_TRUE(platform::IsPseudoFileSystem(fs)) << fs;
  for (const char* fs : {"ext4", "tmpfs", "overlay", "nfs", "vfat", ""})
    EXPECT_FALSE(platform::IsPseudoFileSystem(fs)) << fs;
}

TEST(MountInfo, LongestPrefixOnComponentBoundaries) {
  std::vector<MountEntry> mounts = platform::ParseMountInfo(kTable);
  mounts.push_back({"/mnt/a", "tmpfs", "over", 0, 99});  // mounted over /mnt/a
  struct Case {
    const char* path;
    std::optional<std::string> point;
  } cases[] = {
      {"/mnt/ab/x/file", "/mnt/ab/x"}, {"/mnt/ab/x", "/mnt/ab/x"},   {"/mnt/ab/y", "/"},
      {"/mnt/ab", "/"},                {"/mnt/abc", "/"},            {"/mnt/a", "/mnt/a"},
      {"/mnt/a/", "/mnt/a"},           {"/mnt/a/b/c", "/mnt/a"},     {"/mnt/my disk/f", "/mnt/my disk"},
      {"/tmp", "/tmp"},                {"/tmpx", "/"},               {"/", "/"},
      {"relative", std::nullopt},      {"", std::nullopt},
  };
  for (const Case& c : cases) {
    std::optional<MountEntry> m = platform::FindMountFor(mounts, c.path);
    ASSERT_EQ(m.has_value(), c.point.has_value()) << c.path;
    if (m) {
      EXPECT_EQ(m->mountPoint, *c.point) << c.path;
    }
  }
  EXPECT_EQ(platform::FindMountFor(mounts, "/mnt/a/z")->fsType, "tmpfs");
  EXPECT_FALSE(platform::FindMountFor({}, "/x").has_value());
}

// A sysfs tree below a folder whose own path mentions "usb", which must not
// count: only the device's path inside the tree does.
class SysfsTree : public testing::Test {
 protected:
  void SetUp() override {
    root_ = dir_.File("usb-sys/");
    Device("devices/pci0/host0/block/sda", "0\n");
    Device("devices/pci0/host0/block/sda/sda1", nullptr);
    Device("devices/pci0/usb2/2-1/host6/block/sdb", "0\n");
    Device("devices/pci0/usb2/2-1/host6/block/sdb/sdb1", nullptr);
    Device("devices/pci0/mmc0/block/mmcblk0", "1\n");
    Device("devices/pci0/mmc0/block/mmcblk0/mmcblk0p1", nullptr);
    fs::create_directories(root_ + "dev/block");
    Link("8:0", "devices/pci0/host0/block/sda");
    Link("8:1", "devices/pci0/host0/block/sda/sda1");
    Link("8:16", "devices/pci0/usb2/2-1/host6/block/sdb");
    Link("8:17", "devices/pci0/usb2/2-1/host6/block/sdb/sdb1");
    Link("179:0", "devices/pci0/mmc0/block/mmcblk0");
    Link("179:1", "devices/pci0/mmc0/block/mmcblk0/mmcblk0p1");
  }
  void Device(const std::string& path, const char* removable) {
    fs::create_directories(root_ + path);
    if (removable) testsupport::WriteFile(root_ + path + "/removable", removable);
  }
  void Link(const std::string& name, const std::string& target) {
    fs::create_symlink("../../" + target, root_ + "dev/block/" + name);
  }
  testsupport::TempDir dir_;
  std::string root_;
};

TEST_F(SysfsTree, RemovableFlagOrUsbPath) {
  struct Case {
    uint32_t major, minor;
    bool removable;
  } cases[] = {
      {8, 0, false}, {8, 1, false}, {8, 16, true}, {8, 17, true}, {179, 0, true}, {179, 1, true}, {9, 9, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(platform::SysfsRemovableAt(root_, c.major, c.minor), c.removable) << c.major << ":" << c.minor;
  EXPECT_FALSE(platform::SysfsRemovableAt(dir_.File("nothing/"), 8, 17));
}

// The live forms over a fixture table whose mount points are folders of
// the test, with device numbers no machine has, so sysfs says "fixed".
class LiveMounts : public testing::Test {
 protected:
  void SetUp() override {
    base_ = fs::canonical(dir_.Path()).string() + "/";
    for (const char* d : {"data/sub", "ram", "cd", "net", "proc"}) fs::create_directories(base_ + d);
    testsupport::WriteFile(base_ + "hosts", "");
    fs::create_symlink(base_ + "ram", base_ + "link");
    table_ = dir_.File("mountinfo");
    testsupport::WriteFile(table_,
                           "1 0 4000:1 / / rw - ext4 /dev/x1 rw\n"
                           "2 1 0:2 / " + base_ + "proc rw - proc proc rw\n"
                           "3 1 4000:3 / " + base_ + "data rw - ext4 /dev/x3 rw\n"
                           "4 1 0:4 / " + base_ + "ram rw - tmpfs tmpfs rw\n"
                           "5 1 4000:5 / " + base_ + "cd ro - iso9660 /dev/x5 ro\n"
                           "6 1 0:6 / " + base_ + "net rw - nfs srv:/e rw\n"
                           "7 1 4000:7 /etc/hosts " + base_ + "hosts rw - ext4 /dev/x1 rw\n"
                           "8 1 4000:1 /b / rw - ext4 /dev/x1 rw\n"
                           "9 1 4000:9 / " + base_ + "notyet rw - xfs /dev/x9 rw\n");
  }
  testsupport::TempDir dir_;
  std::string base_;
  std::string table_;
};

TEST_F(LiveMounts, RootsAndDriveTypes) {
  testsupport::ScopedEnv mountinfo("VISTEL_MOUNTINFO", table_);
  struct Case {
    std::string path;
    std::string root;
    platform::DriveType type;
  } cases[] = {
      {base_ + "data/sub/missing/file.tif", base_ + "data/", platform::kDriveFixed},
      {base_ + "data", base_ + "data/", platform::kDriveFixed},
      {base_ + "ram/x", base_ + "ram/", platform::kDriveRamdisk},
      {base_ + "link/x", base_ + "ram/", platform::kDriveRamdisk},
      {base_ + "cd/", base_ + "cd/", platform::kDriveCdrom},
      {base_ + "net/a/b", base_ + "net/", platform::kDriveRemote},
      {base_ + "proc", base_ + "proc/", platform::kDriveNoRootDir},
      {base_ + "elsewhere", "/", platform::kDriveFixed},
      {"/", "/", platform::kDriveFixed},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::MountRootOf(c.path), c.root) << c.path;
    EXPECT_EQ(platform::GetDriveType(c.path), c.type) << c.path;
  }
  EXPECT_EQ(platform::MountRootOf(""), "");
}

TEST_F(LiveMounts, FixedDriveRootsInTableOrder) {
  testsupport::ScopedEnv mountinfo("VISTEL_MOUNTINFO", table_);
  // Skipped: proc, tmpfs, iso9660, nfs, the file bound onto a file and the
  // second mount on "/"; kept: a mount point not made yet.
  EXPECT_EQ(platform::FixedDriveRoots(), (std::vector<std::string>{"/", base_ + "data/", base_ + "notyet/"}));
}

TEST_F(LiveMounts, UnreadableAndEmptyTables) {
  {
    testsupport::ScopedEnv mountinfo("VISTEL_MOUNTINFO", dir_.File("missing"));
    EXPECT_FALSE(platform::ReadMountTable().has_value());
    EXPECT_EQ(platform::GetDriveType(base_), platform::kDriveUnknown);
    EXPECT_EQ(platform::MountRootOf(base_), "");
    EXPECT_TRUE(platform::FixedDriveRoots().empty());
  }
  testsupport::WriteFile(dir_.File("empty"), "");
  testsupport::ScopedEnv mountinfo("VISTEL_MOUNTINFO", dir_.File("empty"));
  ASSERT_TRUE(platform::ReadMountTable().has_value());
  EXPECT_EQ(platform::GetDriveType(base_), platform::kDriveNoRootDir);
  EXPECT_EQ(platform::MountRootOf(base_), "");
}

TEST(LiveMountTable, ProcessTableHasARoot) {
  testsupport::ScopedEnv mountinfo("VISTEL_MOUNTINFO", std::nullopt);
  std::optional<std::vector<MountEntry>> table = platform::ReadMountTable();
  ASSERT_TRUE(table.has_value());
  EXPECT_TRUE(platform::FindMountFor(*table, "/").has_value());
  EXPECT_FALSE(platform::MountRootOf(testsupport::ProcessFolder()).empty());
  EXPECT_NE(platform::GetDriveType(testsupport::ProcessFolder()), platform::kDriveUnknown);
}

}  // namespace
