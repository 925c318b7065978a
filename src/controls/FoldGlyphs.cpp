#include "controls/FoldGlyphs.h"

namespace vs {

namespace {

// Four-bit palette colours the art uses.
constexpr QRgb kOlive = 0xff808000;
constexpr QRgb kBlack = 0xff000000;
constexpr QRgb kWhite = 0xffffffff;
constexpr QRgb kGray = 0xff808080;

constexpr int kLength = 41;
constexpr int kThickness = 12;

// A strip of grip dots along its length with two arrowheads in the middle pointing (dx, dy).
QImage MakeGlyph(bool tall, int dx, int dy) {
    QImage img(tall ? kThickness : kLength, tall ? kLength : kThickness, QImage::Format_RGB32);
    img.fill(kOlive);
    // (u along the strip, v across it) to pixels.
    const auto put = [&](int u, int v, QRgb c) {
        const int x = tall ? v : u;
        const int y = tall ? u : v;
        if (img.rect().contains(x, y))
            img.setPixel(x, y, c);
    };
    for (int u = 3; u <= 36; u += 3) {
        if (u > 11 && u < 29)
            continue;  // room for the arrows
        for (int v : {3, 7}) {
            put(u, v, kWhite);
            put(u + 1, v + 1, kGray);
        }
    }
    // Arrowheads: rows of 7, 5, 3 and 1 pixels stepping towards (dx, dy).
    for (int centre : {16, 24}) {
        const int cx = tall ? 5 : centre;
        const int cy = tall ? centre : 5;
        for (int k = 0; k < 4; ++k) {
            const int bx = cx + (k - 2) * dx;
            const int by = cy + (k - 2) * dy;
            for (int s = -(3 - k); s <= 3 - k; ++s) {
                const int x = bx + s * dy * dy;  // across the direction of travel
                const int y = by + s * dx * dx;
                if (img.rect().contains(x, y))
                    img.setPixel(x, y, kBlack);
            }
        }
    }
    return img;
}

}  // namespace

QImage DefaultFoldGlyph(std::string_view name) {
    if (name == "EXPAND_H")
        return MakeGlyph(true, 1, 0);  // opens to the right
    if (name == "COLLAPS_H")
        return MakeGlyph(false, -1, 0);
    if (name == "EXPAND_V")
        return MakeGlyph(false, 0, 1);  // opens downwards
    if (name == "COLLAPS_V")
        return MakeGlyph(true, 0, -1);
    return {};
}

QColor GlyphTransparentColour(const QImage& glyph) {
    if (glyph.isNull())
        return {};
    return glyph.pixelColor(0, glyph.height() - 1);
}

QImage ActiveGlyph(const QImage& glyph, const QColor& tint) {
    if (glyph.isNull())
        return {};
    QImage out = glyph.convertToFormat(QImage::Format_RGB32);
    const QRgb mask = tint.rgb() | 0xff000000;
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) row[x] &= mask;
    }
    return out;
}

QImage GlyphOnBrush(const QImage& glyph, const QColor& brush) {
    if (glyph.isNull())
        return {};
    QImage out = glyph.convertToFormat(QImage::Format_RGB32);
    const QRgb key = GlyphTransparentColour(out).rgb();
    const QRgb fill = brush.rgb();
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            if ((row[x] | 0xff000000) == key)
                row[x] = fill;
    }
    return out;
}

}  // namespace vs
