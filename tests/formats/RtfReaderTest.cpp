#include "formats/RtfReader.h"

#include "graphics/Errors.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vs::rtf {
namespace {

Document Read(const std::string& rtf) {
    return ReadRtf(std::vector<std::uint8_t>(rtf.begin(), rtf.end()));
}

// The document's only paragraph (fails the test otherwise).
const Paragraph& OnlyParagraph(const Document& doc) {
    static const Paragraph none;
    EXPECT_EQ(doc.blocks.size(), 1u);
    if (doc.blocks.empty() || !std::holds_alternative<Paragraph>(doc.blocks[0]))
        return none;
    return std::get<Paragraph>(doc.blocks[0]);
}

// The run holding text (fails the test when no run holds exactly that).
const rtf::Run& RunWith(const Paragraph& p, const std::string& text) {
    for (const rtf::Run& run : p.runs)
        if (run.text == text)
            return run;
    ADD_FAILURE() << "no run \"" << text << "\"";
    static const rtf::Run none;
    return none;
}

const std::string kFonts =
    "{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}"
    "{\\f2\\fmodern\\fcharset128{\\*\\panose 02020609040205080304}MS Gothic;}{\\f3\\fnil\\fcharset1 Default;}}";

TEST(RtfReader, GroupsScopeCharacterFormats) {
    const Document doc =
        Read("{\\rtf1\\ansi\\deff0" + kFonts +
             "plain {\\b bold {\\i both}} \\ul under\\ul0  \\strike gone\\strike0  {\\fs40 big}{\\b\\plain reset}"
             "{\\super up}\\b1 on\\b0  off}");
    const Paragraph& p = OnlyParagraph(doc);
    EXPECT_EQ(p.Text(), "plain bold both under gone bigresetupon off");
    EXPECT_FALSE(RunWith(p, "plain ").format.bold);
    EXPECT_TRUE(RunWith(p, "bold ").format.bold);
    EXPECT_FALSE(RunWith(p, "bold ").format.italic);
    EXPECT_TRUE(RunWith(p, "both").format.bold);
    EXPECT_TRUE(RunWith(p, "both").format.italic);
    EXPECT_TRUE(RunWith(p, "under").format.underline);
    EXPECT_FALSE(RunWith(p, " ").format.underline);
    EXPECT_TRUE(RunWith(p, "gone").format.strikeOut);
    EXPECT_EQ(RunWith(p, "big").format.halfPoints, 40);
    EXPECT_EQ(RunWith(p, "gone").format.halfPoints, 24);
    EXPECT_FALSE(RunWith(p, "reset").format.bold);
    EXPECT_EQ(RunWith(p, "up").format.shift, VerticalShift::Superscript);
    EXPECT_TRUE(RunWith(p, "on").format.bold);
    EXPECT_FALSE(RunWith(p, " off").format.bold);
    EXPECT_EQ(RunWith(p, "plain ").format.fontFamily, "Arial");
}

TEST(RtfReader, FontCharsetsChooseTheCodePageOfEscapedBytes) {
    const Document doc = Read("{\\rtf1\\ansi\\ansicpg936\\deff0" + kFonts +
                              "\\f0 caf\\'e9 {\\f1 \\'c4\\'e3\\'ba\\'c3}{\\f2 \\'82\\'a0}{\\f3 \\'ba\\'cf}\\par"
                              "\\f1 \\'c4\\'e3 raw\\par}");
    ASSERT_EQ(doc.blocks.size(), 2u);
    const auto& first = std::get<Paragraph>(doc.blocks[0]);
    EXPECT_EQ(first.Text(), "caf\xC3\xA9 \xE4\xBD\xA0\xE5\xA5\xBD\xE3\x81\x82\xE5\x90\x88");
    EXPECT_EQ(RunWith(first, "\xE4\xBD\xA0\xE5\xA5\xBD").format.fontFamily, "\xE5\xAE\x8B\xE4\xBD\x93");  // 宋体
    EXPECT_EQ(RunWith(first, "\xE3\x81\x82").format.fontFamily, "MS Gothic");
    EXPECT_EQ(std::get<Paragraph>(doc.blocks[1]).Text(), "\xE4\xBD\xA0 raw");
}

TEST(RtfReader, Windows1252DocumentWithoutFontTable) {
    const Document doc = Read("{\\rtf1\\ansi Na\\'efve \\'93quote\\'94 \\'80 5\\par}");
    EXPECT_EQ(OnlyParagraph(doc).Text(), "Na\xC3\xAFve \xE2\x80\x9Cquote\xE2\x80\x9D \xE2\x82\xAC 5");
}

TEST(RtfReader, ColourTableGivesTextAndBackgroundColours) {
    const Document doc = Read(
        "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;\\red0\\green128\\blue255;}"
        "auto {\\cf1 red} {\\cf2\\highlight1 blue on red} {\\cf9\\b unknown} {\\cb2 back}}");
    const Paragraph& p = OnlyParagraph(doc);
    EXPECT_FALSE(RunWith(p, "auto ").format.color.has_value());
    EXPECT_EQ(RunWith(p, "red").format.color, (Color{255, 0, 0}));
    EXPECT_EQ(RunWith(p, "blue on red").format.color, (Color{0, 128, 255}));
    EXPECT_EQ(RunWith(p, "blue on red").format.background, (Color{255, 0, 0}));
    EXPECT_FALSE(RunWith(p, "unknown").format.color.has_value());
    EXPECT_EQ(RunWith(p, "back").format.background, (Color{0, 128, 255}));
}

TEST(RtfReader, UnicodeCharactersSkipTheirFallbacks) {
    const Document doc = Read(
        "{\\rtf1\\ansi\\ansicpg936 a\\u20320?b{\\uc2\\u22909\\'ba\\'c3c}\\u-10179?\\u-8704?d{\\uc0\\u8364 e"
        "\\u-3913 f}\\u56832?g}");
    // 你, 好 (its two fallback bytes skipped), U+1F600 from a surrogate pair, €, U+F0B7,
    // and a lone low surrogate replaced.
    EXPECT_EQ(OnlyParagraph(doc).Text(),
              "a\xE4\xBD\xA0"
              "b\xE5\xA5\xBD"
              "c\xF0\x9F\x98\x80"
              "d\xE2\x82\xAC"
              "e\xEF\x82\xB7"
              "f\xEF\xBF\xBD"
              "g");
}

TEST(RtfReader, ParagraphBreaksAndParagraphFormats) {
    const Document doc = Read(
        "{\\rtf1\\pard\\qc\\li720\\ri360\\fi-360\\sb120\\sa240 one\\line two\\tab three\\par"
        "\\qr right\\par\\pard plain\\emdash end\\par\\qj\\pard\\qj last}");
    ASSERT_EQ(doc.blocks.size(), 4u);
    const auto& first = std::get<Paragraph>(doc.blocks[0]);
    EXPECT_EQ(first.Text(), "one\xE2\x80\xA8two\tthree");
    EXPECT_EQ(first.format, (ParagraphFormat{Alignment::Center, 720, 360, -360, 120, 240}));
    const auto& second = std::get<Paragraph>(doc.blocks[1]);
    EXPECT_EQ(second.format.alignment, Alignment::Right);
    EXPECT_EQ(second.format.leftIndent, 720);  // kept until \pard
    EXPECT_EQ(std::get<Paragraph>(doc.blocks[2]).format, ParagraphFormat{});
    EXPECT_EQ(std::get<Paragraph>(doc.blocks[2]).Text(),
              "plain\xE2\x80\x94"
              "end");
    EXPECT_EQ(std::get<Paragraph>(doc.blocks[3]).format.alignment, Alignment::Justify);
    EXPECT_EQ(doc.PlainText(),
              "one\xE2\x80\xA8two\tthree\nright\nplain\xE2\x80\x94"
              "end\nlast\n");
}

TEST(RtfReader, DestinationsThatAreNotTextAreSkipped) {
    const Document doc = Read(
        "{\\rtf1{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}{\\author A}}{\\header head}{\\footer foot}"
        "{\\*\\generator Writer;}{\\*\\unknownthing x}body{\\footnote note}"
        " {\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt link}}"
        "{\\*\\bkmkstart b}{\\pntext\\'b7\\tab}item{\\*\\pn\\pnlvlblt{\\pntxtb B}}"
        "{\\*\\shppict{\\pict\\pngblip 89504e47}}{\\nonshppict{\\pict\\wmetafile8 0100}} end}");
    const Paragraph& p = OnlyParagraph(doc);
    EXPECT_EQ(p.Text(), "body link\xC2\xB7\titem end");
    int pictures = 0;
    for (const rtf::Run& run : p.runs) pictures += run.picture.has_value();
    EXPECT_EQ(pictures, 1);
}

TEST(RtfReader, PngAndJpegPicturesKeepTheirBytesAndSize) {
    const Document doc = Read(
        "{\\rtf1 a{\\pict\\pngblip\\picw10\\pich5\\picwgoal1500\\pichgoal750\\picscalex50 89504E47\r\n0d0a1a0a}"
        "{\\pict\\jpegblip\\bin4 \xFF\xD8}{\\FF}b{\\pict\\wmetafile8 0102}{\\pict\\emfblip 0102}c}");
    const Paragraph& p = OnlyParagraph(doc);
    EXPECT_EQ(p.Text(), "abc");
    std::vector<const Picture*> pictures;
    for (const rtf::Run& run : p.runs)
        if (run.picture)
            pictures.push_back(&*run.picture);
    ASSERT_EQ(pictures.size(), 2u);
    EXPECT_EQ(pictures[0]->kind, Picture::Kind::Png);
    EXPECT_EQ(pictures[0]->data, (std::vector<std::uint8_t>{0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A}));
    EXPECT_EQ(pictures[0]->widthTwips, 750);
    EXPECT_EQ(pictures[0]->heightTwips, 750);
    // \bin bytes are taken raw, braces and all.
    EXPECT_EQ(pictures[1]->kind, Picture::Kind::Jpeg);
    EXPECT_EQ(pictures[1]->data, (std::vector<std::uint8_t>{0xFF, 0xD8, '}', '{'}));
}

TEST(RtfReader, TablesBecomeRowsOfCells) {
    // The second row ends the way Word writes it: the row properties in a group after the cells.
    const Document doc = Read(
        "{\\rtf1 before\\par\\trowd\\cellx1000\\cellx2000\\pard\\intbl A1\\cell {\\b B1}\\cell\\row"
        "\\pard\\intbl A2\\par more\\cell B2\\cell\\pard\\intbl{\\trowd\\cellx1000\\cellx2000\\row}"
        "\\pard after\\par}");
    ASSERT_EQ(doc.blocks.size(), 3u);
    ASSERT_TRUE(std::holds_alternative<Table>(doc.blocks[1]));
    const Table& table = std::get<Table>(doc.blocks[1]);
    ASSERT_EQ(table.rows.size(), 2u);
    ASSERT_EQ(table.rows[0].cells.size(), 2u);
    EXPECT_TRUE(table.rows[0].cells[1].paragraphs[0].runs[0].format.bold);
    ASSERT_EQ(table.rows[1].cells[0].paragraphs.size(), 2u);
    EXPECT_EQ(doc.PlainText(), "before\nA1\tB1\nA2 more\tB2\nafter\n");
}

TEST(RtfReader, LimitsHoldOnHostileInput) {
    // Nesting past the limit is skipped whole, text around it is kept.
    std::string deep = "{\\rtf1 A";
    deep += std::string(100000, '{') + "hidden" + std::string(100000, '}') + "B}";
    EXPECT_EQ(OnlyParagraph(Read(deep)).Text(), "AB");
    // Saturated parameters, an over-long control word, a \bin longer than the file.
    const Document doc = Read(
        "{\\rtf1{\\fs99999999999999999999 a}{\\fs-5\\b b}\\li-99999999999 "
        "\\" +
        std::string(5000, 'x') + " c\\par{\\pict\\pngblip\\bin999999999 12}");
    ASSERT_FALSE(doc.blocks.empty());
    const auto& p = std::get<Paragraph>(doc.blocks[0]);
    EXPECT_EQ(RunWith(p, "a").format.halfPoints, 3276);
    EXPECT_EQ(RunWith(p, "b").format.halfPoints, 24);
    EXPECT_EQ(p.format.leftIndent, -31680);
    EXPECT_EQ(p.Text(), "abc");
    // A row wider than the limit folds its extra cells into the last one.
    std::string wide = "{\\rtf1\\intbl ";
    for (int i = 0; i < kMaxCellsPerRow + 10; ++i) wide += "x\\cell ";
    wide += "\\row}";
    const Document w = Read(wide);
    ASSERT_EQ(w.blocks.size(), 1u);
    EXPECT_EQ(std::get<Table>(w.blocks[0]).rows[0].cells.size(), static_cast<std::size_t>(kMaxCellsPerRow));
    EXPECT_EQ(std::get<Table>(w.blocks[0]).rows[0].cells.back().paragraphs.size(), 11u);
}

TEST(RtfReader, UnfinishedDocumentKeepsItsTextAndNonRtfIsRefused) {
    EXPECT_EQ(Read("  {\\rtf1 {\\b cut").PlainText(), "cut\n");
    EXPECT_EQ(Read("{\\rtf1 x} trailing").PlainText(), "x\n");
    const std::string text = "just text";
    EXPECT_THROW(ReadRtf(std::vector<std::uint8_t>(text.begin(), text.end())), DecodeError);
    EXPECT_FALSE(LooksLikeRtf(std::vector<std::uint8_t>{'{', '\\', 'r'}));
}

}  // namespace
}  // namespace vs::rtf
