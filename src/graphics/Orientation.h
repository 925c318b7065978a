#pragma once

#include "graphics/Bitmap.h"

namespace vs {

// Turns or mirrors a picture stored with a TIFF/Exif orientation (1 to 8) so that it
// stands as it should be seen. Values outside 1 to 8 and 1 itself change nothing. 1- and
// 4-bit pictures come out 24-bit; every other format keeps its format and palette.
void ApplyOrientation(Bitmap& bitmap, int orientation);

}  // namespace vs
