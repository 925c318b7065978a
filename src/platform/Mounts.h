#pragma once

#include <string>
#include <vector>

namespace vs {

// What kind of storage a drive of the directory tree is. The numbers are the drive types the
// tree's rules are written for (unknown, no root, removable, fixed, remote, CD, RAM disk).
enum class DriveType { Unknown = 0, NoRoot = 1, Removable = 2, Fixed = 3, Remote = 4, CdRom = 5, RamDisk = 6 };

// One entry of the mount table.
struct MountInfo {
    std::string root;              // mount point, as the table gives it
    std::string device;            // e.g. "/dev/sdb1", "server:/export", "tmpfs"
    std::string fsType;            // e.g. "ext4", "nfs4", "iso9660"
    std::string label;             // the volume's name to show; empty: the root itself
    bool removableDevice = false;  // the block device says it can be taken out
};

// A drive as the directory tree shows it: a real mount, its root with a trailing '/'.
struct Drive {
    std::string root;
    std::string label;
    DriveType type = DriveType::Unknown;
};

// The mounted file systems; the tree reads them through this so that tests decide what the
// machine has.
class MountList {
public:
    virtual ~MountList() = default;
    virtual std::vector<MountInfo> Mounts() = 0;
};

// File systems that hold no user folders (proc, sysfs, cgroup, devpts, ...).
bool IsPseudoFileSystem(const std::string& fsType);

// CD from iso9660/udf; removable from the device flag or a mount under /media or /run/media;
// remote for nfs*, cifs, smb3, fuse.sshfs; RAM disk for tmpfs and ramfs; fixed otherwise.
DriveType DriveTypeOf(const MountInfo& mount);

// The drives of a mount table: "/" first, then the other real mounts sorted by root. Pseudo
// file systems are left out; a root mounted twice counts once, with the entry mounted last
// (the one that is visible).
std::vector<Drive> DrivesFromMounts(const std::vector<MountInfo>& mounts);

// The drive holding path (exact comparison): the one with the longest root that starts the
// path. nullptr when none does.
const Drive* DriveOfPath(const std::vector<Drive>& drives, const std::string& path);

// Whether the block device behind a device node (such as "/dev/sdb1") reports itself
// removable under sysRoot ("/sys" on a real machine). False for anything that is not a
// block device there.
bool IsRemovableBlockDevice(const std::string& device, const std::string& sysRoot = "/sys");

}  // namespace vs
