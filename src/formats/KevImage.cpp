#include "formats/KevImage.h"

#include "graphics/ByteReader.h"
#include "graphics/Errors.h"
#include "graphics/FileIo.h"

#include <algorithm>
#include <cstring>

namespace vs {

bool TKevImage::Read(const std::string& fileName) {
    *this = TKevImage();
    try {
        return Read(ReadFileBytes(fileName));
    } catch (const ImageError&) {
        return false;
    }
}

bool TKevImage::Read(std::span<const std::uint8_t> data) {
    *this = TKevImage();
    try {
        ByteReader in(data, "KEV");
        const auto head = in.bytes(5);
        std::memcpy(magic.data(), head.data(), 5);
        if (std::memcmp(head.data(), "KEV-", 4) != 0)
            return false;
        headerField = in.i32le();
        bitDepth = in.i16le();
        width = in.i32le();
        height = in.i32le();
        const auto block = in.bytes(headerBlock.size());
        std::copy(block.begin(), block.end(), headerBlock.begin());

        headerLength = 275;
        version = 0;
        switch (magic[4]) {
        case 'A': version = 0; break;
        case 'B': version = 1; break;
        case 'C': version = 2; extraField1 = in.i32le(); headerLength += 4; break;
        case 'D': version = 3; extraField2 = in.i32le(); headerLength += 4; break;
        case 'E': version = 4; extraField2 = in.i32le(); headerLength += 4; break;
        case 'F':
            version = 5;
            extraField1 = in.i32le();
            extraField2 = in.i32le();
            headerLength += 8;
            break;
        default: break;  // unknown letters carry no extras
        }

        PixelFormat format;
        switch (bitDepth) {
        case 8: format = PixelFormat::Bpp8; break;
        case 15: format = PixelFormat::Bpp15; break;
        case 16: format = PixelFormat::Bpp16; break;
        case 24: format = PixelFormat::Bpp24; break;
        default: return false;
        }
        Bitmap bmp(width, height, format);  // throws on negative or oversized pictures
        if (format == PixelFormat::Bpp8) {
            const auto& halftone = HalftonePalette();
            bmp.palette().assign(halftone.begin(), halftone.end());
        }

        // Rows follow without padding; a short file leaves the rest of the picture zero.
        const std::size_t rowBytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(StorageBits(format) / 8);
        for (int y = 0; y < height && rowBytes > 0 && !in.atEnd(); ++y) {
            // Never more than the bitmap's row holds (it always holds rowBytes; saying so also
            // keeps GCC's -O3 overflow warning quiet).
            const auto row = in.bytes(std::min({rowBytes, in.remaining(), bmp.stride()}));
            std::copy(row.begin(), row.end(), bmp.row(y));
        }
        bitmap_ = std::move(bmp);
        return true;
    } catch (const ImageError&) {
        bitmap_ = Bitmap();
        return false;
    }
}

}  // namespace vs
