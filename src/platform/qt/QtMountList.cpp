#include "platform/qt/QtMountList.h"

#include <QFileInfo>
#include <QStorageInfo>

namespace vs {

std::vector<MountInfo> QtMountList::Mounts() {
    std::vector<MountInfo> mounts;
    const QList<QStorageInfo> volumes = QStorageInfo::mountedVolumes();
    for (const QStorageInfo& v : volumes) {
        MountInfo m;
        m.root = v.rootPath().toStdString();
        m.device = v.device().toStdString();
        m.fsType = v.fileSystemType().toStdString();
        m.label = v.displayName().toStdString();
        m.removableDevice = IsRemovableBlockDevice(m.device);
        // A single file bound over another (containers do that to /etc/hosts) is no drive. A
        // network root is not looked at: a dead server would block here.
        if (DriveTypeOf(m) != DriveType::Remote && !QFileInfo(v.rootPath()).isDir())
            continue;
        mounts.push_back(std::move(m));
    }
    return mounts;
}

}  // namespace vs
