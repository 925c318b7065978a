#pragma once

// Rich text (RTF) as WordPad, Word and LibreOffice write it, read into a plain document model
// that the text view turns into its own document. Bounded: group nesting, numeric parameters,
// control-word names, picture data and table widths are limited, and nothing trusts a length.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace vs::rtf {

struct Color {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Color&, const Color&) = default;
};

enum class VerticalShift { None, Superscript, Subscript };

struct CharFormat {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    VerticalShift shift = VerticalShift::None;
    int halfPoints = 24;              // \fs: 12 points unless the document says otherwise
    std::optional<Color> color;       // none: the automatic (default) text colour
    std::optional<Color> background;  // \cb, \chcbpat or \highlight; none: transparent
    std::string fontFamily;           // empty: the view's default font
    friend bool operator==(const CharFormat&, const CharFormat&) = default;
};

struct Picture {
    enum class Kind { Png, Jpeg };
    Kind kind = Kind::Png;
    std::vector<std::uint8_t> data;
    // Shown size in twips (1/1440 inch) after \picscalex/\picscaley; 0 when the file gave none.
    int widthTwips = 0;
    int heightTwips = 0;
};

// A stretch of text in one format, or one picture (then text is empty). Text is UTF-8; a tab
// is '\t' and a line break inside the paragraph is U+2028.
struct Run {
    CharFormat format;
    std::string text;
    std::optional<Picture> picture;
};

enum class Alignment { Left, Center, Right, Justify };

struct ParagraphFormat {
    Alignment alignment = Alignment::Left;
    // In twips.
    int leftIndent = 0;
    int rightIndent = 0;
    int firstLineIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    friend bool operator==(const ParagraphFormat&, const ParagraphFormat&) = default;
};

struct Paragraph {
    ParagraphFormat format;
    std::vector<Run> runs;
    std::string Text() const;  // the runs' text, pictures left out
};

struct TableCell {
    std::vector<Paragraph> paragraphs;
};
struct TableRow {
    std::vector<TableCell> cells;
};
struct Table {
    std::vector<TableRow> rows;
};

using Block = std::variant<Paragraph, Table>;

struct Document {
    std::vector<Block> blocks;
    // Paragraphs joined by '\n', table cells by '\t', table rows by '\n'.
    std::string PlainText() const;
};

inline constexpr int kMaxGroupDepth = 256;                  // deeper groups are skipped whole
inline constexpr int kMaxCellsPerRow = 64;                  // further cells join the last one
inline constexpr std::size_t kMaxPictureBytes = 32u << 20;  // larger pictures are dropped

// Whether the bytes start like an RTF document ("{\rtf", after optional white space).
bool LooksLikeRtf(std::span<const std::uint8_t> bytes);

// Reads an RTF document. Throws DecodeError when the bytes do not start like RTF; anything
// after that is read as far as it goes (a document cut short keeps what came before).
Document ReadRtf(std::span<const std::uint8_t> bytes);

}  // namespace vs::rtf
