#include "viewer/Fitting.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

namespace vs {

namespace {

// Truncation toward zero of a single-precision value, as every fit in the program does.
inline int Trunc(float v) { return static_cast<int>(v); }

// Source column of each target column: trunc(step * j) in single precision, computed once
// per call so the inner loop is a table lookup and a 3-byte copy.
std::vector<std::size_t> ColumnOffsets(int count, float step) {
    std::vector<std::size_t> offsets(static_cast<std::size_t>(count));
    for (int j = 0; j < count; ++j)
        offsets[static_cast<std::size_t>(j)] = 3 * static_cast<std::size_t>(Trunc(step * static_cast<float>(j)));
    return offsets;
}

// Nearest-neighbour copy of source into a scaledW x scaledH rectangle of target at (left, top).
void SampleInto(const Bitmap& source, Bitmap& target, int left, int top, int scaledW, int scaledH) {
    const float xStep = static_cast<float>(source.width()) / static_cast<float>(scaledW);
    const float yStep = static_cast<float>(source.height()) / static_cast<float>(scaledH);
    const std::vector<std::size_t> columns = ColumnOffsets(scaledW, xStep);
    for (int i = 0; i < scaledH; ++i) {
        const std::uint8_t* in = source.row(Trunc(yStep * static_cast<float>(i)));
        std::uint8_t* out = target.row(top + i) + 3 * static_cast<std::size_t>(left);
        for (const std::size_t c : columns) {
            out[0] = in[c];
            out[1] = in[c + 1];
            out[2] = in[c + 2];
            out += 3;
        }
    }
}

void CopyInto(const Bitmap& source, Bitmap& target, int left, int top) {
    const std::size_t bytes = 3 * static_cast<std::size_t>(source.width());
    for (int r = 0; r < source.height(); ++r)
        std::memcpy(target.row(top + r) + 3 * static_cast<std::size_t>(left), source.row(r), bytes);
}

}  // namespace

bool ChangeToMicroImage(Bitmap& bitmap, int cellWidth, int cellHeight) {
    if (bitmap.format() != PixelFormat::Bpp24)
        return false;
    Bitmap canvas(cellWidth, cellHeight, PixelFormat::Bpp24);
    std::memset(canvas.bits(), 255, canvas.byteSize());

    const int w = bitmap.width();
    const int h = bitmap.height();
    if (w <= cellWidth && h <= cellHeight) {
        CopyInto(bitmap, canvas, (cellWidth - w) / 2, (cellHeight - h) / 2);
    } else {
        const float cellAspect = static_cast<float>(cellWidth) / static_cast<float>(cellHeight);
        const float pictureAspect = static_cast<float>(w) / static_cast<float>(h);
        int scaledW;
        int scaledH;
        if (cellAspect > pictureAspect) {
            scaledH = cellHeight;
            scaledW = Trunc(static_cast<float>(w) * static_cast<float>(cellHeight) / static_cast<float>(h));
        } else {
            scaledW = cellWidth;
            scaledH = Trunc(static_cast<float>(h) * static_cast<float>(cellWidth) / static_cast<float>(w));
        }
        if (scaledW > 0 && scaledH > 0)
            SampleInto(bitmap, canvas, (cellWidth - scaledW) / 2, (cellHeight - scaledH) / 2, scaledW, scaledH);
    }
    bitmap = std::move(canvas);
    return true;
}

Bitmap ShrinkToFit(const Bitmap& source, int maxWidth, int maxHeight) {
    Bitmap in = source.toBgr24();
    const int w = in.width();
    const int h = in.height();
    if (in.empty() || (w <= maxWidth && h <= maxHeight))
        return in;
    // The larger reduction decides; the other side rounds to the nearest pixel, at least one.
    const double scale = std::min(static_cast<double>(maxWidth) / w, static_cast<double>(maxHeight) / h);
    const int tw = std::clamp(static_cast<int>(std::lround(w * scale)), 1, maxWidth);
    const int th = std::clamp(static_cast<int>(std::lround(h * scale)), 1, maxHeight);
    // Target column x covers source columns [x * w / tw, (x + 1) * w / tw), never none.
    const auto span = [](int i, int from, int to) {
        const int begin = static_cast<int>(static_cast<std::int64_t>(i) * from / to);
        const int end = static_cast<int>(static_cast<std::int64_t>(i + 1) * from / to);
        return std::make_pair(begin, std::max(end, begin + 1));
    };
    Bitmap out(tw, th, PixelFormat::Bpp24);
    std::vector<std::uint64_t> sums(3 * static_cast<std::size_t>(tw));
    for (int y = 0; y < th; ++y) {
        const auto [rowBegin, rowEnd] = span(y, h, th);
        std::fill(sums.begin(), sums.end(), std::uint64_t{0});
        for (int sy = rowBegin; sy < rowEnd; ++sy) {
            const std::uint8_t* row = in.row(sy);
            for (int x = 0; x < tw; ++x) {
                const auto [colBegin, colEnd] = span(x, w, tw);
                std::uint64_t* sum = &sums[3 * static_cast<std::size_t>(x)];
                for (int sx = colBegin; sx < colEnd; ++sx) {
                    const std::uint8_t* p = row + 3 * static_cast<std::size_t>(sx);
                    sum[0] += p[0];
                    sum[1] += p[1];
                    sum[2] += p[2];
                }
            }
        }
        std::uint8_t* dst = out.row(y);
        for (int x = 0; x < tw; ++x) {
            const auto [colBegin, colEnd] = span(x, w, tw);
            const auto count = static_cast<std::uint64_t>(colEnd - colBegin) * static_cast<std::uint64_t>(rowEnd - rowBegin);
            for (int c = 0; c < 3; ++c)
                dst[3 * x + c] = static_cast<std::uint8_t>((sums[3 * static_cast<std::size_t>(x) + c] + count / 2) / count);
        }
    }
    return out;
}

bool FitBitmapInto(const Bitmap& source, Bitmap& target, int width, int height) {
    if (source.format() != PixelFormat::Bpp24)
        return false;
    Bitmap out(width, height, PixelFormat::Bpp24);
    const int srcW = source.width();
    const int srcH = source.height();
    if (source.empty() || out.empty()) {
        // nothing to draw: an empty source or target gives an empty (black) picture
    } else if (width < srcW || height < srcH) {
        int b;  // width of the picture inside the target
        int a;  // its height
        if (static_cast<float>(width) / static_cast<float>(height) > static_cast<float>(srcW) / static_cast<float>(srcH)) {
            b = Trunc(static_cast<float>(srcW) * static_cast<float>(height) / static_cast<float>(srcH));
            a = height;
        } else {
            a = Trunc(static_cast<float>(srcH) * static_cast<float>(width) / static_cast<float>(srcW));
            b = width;
        }
        if (a > 0 && b > 0)
            SampleInto(source, out, (width - b) / 2, (height - a) / 2, b, a);
    } else {
        CopyInto(source, out, (width - srcW) / 2, (height - srcH) / 2);
    }
    target = std::move(out);
    return true;
}

ZoomLayout ComputeZoomLayout(int sourceWidth, int sourceHeight, int areaWidth, int areaHeight, ZoomMode mode) {
    // Display size; in Auto Size it stays unrounded for the frame placement below.
    float w = 0;
    float h = 0;
    const float boxW = static_cast<float>(areaWidth - 4);
    const float boxH = static_cast<float>(areaHeight - 4);
    const bool havePicture = sourceWidth > 0 && sourceHeight > 0;
    const auto srcW = static_cast<float>(sourceWidth);
    const auto srcH = static_cast<float>(sourceHeight);
    switch (mode) {
    case ZoomMode::AutoSize:
        if (!havePicture) {
            break;
        } else if (boxW >= srcW && boxH >= srcH) {
            w = srcW;
            h = srcH;
        } else if (boxW > 0 && boxH > 0) {
            const float r = srcH / srcW;
            if (boxH / boxW > r) {
                w = boxW;
                h = r * w;
            } else {
                h = boxH;
                w = h / r;
            }
        }
        break;
    case ZoomMode::FullSize:
        w = srcW;
        h = srcH;
        break;
    case ZoomMode::HalfSize:
    case ZoomMode::QuarterSize:
    case ZoomMode::EighthSize: {
        const int divisor = mode == ZoomMode::HalfSize ? 2 : mode == ZoomMode::QuarterSize ? 4 : 8;
        w = static_cast<float>(sourceWidth / divisor);
        h = static_cast<float>(sourceHeight / divisor);
        break;
    }
    }
    ZoomLayout layout;
    layout.imageWidth = Trunc(w);
    layout.imageHeight = Trunc(h);
    if (layout.imageWidth <= 0 || layout.imageHeight <= 0) {
        layout.imageWidth = layout.imageHeight = 0;
        w = h = 0;
    }
    layout.frameLeft = Trunc((boxW - w) * 0.5f);
    layout.frameTop = Trunc((boxH - h) * 0.5f);
    return layout;
}

bool RenderZoomedImage(const Bitmap& source, const ZoomLayout& layout, ZoomMode mode, Bitmap& image) {
    if (source.format() != PixelFormat::Bpp24)
        return false;
    if (mode == ZoomMode::FullSize) {
        image = source;
        return true;
    }
    return FitBitmapInto(source, image, layout.imageWidth, layout.imageHeight);
}

}  // namespace vs
