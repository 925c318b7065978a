#include "platform/Mounts.h"

#include "platform/FileSystem.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <string_view>

namespace vs {

namespace {

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

bool IsUnder(const std::string& root, std::string_view folder) {
    const std::string r = WithTrailingSlash(root);
    return StartsWith(r, folder) && r.size() > folder.size();
}

}  // namespace

bool IsPseudoFileSystem(const std::string& fsType) {
    // squashfs holds packaged application images (snaps, AppImages), not folders of the user.
    static constexpr std::array<std::string_view, 25> kPseudo = {
        "proc",      "sysfs",      "cgroup",          "cgroup2",    "devpts",   "devtmpfs", "debugfs",
        "tracefs",   "securityfs", "pstore",          "bpf",        "configfs", "fusectl",  "mqueue",
        "hugetlbfs", "autofs",     "binfmt_misc",     "rpc_pipefs", "nsfs",     "efivarfs", "selinuxfs",
        "rootfs",    "squashfs",   "fuse.gvfsd-fuse", "fuse.portal"};
    return std::find(kPseudo.begin(), kPseudo.end(), fsType) != kPseudo.end();
}

DriveType DriveTypeOf(const MountInfo& mount) {
    const std::string& t = mount.fsType;
    if (t == "iso9660" || t == "udf")
        return DriveType::CdRom;
    if (mount.removableDevice || IsUnder(mount.root, "/media/") || IsUnder(mount.root, "/run/media/"))
        return DriveType::Removable;
    if (StartsWith(t, "nfs") || t == "cifs" || t == "smb3" || t == "smbfs" || t == "fuse.sshfs")
        return DriveType::Remote;
    if (t == "tmpfs" || t == "ramfs")
        return DriveType::RamDisk;
    return DriveType::Fixed;
}

std::vector<Drive> DrivesFromMounts(const std::vector<MountInfo>& mounts) {
    std::vector<Drive> drives;
    for (const MountInfo& m : mounts) {
        if (m.root.empty() || m.root.front() != '/' || IsPseudoFileSystem(m.fsType))
            continue;
        Drive d{WithTrailingSlash(m.root), m.label.empty() ? m.root : m.label, DriveTypeOf(m)};
        auto same = std::find_if(drives.begin(), drives.end(), [&](const Drive& x) { return x.root == d.root; });
        if (same != drives.end())
            *same = std::move(d);  // mounted over: the later mount is the one seen
        else
            drives.push_back(std::move(d));
    }
    std::sort(drives.begin(), drives.end(), [](const Drive& a, const Drive& b) {
        if ((a.root == "/") != (b.root == "/"))
            return a.root == "/";
        return a.root < b.root;
    });
    return drives;
}

const Drive* DriveOfPath(const std::vector<Drive>& drives, const std::string& path) {
    const Drive* best = nullptr;
    const std::string p = WithTrailingSlash(path);
    for (const Drive& d : drives)
        if (StartsWith(p, d.root) && (!best || d.root.size() > best->root.size()))
            best = &d;
    return best;
}

bool IsRemovableBlockDevice(const std::string& device, const std::string& sysRoot) {
    if (!StartsWith(device, "/dev/"))
        return false;
    std::string node = device;
    if (char* real = ::realpath(device.c_str(), nullptr)) {  // /dev/disk/by-label/X -> /dev/sdb1
        node = real;
        std::free(real);
    }
    const std::string name = node.substr(node.rfind('/') + 1);
    if (name.empty())
        return false;
    const std::string block = sysRoot + "/class/block/" + name;
    // A whole disk has the flag itself; a partition's flag is its disk's, one level up.
    for (const char* flag : {"/removable", "/../removable"}) {
        std::ifstream in(block + flag);
        char c = 0;
        if (in.get(c))
            return c == '1';
    }
    return false;
}

}  // namespace vs
