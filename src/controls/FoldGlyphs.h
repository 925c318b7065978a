#pragma once

#include <QColor>
#include <QImage>

#include <string_view>

namespace vs {

// The fold panel's built-in glyphs by name: "EXPAND_H" (12 x 41), "COLLAPS_H" (41 x 12),
// "EXPAND_V" (41 x 12), "COLLAPS_V" (12 x 41). Sixteen-colour pixel art whose bottom-left
// pixel, olive, is the transparent colour. A null image for any other name.
QImage DefaultFoldGlyph(std::string_view name);

// The colour standing for "transparent" in a glyph: its bottom-left pixel.
QColor GlyphTransparentColour(const QImage& glyph);

// The glyph combined pixel by pixel with a field of tint by bitwise AND.
QImage ActiveGlyph(const QImage& glyph, const QColor& tint);

// The glyph with its transparent-colour pixels replaced by brush.
QImage GlyphOnBrush(const QImage& glyph, const QColor& brush);

}  // namespace vs
