// ReduceColors: a 24-bit DIB to an 8-bit DIB in four steps over a 15-bit histogram: count,
// choose the colour table (recursive median cut or the most popular cells), map each of the
// 32768 cells once to its nearest entry, then write the pixels, optionally spreading each
// pixel's error to three neighbours. The steps show in the progress window.
#include "dib/ReduceColors.h"

#include "dib/DibBlock.h"
#include "dib/DibShared.h"
#include "dib/Platform.h"

#include <cstdio>
#include <memory>
#include <mutex>
#include <new>

namespace vdk {
namespace {

constexpr std::size_t kHistogramCells = 32768;

std::mutex windowMutex;
VDK_PROGRESS_WINDOW installedWindow{};

// One reduction's progress window: made from the installed interface, closed on
// destruction. Without an interface, or when open fails, every call does nothing.
class ProgressWindow {
public:
    ProgressWindow() {
        {
            const std::lock_guard<std::mutex> lock(windowMutex);
            window_ = installedWindow;
        }
        open_ = window_.open != nullptr && window_.open(window_.user) != 0;
        if (open_) {
            char version[16];
            std::snprintf(version, sizeof version, "%d.%d", 1, 4);
            Text(VDK_PROGRESS_VERSION, version);
            Percent(0);
        }
        WaitCursor(true);
    }
    ~ProgressWindow() {
        WaitCursor(false);
        if (open_ && window_.close)
            window_.close(window_.user);
    }
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    void Percent(std::uint64_t value) const {
        if (open_ && window_.setNumber)
            window_.setNumber(window_.user, VDK_PROGRESS_PERCENT, static_cast<std::uint32_t>(value));
    }
    void Step(const char* text) const { Text(VDK_PROGRESS_STEP, text); }

private:
    void Text(std::int32_t control, const char* text) const {
        if (open_ && window_.setText)
            window_.setText(window_.user, control, text);
    }
    void WaitCursor(bool wait) const {
        if (window_.setWaitCursor)
            window_.setWaitCursor(window_.user, wait ? 1 : 0);
    }

