// Adjustments of 24-bit DIBs inside a rectangle (right and bottom exclusive): a 3 x 3 sharpening
// filter, a per-channel tone curve (gamma, brightness, contrast) and hue/saturation/lightness
// in HSV space. Each has bitmap entry points that convert the bitmap to a 24-bit DIB, adjust
// it and bring it back to the bitmap's depth.
#include "dib/DibBlock.h"
#include "dib/DibShared.h"
#include "dib/Platform.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

namespace vdk {
namespace {

// The rectangle clipped to the picture, in image rows and columns; false when nothing is left.
struct Area {
    std::int64_t left, top, right, bottom;  // right and bottom exclusive
};

bool Clip(const VDK_RECT& r, const DibLayout& d, Area& a) {
    a.left = std::max<std::int64_t>(r.left, 0);
    a.top = std::max<std::int64_t>(r.top, 0);
    a.right = std::min<std::int64_t>(r.right, d.header.biWidth);
    a.bottom = std::min<std::int64_t>(r.bottom, d.header.biHeight);
    return a.left < a.right && a.top < a.bottom;
}

std::uint8_t* PixelAt(const DibLayout& d, std::int64_t x, std::int64_t y) {
    const auto stored = static_cast<std::size_t>(d.header.biHeight - 1 - y);
    return d.bits + stored * d.stride + static_cast<std::size_t>(x) * 3;
}

// A copy of a 24-bit DIB, or 0 (with the copy's message when it failed).
VDK_HDIB Copy24(VDK_HDIB dib) {
    {
        const LockedBlock block(dib);
        DibLayout d;
        if (!MeasureDib(block, d) || d.header.biBitCount != 24 || d.header.biCompression != VDK_BI_RGB)
            return 0;
    }
    return CopyDIB(dib);
}

int Gamma(int i, int g) {
    const double v = std::min(255.0, std::pow(i / 255.0, 10.0 / g) * 255.0);
    return static_cast<int>(v + 0.5);
}

int Brightness(int v, int b) {
    if (b < 0)
        return v * 256 / (65536 / (b + 256));
    if (b == 0)
        return v;
    return v + ((255 - v) * 256) / (65536 / b);
}

int Contrast(int v, int a) {
    if (a == 0)
        return v;
    const int x = v <= 127 ? v : 255 - v;
    const float exponent = a > 0 ? static_cast<float>(128 - a) / 127.0f : 127.0f / static_cast<float>(128 + a);
    const float curved = std::pow(static_cast<float>(x) / 127.0f, exponent) * 127.0f;
    const int y = static_cast<int>(std::clamp(curved, 0.0f, 255.0f));
    return v > 127 ? 255 - y : y;
}

void Report(VDK_PROGRESSPROC progress, std::int32_t percent, intptr_t user) {
    if (progress)
        progress(percent, user);
}

// The flow every bitmap entry point shares: bitmap to 24-bit DIB, the adjustment, back to
// the bitmap's depth (4- and 8-bit bitmaps through QuantizeDIB), new handle to the caller.
std::int32_t WrapBitmap(VDK_HBITMAP* bitmap, VDK_HPALETTE* palette, const std::function<VDK_HDIB(VDK_HDIB)>& apply,
                        bool dither, intptr_t user, VDK_PROGRESSPROC progress) {
    if (!bitmap || !*bitmap)
        return -1;
    VDK_BITMAP bm{};
    if (!vdk_GetObject(*bitmap, sizeof bm, &bm))
        return -1;
    const int depth = bm.bmPlanes * bm.bmBitsPixel;
    const VDK_HPALETTE pal = palette ? *palette : 0;
    OwnedBlock dib(IDDBtoDIB(*bitmap, pal, 24));
    if (!dib)
        return -1;
    const VDK_HDIB result = apply(dib.get());
    if (!result)
        return -1;
    OwnedBlock adjusted(result == dib.get() ? dib.release() : result);
    VDK_HBITMAP made = 0;
    if (depth == 8 || depth == 4) {
        OwnedBlock quantised(QuantizeDIB(adjusted.get(), depth, dither ? 1 : 0, 0, nullptr, user, progress));
        vdk_GlobalFree(adjusted.release());
        if (!quantised)
            return -1;
        made = DibtoDdb2(quantised.get(), pal);
        if (!made)
            return -1;
        Report(progress, 100, user);
    } else {
        made = DibtoDdb2(adjusted.get(), pal);
        if (!made)
            return -1;
    }
    *bitmap = made;
    return 1;
}

}  // namespace
}  // namespace vdk

