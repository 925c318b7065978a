#include "formats/TextCodec.h"

#include <iconv.h>

#include <cerrno>
#include <map>

namespace vs {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Length of the UTF-8 sequence starting at bytes[i], or 0 when it is not well formed.
std::size_t Utf8SequenceLength(std::span<const std::uint8_t> bytes, std::size_t i) {
    const std::uint8_t b = bytes[i];
    if (b < 0x80)
        return 1;
    std::size_t length = 0;
    std::uint8_t low = 0x80;
    std::uint8_t high = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        if (b == 0xE0)
            low = 0xA0;  // overlong
        if (b == 0xED)
            high = 0x9F;  // surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        if (b == 0xF0)
            low = 0x90;  // overlong
        if (b == 0xF4)
            high = 0x8F;  // past U+10FFFF
    } else {
        return 0;
    }
    if (bytes.size() - i < length)
        return 0;
    if (bytes[i + 1] < low || bytes[i + 1] > high)
        return 0;
    for (std::size_t k = 2; k < length; ++k)
        if (bytes[i + k] < 0x80 || bytes[i + k] > 0xBF)
            return 0;
    return length;
}

// UTF-8 with every malformed byte replaced, so the result is always valid.
std::string SanitizeUtf8(std::span<const std::uint8_t> bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t n = Utf8SequenceLength(bytes, i);
        if (n == 0) {
            AppendUtf8(out, kReplacement);
            ++i;
        } else {
            out.append(reinterpret_cast<const char*>(bytes.data() + i), n);
            i += n;
        }
    }
    return out;
}

std::string DecodeUtf16(std::span<const std::uint8_t> bytes, bool bigEndian) {
    std::string out;
    char32_t high = 0;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const char32_t unit =
            bigEndian ? char32_t((bytes[i] << 8) | bytes[i + 1]) : char32_t(bytes[i] | (bytes[i + 1] << 8));
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (high)
                AppendUtf8(out, kReplacement);
            high = unit;
            continue;
        }
        if (unit >= 0xDC00 && unit <= 0xDFFF) {
            AppendUtf8(out, high ? 0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00) : kReplacement);
            high = 0;
            continue;
        }
        if (high)
            AppendUtf8(out, kReplacement);
        high = 0;
        AppendUtf8(out, unit);
    }
    if (high || bytes.size() % 2)
        AppendUtf8(out, kReplacement);
    return out;
}

// The iconv name of a Windows code page; empty for UTF-8 and UTF-16, which we decode ourselves.
std::string IconvName(int codePage) {
    switch (codePage) {
        case 936:
        case 54936:
            return "GB18030";
        case 932:
            return "CP932";
        case 949:
            return "CP949";
        case 950:
            return "CP950";
        case 1361:
            return "JOHAB";
        case 10000:
            return "MACINTOSH";
        case 437:
        case 850:
        case 874:
        case 1250:
        case 1251:
        case 1252:
        case 1253:
        case 1254:
        case 1255:
        case 1256:
        case 1257:
        case 1258:
            return "CP" + std::to_string(codePage);
        default:
            return "CP1252";
    }
}

// One open converter per code page for the life of the thread: opening one loads a module,
// and an RTF document switches code pages at every font change.
class Converters {
public:
    ~Converters() {
        for (auto& [page, cd] : open_)
            if (cd != reinterpret_cast<iconv_t>(-1))
                iconv_close(cd);
    }
    iconv_t get(int codePage) {
        auto it = open_.find(codePage);
        if (it != open_.end())
            return it->second;
        iconv_t cd = iconv_open("UTF-8", IconvName(codePage).c_str());
        if (cd == reinterpret_cast<iconv_t>(-1))
            cd = iconv_open("UTF-8", "CP1252");
        open_.emplace(codePage, cd);
        return cd;
    }

private:
    std::map<int, iconv_t> open_;
};

std::string DecodeWithIconv(std::span<const std::uint8_t> bytes, int codePage) {
    thread_local Converters converters;
    iconv_t cd = converters.get(codePage);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        std::string out;
        for (std::uint8_t b : bytes) AppendUtf8(out, b < 0x80 ? b : kReplacement);
        return out;
    }
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::string out;
    // Every code page here needs at most 4 UTF-8 bytes per input byte.
    std::string buffer(bytes.size() * 4 + 16, '\0');
    char* in = const_cast<char*>(reinterpret_cast<const char*>(bytes.data()));
    std::size_t inLeft = bytes.size();
    while (inLeft > 0) {
        char* outPtr = buffer.data();
        std::size_t outLeft = buffer.size();
        const std::size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer.data(), static_cast<std::size_t>(outPtr - buffer.data()));
        if (result != static_cast<std::size_t>(-1))
            break;
        if (errno == E2BIG)
            continue;
        // An undefined or truncated sequence: one replacement for its first byte, then go on.
        AppendUtf8(out, kReplacement);
        ++in;
        --inLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

}  // namespace

bool IsValidUtf8(std::span<const std::uint8_t> bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t n = Utf8SequenceLength(bytes, i);
        if (n == 0)
            return false;
        i += n;
    }
    return true;
}

void AppendUtf8(std::string& out, char32_t c) {
    if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
        c = kReplacement;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string DecodeCodePage(std::span<const std::uint8_t> bytes, int codePage) {
    if (codePage == 65001)
        return SanitizeUtf8(bytes);
    if (codePage == 1200 || codePage == 1201)
        return DecodeUtf16(bytes, codePage == 1201);
    return DecodeWithIconv(bytes, codePage);
}

int CodePageOfCharset(int charset, int documentCodePage) {
    switch (charset) {
        case 0:
            return 1252;
        case 77:
            return 10000;
        case 128:
            return 932;
        case 129:
            return 949;
        case 130:
            return 1361;
        case 134:
            return 936;
        case 136:
            return 950;
        case 161:
            return 1253;
        case 162:
            return 1254;
        case 163:
            return 1258;
        case 177:
            return 1255;
        case 178:
            return 1256;
        case 186:
            return 1257;
        case 204:
            return 1251;
        case 222:
            return 874;
        case 238:
            return 1250;
        case 254:
            return 437;
        case 255:
            return 850;
        default:
            return documentCodePage;
    }
}

std::string DecodePlainText(std::span<const std::uint8_t> bytes) {
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE)
        return DecodeUtf16(bytes.subspan(2), false);
    if (bytes.size() >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF)
        return DecodeUtf16(bytes.subspan(2), true);
    if (IsValidUtf8(bytes)) {
        if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF)
            bytes = bytes.subspan(3);
        return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    return DecodeWithIconv(bytes, 936);
}

}  // namespace vs
