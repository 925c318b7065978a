#pragma once

#include "platform/Mounts.h"

namespace vs {

// The machine's mounts as Qt's storage list reports them, each with its device's removable
// flag from /sys.
class QtMountList : public MountList {
public:
    std::vector<MountInfo> Mounts() override;
};

}  // namespace vs