using vdk::DibLayout;
using vdk::LockedBlock;

extern "C" {

VDK_HDIB Better(VDK_HDIB dib, int32_t strength, const VDK_RECT* rect, intptr_t, VDK_PROGRESSPROC) {
    const float v = static_cast<float>(strength * 0.1);
    const float w = 1.0f - v;
    // Strength 10 would divide by zero.
    if (!rect || w == 0.0f)
        return 0;
    vdk::OwnedBlock copy(vdk::Copy24(dib));
    if (!copy)
        return 0;
    const LockedBlock source(dib);
    const LockedBlock target(copy.get());
    DibLayout in, out;
    vdk::MeasureDib(source, in);
    vdk::MeasureDib(target, out);
    vdk::Area a{};
    if (!vdk::Clip(*rect, in, a))
        return copy.release();
    const std::int64_t width = in.header.biWidth, height = in.header.biHeight;
    for (std::int64_t y = a.top; y < a.bottom; ++y) {
        // Neighbours beyond the picture's border are the border pixels themselves.
        const std::int64_t ys[3] = {std::max<std::int64_t>(y - 1, 0), y, std::min(y + 1, height - 1)};
        for (std::int64_t x = a.left; x < a.right; ++x) {
            const std::int64_t xs[3] = {std::max<std::int64_t>(x - 1, 0), x, std::min(x + 1, width - 1)};
            std::uint8_t* dst = vdk::PixelAt(out, x, y);
            const std::uint8_t* centre = vdk::PixelAt(in, x, y);
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (const std::int64_t ny : ys)
                    for (const std::int64_t nx : xs) sum += vdk::PixelAt(in, nx, ny)[c];
                const float value = (static_cast<float>(centre[c]) - v * static_cast<float>(sum) / 9.0f) / w + 0.5f;
                dst[c] = static_cast<std::uint8_t>(std::clamp(static_cast<int>(value), 0, 255));
            }
        }
    }
    return copy.release();
}

VDK_HDIB Enhance(VDK_HDIB dib, int32_t brightness, int32_t contrast, int32_t gammaBlue, int32_t gammaGreen,
                 int32_t gammaRed, const VDK_RECT* rect, intptr_t, VDK_PROGRESSPROC) {
    // Outside these the curve divides by zero.
    if (!rect || gammaBlue == 0 || gammaGreen == 0 || gammaRed == 0 || brightness <= -256 || brightness > 256 ||
        contrast < -127 || contrast > 127)
        return 0;
    vdk::OwnedBlock copy(vdk::Copy24(dib));
    if (!copy)
        return 0;
    const int gammas[3] = {gammaBlue, gammaGreen, gammaRed};
    std::uint8_t table[3][256];
    for (int p = 0; p < 3; ++p)
        for (int i = 0; i < 256; ++i)
            table[p][i] = static_cast<std::uint8_t>(
                std::clamp(vdk::Contrast(vdk::Brightness(vdk::Gamma(i, gammas[p]), brightness), -contrast), 0, 255));
    const LockedBlock target(copy.get());
    DibLayout out;
    vdk::MeasureDib(target, out);
    vdk::Area a{};
    if (vdk::Clip(*rect, out, a))
        for (std::int64_t y = a.top; y < a.bottom; ++y) {
            std::uint8_t* px = vdk::PixelAt(out, a.left, y);
            for (std::int64_t x = a.left; x < a.right; ++x, px += 3)
                for (int p = 0; p < 3; ++p) px[p] = table[p][px[p]];
        }
    return copy.release();
}