    VDK_PROGRESS_WINDOW window_{};
    bool open_ = false;
};

std::size_t HistCell(int r, int g, int b) {
    return static_cast<std::size_t>(r) * 1024 + static_cast<std::size_t>(g) * 32 + static_cast<std::size_t>(b);
}

// The counters one reduction's median cut shares: kept per call rather than module-wide, so
// reductions on different threads do not disturb each other.
struct MedianCutState {
    const ProgressWindow& window;
    std::uint32_t* histogram;
    std::uint8_t* table;  // colour table, blue, green, red, 0 per entry
    std::uint32_t written = 0;
    std::uint64_t calls = 0;
    std::uint64_t expected = 1;
};

void Append(MedianCutState& s, std::uint64_t red, std::uint64_t green, std::uint64_t blue) {
    if (s.written >= 256)
        return;
    std::uint8_t* e = s.table + std::size_t{s.written} * 4;
    e[0] = static_cast<std::uint8_t>(blue);
    e[1] = static_cast<std::uint8_t>(green);
    e[2] = static_cast<std::uint8_t>(red);
    e[3] = 0;
    ++s.written;
}

void MedianCut(MedianCutState& s, int rMin, int rMax, int gMin, int gMax, int bMin, int bMax, std::uint32_t colours,
               std::uint64_t lPixels) {
    ++s.calls;
    s.window.Percent(s.calls * 100 / s.expected);
    if (lPixels == 0)
        return;
    if (rMin == rMax && gMin == gMax && bMin == bMax) {
        if (s.histogram[HistCell(rMin, gMin, bMin)] != 0)
            Append(s, static_cast<std::uint64_t>(rMin) * 8, static_cast<std::uint64_t>(gMin) * 8,
                   static_cast<std::uint64_t>(bMin) * 8);
        else
            ShowMessage("MedianCut: error: lPixels != 0");
        return;
    }
    if (colours == 1 || lPixels == 1) {
        std::uint64_t sr = 0, sg = 0, sb = 0;
        for (int r = rMin; r <= rMax; ++r)
            for (int g = gMin; g <= gMax; ++g)
                for (int b = bMin; b <= bMax; ++b) {
                    const std::uint64_t n = s.histogram[HistCell(r, g, b)];
                    sr += static_cast<std::uint64_t>(r) * n;
                    sg += static_cast<std::uint64_t>(g) * n;
                    sb += static_cast<std::uint64_t>(b) * n;
                }
        Append(s, sr / lPixels * 8, sg / lPixels * 8, sb / lPixels * 8);
        return;
    }
    const int dR = rMax - rMin, dG = gMax - gMin, dB = bMax - bMin;
    const int axis = (dB > dG && dB > dR) ? 2 : (dG > dR ? 1 : 0);
    int* lo[3] = {&rMin, &gMin, &bMin};
    int* hi[3] = {&rMax, &gMax, &bMax};
    const int from = *lo[axis], to = *hi[axis];
    std::uint64_t sum = 0, before = 0;
    int plane = from;
    for (; plane <= to; ++plane) {
        std::uint64_t count = 0;
        for (int r = (axis == 0 ? plane : rMin); r <= (axis == 0 ? plane : rMax); ++r)
            for (int g = (axis == 1 ? plane : gMin); g <= (axis == 1 ? plane : gMax); ++g)
                for (int b = (axis == 2 ? plane : bMin); b <= (axis == 2 ? plane : bMax); ++b)
                    count += s.histogram[HistCell(r, g, b)];
        before = sum;
        sum += count;
        if (sum >= lPixels / 2)
            break;
    }
    plane = std::min(plane, to);
    int firstHi = plane, secondLo = plane + 1;
    std::uint64_t firstPixels = sum;
    if (plane >= to) {
        firstHi = plane - 1;
        secondLo = plane;
        firstPixels = before;
    }
    int box[2][6] = {{rMin, rMax, gMin, gMax, bMin, bMax}, {rMin, rMax, gMin, gMax, bMin, bMax}};
    box[0][axis * 2 + 1] = firstHi;
    box[1][axis * 2] = secondLo;
    MedianCut(s, box[0][0], box[0][1], box[0][2], box[0][3], box[0][4], box[0][5], colours / 2, firstPixels);
    MedianCut(s, box[1][0], box[1][1], box[1][2], box[1][3], box[1][4], box[1][5], colours / 2, lPixels - firstPixels);
}

}  // namespace

VDK_HDIB ReduceColors(VDK_HDIB dib, int bitsPerPixel, int flags) {
    VDK_BITMAPINFOHEADER h{};
    {
        const LockedBlock block(dib);
        if (!block)
            return Fail("ReduceColors: No dib present!");
        if (static_cast<unsigned>(bitsPerPixel) > 8)
            return Fail("ReduceColors: uBPP > 8!");
        DibLayout probe;
        if (!block.ReadHeader(h) || h.biSize != kHeaderSize)
            return Fail("ReduceColors: Invallid BITMAPINFOHEADER size!");
        if (h.biCompression != VDK_BI_RGB)
            return Fail("ReduceColors: RLE-Bitmaps are not supported!");
        if (h.biBitCount != 24)
            return Fail("ReduceColors: Bitmap is alreay reduced!");
        if (!MeasureDib(block, probe))
            return Fail("ReduceColors: Invallid BITMAPINFOHEADER size!");
    }
    const bool diffuse = (flags & 1) != 0;
    // Diffusion writes into the pixels it has yet to map: give it a copy of its own.
    const OwnedBlock copy(diffuse ? CopyDIB(dib) : 0);
    if (diffuse && !copy)
        return 0;
    const LockedBlock source(diffuse ? copy.get() : dib);
    DibLayout in;
    MeasureDib(source, in);

    const ProgressWindow window;
    const auto width = static_cast<std::size_t>(in.header.biWidth);
    const auto height = static_cast<std::size_t>(in.header.biHeight);
    std::unique_ptr<std::uint32_t[]> histogram;
    if (AllowWorkAllocation())
        histogram.reset(new (std::nothrow) std::uint32_t[kHistogramCells]());
    if (!histogram)
        return Fail("ReduceColors: out of memory!");

    window.Step("to 15 bit");
    for (std::size_t row = 0; row < height; ++row) {
        window.Percent(row * 100 / height);
        const std::uint8_t* px = in.bits + row * in.stride;
        for (std::size_t x = 0; x < width; ++x, px += 3) ++histogram[HistCell(px[2] >> 3, px[1] >> 3, px[0] >> 3)];
    }

    VDK_BITMAPINFOHEADER oh{};
    oh.biSize = kHeaderSize;
    oh.biWidth = in.header.biWidth;
    oh.biHeight = in.header.biHeight;
    oh.biPlanes = 1;
    oh.biBitCount = 8;
    oh.biCompression = VDK_BI_RGB;
    oh.biSizeImage = static_cast<std::uint32_t>(((width + 3) & ~std::size_t{3}) * height);
    oh.biXPelsPerMeter = kToolkitPelsPerMeter;
    oh.biYPelsPerMeter = kToolkitPelsPerMeter;
    oh.biClrUsed = 256;
    oh.biClrImportant = 0;
    NewDib out(oh, std::size_t{oh.biSizeImage} + 1064);
    if (!out)
        return Fail("ReduceColors: out of memory!");

    window.Step("Schritt 2 von 4: Farbtabelle bestimmen");
    const std::uint32_t colours = 1u << bitsPerPixel;
    std::uint8_t* table = out.layout.table;
    if ((flags & 2) != 0) {
        MedianCutState state{window, histogram.get(), table};
        state.expected = 2 * std::uint64_t{colours} - 1;
        MedianCut(state, 0, 31, 0, 31, 0, 31, colours, static_cast<std::uint64_t>(width) * height);
    } else {
        for (std::uint32_t i = 0; i < colours; ++i) {
            window.Percent(std::uint64_t{i} * 100 / colours);
            std::size_t best = 0;
            for (std::size_t c = 1; c < kHistogramCells; ++c)
                if (histogram[c] > histogram[best])
                    best = c;
            std::uint8_t* e = table + std::size_t{i} * 4;
            e[0] = static_cast<std::uint8_t>((best & 31) * 8);
            e[1] = static_cast<std::uint8_t>(((best >> 5) & 31) * 8);
            e[2] = static_cast<std::uint8_t>((best >> 10) * 8);
            histogram[best] = 1;
        }
    }

    window.Step("Schritt 3 von 4: Farbzuordnung");
    for (std::size_t c = 0; c < kHistogramCells; ++c) {
        if (c % 163 == 0)
            window.Percent(c / 327);
        if (!diffuse && histogram[c] == 0)
            continue;
        const int r = static_cast<int>((c >> 10) * 8), g = static_cast<int>(((c >> 5) & 31) * 8),
                  b = static_cast<int>((c & 31) * 8);
        std::uint32_t nearest = 0;
        int best = -1;
        for (std::uint32_t i = 0; i < colours; ++i) {
            const std::uint8_t* e = table + std::size_t{i} * 4;
            const int dr = r - e[2], dg = g - e[1], db = b - e[0];
            const int d = dr * dr + dg * dg + db * db;
            if (best < 0 || d < best) {
                best = d;
                nearest = i;
            }
        }
        histogram[c] = nearest;
    }

    window.Step("Schritt 4 von 4: DIB anpassen");
    for (std::size_t row = 0; row < height; ++row) {
        window.Percent(row * 100 / height);
        std::uint8_t* dst = out.layout.bits + row * out.layout.stride;
        for (std::size_t x = 0; x < width; ++x) {
            const std::uint8_t* px = in.bits + row * in.stride + x * 3;
            const std::uint32_t index = histogram[HistCell(px[2] >> 3, px[1] >> 3, px[0] >> 3)];
            dst[x] = static_cast<std::uint8_t>(index);
            if (diffuse)
                DiffuseError(in, row, x, table + std::size_t{index} * 4);
        }
    }
    return out.Release();
}

}  // namespace vdk

extern "C" {

void vdk_SetProgressWindow(const VDK_PROGRESS_WINDOW* window) {
    const std::lock_guard<std::mutex> lock(vdk::windowMutex);
    vdk::installedWindow = window ? *window : VDK_PROGRESS_WINDOW{};
}

VDK_HDIB ReduceColors(VDK_HDIB dib, int32_t uBPP, int32_t flags) {
    return vdk::ReduceColors(dib, uBPP, flags);
}

}  // extern "C"
