#include "formats/Exif.h"

#include <cstring>
#include <optional>

namespace vs {

namespace {

enum : std::uint16_t {
    kTagMake = 0x010F,
    kTagModel = 0x0110,
    kTagOrientation = 0x0112,
    kTagDateTime = 0x0132,
    kTagPreviewOffset = 0x0201,
    kTagPreviewLength = 0x0202,
    kTagExifIfd = 0x8769,
    kTagExposureTime = 0x829A,
    kTagFNumber = 0x829D,
    kTagIso = 0x8827,
    kTagDateTimeOriginal = 0x9003,
};

enum : std::uint16_t { kTypeAscii = 2, kTypeShort = 3, kTypeLong = 4, kTypeRational = 5 };

// Reads TIFF-ordered numbers; every read is checked against the data and answers nothing
// when it would leave it.
class TiffData {
public:
    TiffData(std::span<const std::uint8_t> data, bool bigEndian) : data_(data), big_(bigEndian) {}

    std::size_t size() const { return data_.size(); }
    bool Has(std::size_t offset, std::size_t n) const { return offset <= data_.size() && n <= data_.size() - offset; }

    std::optional<std::uint16_t> U16(std::size_t at) const {
        if (!Has(at, 2))
            return std::nullopt;
        const unsigned a = data_[at], b = data_[at + 1];
        return static_cast<std::uint16_t>(big_ ? (a << 8) | b : (b << 8) | a);
    }
    std::optional<std::uint32_t> U32(std::size_t at) const {
        if (!Has(at, 4))
            return std::nullopt;
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            const std::uint32_t byte = data_[at + static_cast<std::size_t>(big_ ? i : 3 - i)];
            v = (v << 8) | byte;
        }
        return v;
    }
    std::span<const std::uint8_t> Bytes(std::size_t at, std::size_t n) const {
        return Has(at, n) ? data_.subspan(at, n) : std::span<const std::uint8_t>{};
    }

private:
    std::span<const std::uint8_t> data_;
    bool big_;
};

struct Entry {
    std::uint16_t tag = 0;
    std::uint16_t type = 0;
    std::uint32_t count = 0;
    std::size_t valueAt = 0;  // where the value lies: in the entry when it fits in 4 bytes
};

std::size_t TypeSize(std::uint16_t type) {
    switch (type) {
        case 1:
        case 2:
        case 6:
        case 7:
            return 1;
        case kTypeShort:
        case 8:
            return 2;
        case kTypeLong:
        case 9:
        case 11:
            return 4;
        case kTypeRational:
        case 10:
        case 12:
            return 8;
        default:
            return 0;
    }
}

std::optional<std::uint32_t> Number(const TiffData& t, const Entry& e) {
    if (e.count < 1)
        return std::nullopt;
    if (e.type == kTypeShort)
        return t.U16(e.valueAt);
    if (e.type == kTypeLong)
        return t.U32(e.valueAt);
    return std::nullopt;
}

std::string Text(const TiffData& t, const Entry& e) {
    if (e.type != kTypeAscii)
        return {};
    const auto bytes = t.Bytes(e.valueAt, e.count);
    std::string s;
    for (const std::uint8_t c : bytes) {
        if (c == 0)
            break;
        s.push_back(c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?');
    }
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

// Calls visit for every entry of the directory at offset; answers the next directory's
// offset (0 when none or damaged).
template <typename Visit>
std::uint32_t WalkIfd(const TiffData& t, std::uint32_t offset, Visit&& visit) {
    const auto count = t.U16(offset);
    const std::size_t first = std::size_t{offset} + 2;
    // A directory running past the data is damaged as a whole: none of it is believed.
    if (!count || !t.Has(first, std::size_t{*count} * 12))
        return 0;
    for (std::size_t i = 0; i < *count; ++i) {
        const std::size_t at = first + i * 12;
        Entry e{*t.U16(at), *t.U16(at + 2), *t.U32(at + 4), at + 8};
        const std::size_t unit = TypeSize(e.type);
        if (unit == 0)
            continue;
        if (std::uint64_t{unit} * e.count > 4) {
            const auto where = t.U32(at + 8);
            if (!where || !t.Has(*where, unit * e.count))
                continue;
            e.valueAt = *where;
        }
        visit(e);
    }
    return t.U32(first + std::size_t{*count} * 12).value_or(0);
}

}  // namespace

ExifData ParseExifTiff(std::span<const std::uint8_t> tiff) {
    ExifData exif;
    if (tiff.size() < 8)
        return exif;
    bool big = false;
    if (tiff[0] == 'M' && tiff[1] == 'M')
        big = true;
    else if (!(tiff[0] == 'I' && tiff[1] == 'I'))
        return exif;
    const TiffData t(tiff, big);
    if (t.U16(2) != 42)
        return exif;
    const std::uint32_t ifd0 = t.U32(4).value_or(0);
    std::uint32_t exifIfd = 0;
    std::string dateTime;
    const std::uint32_t ifd1 = WalkIfd(t, ifd0, [&](const Entry& e) {
        switch (e.tag) {
            case kTagOrientation:
                if (const auto v = Number(t, e); v && *v >= 1 && *v <= 8)
                    exif.orientation = static_cast<int>(*v);
                break;
            case kTagMake:
                exif.cameraMake = Text(t, e);
                break;
            case kTagModel:
                exif.cameraModel = Text(t, e);
                break;
            case kTagDateTime:
                dateTime = Text(t, e);
                break;
            case kTagExifIfd:
                exifIfd = Number(t, e).value_or(0);
                break;
            default:
                break;
        }
    });
    if (exifIfd != 0 && exifIfd != ifd0)
        WalkIfd(t, exifIfd, [&](const Entry& e) {
            switch (e.tag) {
                case kTagExposureTime:
                    if (e.type == kTypeRational) {
                        exif.exposureNumerator = t.U32(e.valueAt).value_or(0);
                        exif.exposureDenominator = t.U32(e.valueAt + 4).value_or(0);
                    }
                    break;
                case kTagFNumber:
                    if (e.type == kTypeRational) {
                        const std::uint32_t n = t.U32(e.valueAt).value_or(0), d = t.U32(e.valueAt + 4).value_or(0);
                        if (d != 0)
                            exif.fNumberTenths = static_cast<int>((std::uint64_t{n} * 10 + d / 2) / d);
                    }
                    break;
                case kTagIso:
                    exif.iso = static_cast<int>(Number(t, e).value_or(0));
                    break;
                case kTagDateTimeOriginal:
                    exif.dateTaken = Text(t, e);
                    break;
                default:
                    break;
            }
        });
    if (exif.dateTaken.empty())
        exif.dateTaken = dateTime;
    if (ifd1 != 0 && ifd1 != ifd0) {
        std::uint32_t offset = 0, length = 0;
        WalkIfd(t, ifd1, [&](const Entry& e) {
            if (e.tag == kTagPreviewOffset)
                offset = Number(t, e).value_or(0);
            else if (e.tag == kTagPreviewLength)
                length = Number(t, e).value_or(0);
        });
        if (offset != 0 && length != 0 && t.Has(offset, length)) {
            exif.previewOffset = offset;
            exif.previewLength = length;
        }
    }
    return exif;
}

JpegExif FindJpegExif(std::span<const std::uint8_t> jpeg) {
    JpegExif found;
    if (jpeg.size() < 4 || jpeg[0] != 0xFF || jpeg[1] != 0xD8)
        return found;
    std::size_t pos = 2;
    while (pos + 1 < jpeg.size()) {
        if (jpeg[pos] != 0xFF)
            return found;                                      // not at a marker: the header part is damaged
        while (pos < jpeg.size() && jpeg[pos] == 0xFF) ++pos;  // fill bytes
        if (pos >= jpeg.size())
            return found;
        const std::uint8_t marker = jpeg[pos++];
        if (marker == 0xDA || marker == 0xD9)
            return found;  // the scan begins: no more header segments
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue;
        if (pos + 2 > jpeg.size())
            return found;
        const std::size_t length = (std::size_t{jpeg[pos]} << 8) | jpeg[pos + 1];
        if (length < 2 || length > jpeg.size() - pos)
            return found;
        const auto segment = jpeg.subspan(pos + 2, length - 2);
        if (marker == 0xE1 && segment.size() >= 6 && std::memcmp(segment.data(), "Exif\0\0", 6) == 0) {
            found.tiff = segment.subspan(6);
            found.data = ParseExifTiff(found.tiff);
            return found;
        }
        pos += length;
    }
    return found;
}

std::span<const std::uint8_t> ExifPreview(const JpegExif& exif) {
    if (exif.data.previewLength == 0 || exif.data.previewOffset > exif.tiff.size() ||
        exif.data.previewLength > exif.tiff.size() - exif.data.previewOffset)
        return {};
    return exif.tiff.subspan(exif.data.previewOffset, exif.data.previewLength);
}

std::string ExposureText(const ExifData& exif) {
    std::string text;
    const auto add = [&text](const std::string& part) { text += (text.empty() ? "" : ", ") + part; };
    if (exif.exposureNumerator != 0 && exif.exposureDenominator != 0) {
        const std::uint32_t n = exif.exposureNumerator, d = exif.exposureDenominator;
        if (n >= d)
            add(std::to_string((n + d / 2) / d) + " s");
        else
            add("1/" + std::to_string((d + n / 2) / n) + " s");
    }
    if (exif.fNumberTenths > 0)
        add("f/" + std::to_string(exif.fNumberTenths / 10) +
            (exif.fNumberTenths % 10 ? "." + std::to_string(exif.fNumberTenths % 10) : ""));
    if (exif.iso > 0)
        add("ISO " + std::to_string(exif.iso));
    return text;
}

}  // namespace vs