int32_t dkHueAndSaturation(VDK_HDIB dib, int16_t red, int16_t green, int16_t blue, int16_t yellow, int16_t magenta,
                           int16_t cyan, int16_t hue, int16_t saturation, int16_t lightness, const VDK_RECT* rect,
                           intptr_t user, VDK_PROGRESSPROC progress) {
    if (!dib || !rect)
        return 0;
    const LockedBlock block(dib);
    DibLayout d;
    if (!vdk::MeasureDib(block, d) || d.header.biBitCount != 24 || d.header.biCompression != VDK_BI_RGB)
        return 0;
    const bool master = red == 1 && green == 1 && blue == 1 && yellow == 1 && magenta == 1 && cyan == 1;
    const float s = static_cast<float>(saturation) / 100.0f;
    const float l = static_cast<float>(lightness) / 100.0f;
    // The ranges in the order they apply, with their centres.
    const struct {
        bool on;
        float centre;
    } ranges[6] = {{red == 1, 0.0f},    {yellow == 1, 60.0f}, {green == 1, 120.0f},
                   {cyan == 1, 180.0f}, {blue == 1, 240.0f},  {magenta == 1, 300.0f}};
    const std::int64_t height = d.header.biHeight;
    vdk::Area a{};
    const bool any = vdk::Clip(*rect, d, a);
    for (std::int64_t stored = 0; stored < height && any; ++stored) {
        const std::int64_t y = height - 1 - stored;
        if (y >= a.top && y < a.bottom) {
            std::uint8_t* px = vdk::PixelAt(d, a.left, y);
            for (std::int64_t x = a.left; x < a.right; ++x, px += 3) {
                if (px[0] == px[1] && px[1] == px[2] && l == 0.0f)
                    continue;
                float R = px[2] / 255.0f, G = px[1] / 255.0f, B = px[0] / 255.0f;
                if (master && l != 0.0f) {
                    const auto lift = [l](float c) { return l > 0 ? c + l * (1 - c) : c + l * c; };
                    R = lift(R);
                    G = lift(G);
                    B = lift(B);
                }
                float V = std::max({R, G, B});
                const float mn = std::min({R, G, B});
                const float delta = V - mn;
                float S = V == 0 ? 0.0f : delta / V;
                float H = 0;
                if (S != 0) {
                    if (V == R)
                        H = 60 * ((G - B) / delta);
                    else if (V == G)
                        H = 60 * ((B - R) / delta + 2);
                    else
                        H = 60 * ((R - G) / delta + 4);
                    if (H < 0)
                        H += 360;
                    else if (H > 360)
                        H -= 360;
                }
                const auto wrap = [](float h) { return h > 360 ? h - 360 : (h < 0 ? h + 360 : h); };
                if (master) {
                    H += hue;
                    if (S > 0.01f && s > 0)
                        S = S + s * (1 - S);
                    else if (s < 0)
                        S = S + S * s;
                    H = wrap(H);
                    S = std::clamp(S, 0.0f, 1.0f);
                    V = std::clamp(V, 0.0f, 1.0f);
                } else {
                    for (const auto& range : ranges) {
                        if (!range.on || !(S > 0))
                            continue;
                        float dist = 0;
                        if (range.centre == 0) {
                            if (H >= 300)
                                dist = 360 - H;
                            else if (H <= 60)
                                dist = H;
                            else
                                continue;
                        } else {
                            if (H < range.centre - 60 || H > range.centre + 60)
                                continue;
                            dist = H - range.centre;
                        }
                        const float share = std::fabs(dist) / 60.0f;
                        const float K = 1 - share;
                        if (l > 0) {
                            S = S - l * S * K;
                        } else if (l < 0) {
                            V = V + l * V * K * S;
                            S = S + K * l * S;
                        }
                        S = std::clamp(S, 0.0f, 1.0f);
                        V = std::clamp(V, 0.0f, 1.0f);
                        H = H + hue * K;
                        if (S > 0.01f && s > 0)
                            S = S + s * (1 - S) * share;
                        else if (s < 0)
                            S = S + (1 - share) * S * s;
                        H = wrap(H);
                        S = std::clamp(S, 0.0f, 1.0f);
                        V = std::clamp(V, 0.0f, 1.0f);
                    }
                }
                float out[3];  // red, green, blue
                if (S == 0) {
                    out[0] = out[1] = out[2] = V;
                } else {
                    const float h = (H >= 360 ? 0 : H) / 60.0f;
                    const int i = std::clamp(static_cast<int>(std::floor(h)), 0, 5);
                    const float f = h - static_cast<float>(i);
                    const float p = V * (1 - S), q = V * (1 - S * f), t = V * (1 - S * (1 - f));
                    const float table[6][3] = {{V, t, p}, {q, V, p}, {p, V, t}, {p, q, V}, {t, p, V}, {V, p, q}};
                    std::copy(table[i], table[i] + 3, out);
                }
                px[2] = static_cast<std::uint8_t>(std::clamp(static_cast<int>(out[0] * 255), 0, 255));
                px[1] = static_cast<std::uint8_t>(std::clamp(static_cast<int>(out[1] * 255), 0, 255));
                px[0] = static_cast<std::uint8_t>(std::clamp(static_cast<int>(out[2] * 255), 0, 255));
            }
        }
        if (stored % 20 == 0)
            vdk::Report(progress, static_cast<std::int32_t>(stored * 100 / height), user);
    }
    vdk::Report(progress, 100, user);
    return 1;
}

