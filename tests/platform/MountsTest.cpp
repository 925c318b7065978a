#include "platform/Mounts.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vs {
namespace {

MountInfo Mount(std::string root, std::string fsType, std::string device = "/dev/vda1", bool removable = false) {
    return MountInfo{std::move(root), std::move(device), std::move(fsType), "", removable};
}

TEST(Mounts, DriveTypeFollowsFileSystemDeviceAndPlace) {
    EXPECT_EQ(DriveTypeOf(Mount("/mnt/cd", "iso9660")), DriveType::CdRom);
    EXPECT_EQ(DriveTypeOf(Mount("/media/ann/DVD", "udf", "/dev/sr0", true)), DriveType::CdRom);
    EXPECT_EQ(DriveTypeOf(Mount("/mnt/stick", "vfat", "/dev/sdb1", true)), DriveType::Removable);
    EXPECT_EQ(DriveTypeOf(Mount("/media/ann/STICK", "vfat")), DriveType::Removable);
    EXPECT_EQ(DriveTypeOf(Mount("/run/media/ann/X", "exfat")), DriveType::Removable);
    EXPECT_EQ(DriveTypeOf(Mount("/media", "ext4")), DriveType::Fixed);  // the folder itself is not under it
    EXPECT_EQ(DriveTypeOf(Mount("/srv/a", "nfs4", "host:/a")), DriveType::Remote);
    EXPECT_EQ(DriveTypeOf(Mount("/srv/b", "cifs", "//host/b")), DriveType::Remote);
    EXPECT_EQ(DriveTypeOf(Mount("/srv/c", "fuse.sshfs", "ann@host:")), DriveType::Remote);
    EXPECT_EQ(DriveTypeOf(Mount("/tmp", "tmpfs", "tmpfs")), DriveType::RamDisk);
    EXPECT_EQ(DriveTypeOf(Mount("/", "ext4")), DriveType::Fixed);
}

TEST(Mounts, DrivesAreRootFirstWithoutPseudoOrRepeatedMounts) {
    std::vector<MountInfo> table = {Mount("/proc", "proc", "proc"),
                                    Mount("/home", "ext4", "/dev/vda2"),
                                    Mount("/", "ext4"),
                                    Mount("/sys/fs/cgroup", "cgroup2", "cgroup2"),
                                    Mount("/data", "xfs"),
                                    Mount("/dev/pts", "devpts", "devpts"),
                                    Mount("/home", "nfs4", "host:/home")};
    table[4].label = "Data disk";
    const std::vector<Drive> drives = DrivesFromMounts(table);
    ASSERT_EQ(drives.size(), 3u);
    EXPECT_EQ(drives[0].root, "/");
    EXPECT_EQ(drives[0].label, "/");  // no label: the root names it
    EXPECT_EQ(drives[1].root, "/data/");
    EXPECT_EQ(drives[1].label, "Data disk");
    EXPECT_EQ(drives[2].root, "/home/");
    EXPECT_EQ(drives[2].type, DriveType::Remote);  // mounted over: the later mount is what one sees

    EXPECT_EQ(DriveOfPath(drives, "/home/ann/x/")->root, "/home/");
    EXPECT_EQ(DriveOfPath(drives, "/home")->root, "/home/");
    EXPECT_EQ(DriveOfPath(drives, "/homes/x/")->root, "/");
    EXPECT_EQ(DriveOfPath(drives, "/Data/x/")->root, "/");  // exact comparison
    EXPECT_EQ(DriveOfPath({}, "/x/"), nullptr);
}

TEST(Mounts, RemovableFlagOfDiskOrOfThePartitionsDisk) {
    namespace fs = std::filesystem;
    test::TempDir sys;
    const std::string disk = sys.path() + "/devices/pci0/block/sdb";
    fs::create_directories(disk + "/sdb1");
    test::WriteText(disk + "/removable", "1\n");
    fs::create_directories(sys.path() + "/devices/pci0/block/sda/sda1");
    test::WriteText(sys.path() + "/devices/pci0/block/sda/removable", "0\n");
    fs::create_directories(sys.path() + "/class/block");
    for (const char* name : {"sdb", "sdb1", "sda1"}) {
        const std::string parent = std::string(name).substr(0, 3);
        const std::string target =
            std::string("../../devices/pci0/block/") + (parent == name ? parent : parent + "/" + name);
        fs::create_directory_symlink(target, sys.path() + "/class/block/" + name);
    }
    EXPECT_TRUE(IsRemovableBlockDevice("/dev/sdb", sys.path()));
    EXPECT_TRUE(IsRemovableBlockDevice("/dev/sdb1", sys.path()));
    EXPECT_FALSE(IsRemovableBlockDevice("/dev/sda1", sys.path()));
    EXPECT_FALSE(IsRemovableBlockDevice("/dev/nvme9n1", sys.path()));
    EXPECT_FALSE(IsRemovableBlockDevice("host:/export", sys.path()));
}

}  // namespace
}  // namespace vs
