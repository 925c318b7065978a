#pragma once

#include "graphics/Bitmap.h"

#include <string>

namespace vs {

// Album pages read straight from the file, without a TXfAlbum and so without companion files:
// for the desktop thumbnailer and the Qt image plugin, which may run where no cache folder is
// writable. Both refuse a file without the "XFA" magic (DecodeError) and one that cannot be
// opened (OpenError).

// The pages that can actually be read: the header's count, or fewer when the file ends or a
// page record is invalid before that.
int CountXfPages(const std::string& path);

// Page n (0-based) in its own pixel format. Throws DecodeError when the album has no such
// readable page.
Bitmap ReadXfPage(const std::string& path, int n);

}  // namespace vs
