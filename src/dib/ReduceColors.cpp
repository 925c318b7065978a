// Colour reduction is not part of this build yet: DIB24To8 without the grey flag reports that
// and returns no DIB. The reducer replaces this file.
#include "dib/ReduceColors.h"

#include "dib/Platform.h"

namespace vdk {

VDK_HDIB ReduceColors(VDK_HDIB, int, int) {
    ShowMessage("ReduceColors: colour reduction is not available in this build!");
    return 0;
}

}  // namespace vdk
