#pragma once

#include "vantor/dibkit.h"

#include <string>

namespace vs {

// A BMP file is a 14-byte file header followed by exactly a DIB block. These move DIB blocks
// of libvantordib in and out of files for the command-line tool and the tests.

// The file's bytes after the file header as a new DIB block owned by the caller. Throws
// OpenError when the file cannot be read and DecodeError when it is not a BMP file.
VDK_HDIB LoadBmpFileAsDib(const std::string& path);

// Writes the whole block behind a file header whose pixel offset follows the header and
// colour table. Throws ImageError when the block is not a DIB or the file cannot be written.
void SaveDibAsBmpFile(VDK_HDIB dib, const std::string& path);

}  // namespace vs
