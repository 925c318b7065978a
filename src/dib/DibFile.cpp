#include "dib/DibFile.h"

#include "graphics/Errors.h"
#include "graphics/FileIo.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace vs {

namespace {
constexpr std::size_t kFileHeaderSize = 14;
}

VDK_HDIB LoadBmpFileAsDib(const std::string& path) {
    const std::vector<std::uint8_t> bytes = ReadFileBytes(path);
    if (bytes.size() < kFileHeaderSize || bytes[0] != 'B' || bytes[1] != 'M')
        throw DecodeError("not a BMP file: " + path);
    const std::size_t size = bytes.size() - kFileHeaderSize;
    const VDK_HDIB dib = vdk_GlobalAlloc(VDK_GHND, size);
    if (!dib)
        throw DecodeError("no memory for " + path);
    std::memcpy(vdk_GlobalLock(dib), bytes.data() + kFileHeaderSize, size);
    vdk_GlobalUnlock(dib);
    return dib;
}

void SaveDibAsBmpFile(VDK_HDIB dib, const std::string& path) {
    const std::size_t size = vdk_GlobalSize(dib);
    const auto* block = static_cast<const std::uint8_t*>(vdk_GlobalLock(dib));
    if (!block)
        throw ImageError("no DIB to write");
    if (size < 40) {
        vdk_GlobalUnlock(dib);
        throw ImageError("block too small for a DIB");
    }
    const std::uint64_t offset = kFileHeaderSize + 40 + std::uint64_t{GetColorsInPalette(block)} * 4;
    const std::uint64_t fileSize = kFileHeaderSize + size;
    std::vector<std::uint8_t> file(kFileHeaderSize);
    file[0] = 'B';
    file[1] = 'M';
    for (int i = 0; i < 4; ++i) {
        file[2 + i] = static_cast<std::uint8_t>(fileSize > UINT32_MAX ? 0 : fileSize >> (8 * i));
        file[10 + i] = static_cast<std::uint8_t>(offset > UINT32_MAX ? 0 : offset >> (8 * i));
    }
    file.insert(file.end(), block, block + size);
    vdk_GlobalUnlock(dib);
    WriteFileAtomically(path, file);
}

}  // namespace vs
