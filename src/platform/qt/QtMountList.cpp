#include "platform/qt/QtMountList.h"

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
        mounts.push_back(std::move(m));
    }
    return mounts;
}

}  // namespace vs