int32_t DKImageCopyBMP(VDK_HBITMAP* bitmap, VDK_HPALETTE* palette, int32_t newWidth, int32_t newHeight,
                       const VDK_RECT* rect, uint32_t flags) {
    return vdk::WrapBitmap(
        bitmap, palette, [&](VDK_HDIB dib) { return DKImageCopy(dib, newWidth, newHeight, rect, flags); }, false, 0,
        nullptr);
}

int32_t _SharpBMP(VDK_HBITMAP* bitmap, VDK_HPALETTE* palette, int32_t strength, const VDK_RECT* rect, int16_t dither,
                  intptr_t user, VDK_PROGRESSPROC progress) {
    return vdk::WrapBitmap(
        bitmap, palette, [&](VDK_HDIB dib) { return Better(dib, strength, rect, user, progress); }, dither != 0, user,
        progress);
}

// The whole picture of a bitmap, for the entry points without a rectangle.
static VDK_RECT WholeBitmap(const VDK_HBITMAP* bitmap) {
    VDK_BITMAP bm{};
    if (bitmap && *bitmap)
        vdk_GetObject(*bitmap, sizeof bm, &bm);
    return {0, 0, bm.bmWidth, bm.bmHeight};
}

int32_t VBetterBMP(VDK_HBITMAP* bitmap, VDK_HPALETTE* palette, double strength, int16_t dither) {
    // Truncation of a value outside int's range would be undefined.
    if (!(strength > -1e6 && strength < 1e6))
        return -1;
    const VDK_RECT whole = WholeBitmap(bitmap);
    return _SharpBMP(bitmap, palette, static_cast<int32_t>(strength), &whole, dither, 0, nullptr);
}

int32_t _EnhanceBMP(VDK_HBITMAP* bitmap, VDK_HPALETTE* palette, int32_t brightness, int32_t contrast, int32_t gammaBlue,
                    int32_t gammaGreen, int32_t gammaRed, const VDK_RECT* rect, int16_t dither, intptr_t user,
                    VDK_PROGRESSPROC progress) {
    return vdk::WrapBitmap(
        bitmap, palette,
        [&](VDK_HDIB dib) {
            return Enhance(dib, brightness, contrast, gammaBlue, gammaGreen, gammaRed, rect, user, progress);
        },
        dither != 0, user, progress);
}

int32_t VEnhanceBMP(VDK_HBITMAP* bitmap, VDK_HPALETTE* palette, int32_t brightness, int32_t contrast, int32_t gammaBlue,
                    int32_t gammaGreen, int32_t gammaRed, int16_t dither) {
    const VDK_RECT whole = WholeBitmap(bitmap);
    return _EnhanceBMP(bitmap, palette, brightness, contrast, gammaBlue, gammaGreen, gammaRed, &whole, dither, 0,
                       nullptr);
}

int32_t _dkHueAndSaturationBMP(VDK_HBITMAP* bitmap, VDK_HPALETTE* palette, int16_t red, int16_t green, int16_t blue,
                               int16_t yellow, int16_t magenta, int16_t cyan, int16_t hue, int16_t saturation,
                               int16_t lightness, int16_t dither, const VDK_RECT* rect, intptr_t user,
                               VDK_PROGRESSPROC progress) {
    return vdk::WrapBitmap(
        bitmap, palette,
        [&](VDK_HDIB dib) -> VDK_HDIB {
            return dkHueAndSaturation(dib, red, green, blue, yellow, magenta, cyan, hue, saturation, lightness, rect,
                                      user, progress) == 1
                       ? dib
                       : 0;
        },
        dither != 0, user, progress);
}

}  // extern "C"
