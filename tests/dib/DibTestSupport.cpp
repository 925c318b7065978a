#include "dib/DibTestSupport.h"

#include <cstring>
#include <random>

namespace vs::dibtest {

namespace {
void Record(const char* text, void* user) { static_cast<MessageLog*>(user)->texts.emplace_back(text); }
}  // namespace

MessageLog::MessageLog() { vdk_SetMessageHandler(Record, this); }
MessageLog::~MessageLog() { vdk_SetMessageHandler(nullptr, nullptr); }
std::vector<std::string> MessageLog::Take() {
    std::vector<std::string> out;
    out.swap(texts);
    return out;
}

Dib::~Dib() {
    if (handle_)
        vdk_GlobalFree(handle_);
}

std::size_t Stride(const VDK_BITMAPINFOHEADER& h) {
    return (static_cast<std::size_t>(h.biWidth) * h.biBitCount + 31) / 32 * 4;
}

std::size_t BitsOffset(const VDK_BITMAPINFOHEADER& h) {
    std::size_t colors = h.biClrUsed;
    if (colors == 0 && h.biBitCount <= 8)
        colors = std::size_t{1} << h.biBitCount;
    return 40 + colors * 4;
}

VDK_HDIB MakeDib(int width, int height, int bits, const std::vector<Rgb>& table, std::int64_t clrUsed,
                 std::size_t extra) {
    VDK_BITMAPINFOHEADER h{};
    h.biSize = 40;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<std::uint16_t>(bits);
    h.biXPelsPerMeter = 1234;
    h.biYPelsPerMeter = 4321;
    h.biClrUsed = static_cast<std::uint32_t>(clrUsed < 0 ? static_cast<std::int64_t>(table.size()) : clrUsed);
    h.biSizeImage = static_cast<std::uint32_t>(Stride(h) * static_cast<std::size_t>(height));
    const std::size_t size = BitsOffset(h) + h.biSizeImage + extra;
    const VDK_HDIB dib = vdk_GlobalAlloc(VDK_GHND, size);
    auto* p = static_cast<std::uint8_t*>(vdk_GlobalLock(dib));
    std::memcpy(p, &h, 40);
    for (std::size_t i = 0; i < table.size() && 40 + i * 4 + 4 <= size; ++i) {
        p[40 + i * 4] = table[i][2];
        p[41 + i * 4] = table[i][1];
        p[42 + i * 4] = table[i][0];
    }
    vdk_GlobalUnlock(dib);
    return dib;
}

VDK_BITMAPINFOHEADER Header(VDK_HDIB dib) {
    VDK_BITMAPINFOHEADER h{};
    const void* p = vdk_GlobalLock(dib);
    if (p && vdk_GlobalSize(dib) >= 40)
        std::memcpy(&h, p, 40);
    vdk_GlobalUnlock(dib);
    return h;
}

void SetHeader(VDK_HDIB dib, const VDK_BITMAPINFOHEADER& header) {
    std::memcpy(vdk_GlobalLock(dib), &header, 40);
    vdk_GlobalUnlock(dib);
}

std::vector<std::uint8_t> Bytes(VDK_HDIB dib) {
    const auto* p = static_cast<const std::uint8_t*>(vdk_GlobalLock(dib));
    std::vector<std::uint8_t> out(p, p + vdk_GlobalSize(dib));
    vdk_GlobalUnlock(dib);
    return out;
}

std::uint32_t Pixel(VDK_HDIB dib, int x, int row) {
    const VDK_BITMAPINFOHEADER h = Header(dib);
    const auto* p = static_cast<const std::uint8_t*>(vdk_GlobalLock(dib));
    const std::uint8_t* r = p + BitsOffset(h) + Stride(h) * static_cast<std::size_t>(row);
    const auto ux = static_cast<std::size_t>(x);
    std::uint32_t v = 0;
    switch (h.biBitCount) {
        case 1:
            v = (r[ux / 8] >> (7 - ux % 8)) & 1;
            break;
        case 4:
            v = (r[ux / 2] >> (ux % 2 ? 0 : 4)) & 15;
            break;
        case 8:
            v = r[ux];
            break;
        default:
            v = std::uint32_t{r[ux * 3 + 2]} << 16 | std::uint32_t{r[ux * 3 + 1]} << 8 | r[ux * 3];
    }
    vdk_GlobalUnlock(dib);
    return v;
}

void SetPixel(VDK_HDIB dib, int x, int row, std::uint32_t value) {
    const VDK_BITMAPINFOHEADER h = Header(dib);
    auto* p = static_cast<std::uint8_t*>(vdk_GlobalLock(dib));
    std::uint8_t* r = p + BitsOffset(h) + Stride(h) * static_cast<std::size_t>(row);
    const auto ux = static_cast<std::size_t>(x);
    switch (h.biBitCount) {
        case 1: {
            const auto bit = static_cast<std::uint8_t>(0x80 >> (ux % 8));
            r[ux / 8] = static_cast<std::uint8_t>(value ? r[ux / 8] | bit : r[ux / 8] & ~bit);
            break;
        }
        case 4: {
            const unsigned shift = ux % 2 ? 0 : 4;
            r[ux / 2] = static_cast<std::uint8_t>((r[ux / 2] & ~(15u << shift)) | (value & 15) << shift);
            break;
        }
        case 8:
            r[ux] = static_cast<std::uint8_t>(value);
            break;
        default:
            r[ux * 3] = static_cast<std::uint8_t>(value);
            r[ux * 3 + 1] = static_cast<std::uint8_t>(value >> 8);
            r[ux * 3 + 2] = static_cast<std::uint8_t>(value >> 16);
    }
    vdk_GlobalUnlock(dib);
}

Rgb TableEntry(VDK_HDIB dib, int index) {
    const auto* p = static_cast<const std::uint8_t*>(vdk_GlobalLock(dib));
    const std::uint8_t* e = p + 40 + static_cast<std::size_t>(index) * 4;
    const Rgb rgb{e[2], e[1], e[0]};
    vdk_GlobalUnlock(dib);
    return rgb;
}

void FillRandom(VDK_HDIB dib, unsigned seed) {
    const VDK_BITMAPINFOHEADER h = Header(dib);
    std::mt19937 random(seed);
    const std::uint32_t mask = h.biBitCount >= 24 ? 0xFFFFFF : (1u << h.biBitCount) - 1;
    for (int row = 0; row < h.biHeight; ++row)
        for (int x = 0; x < h.biWidth; ++x)
            SetPixel(dib, x, row, random() & mask);
}

std::uint32_t LockCount(VDK_HGLOBAL block) { return vdk_GlobalFlags(block) & VDK_GMEM_LOCKCOUNT; }

Census Census::Now() {
    return {vdk_CountObjects(VDK_COUNT_BLOCKS), vdk_CountObjects(VDK_COUNT_BITMAPS),
            vdk_CountObjects(VDK_COUNT_PALETTES), vdk_CountObjects(VDK_COUNT_DCS)};
}

}  // namespace vs::dibtest
