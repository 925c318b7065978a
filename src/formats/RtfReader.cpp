#include "formats/RtfReader.h"

#include "formats/TextCodec.h"
#include "graphics/Errors.h"

#include <algorithm>
#include <map>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace vs::rtf {

namespace {

constexpr std::size_t kMaxWordLength = 32;
constexpr int kMaxParameterDigits = 10;
constexpr std::size_t kMaxFontNameBytes = 256;
constexpr int kMaxTwips = 31680;  // 22 inches, wider than any page a word processor offers
constexpr int kSymbolCodePage = -2;

enum class Destination { Text, FontTable, ColorTable, Picture, Skip };

// Everything a group saves and its closing brace restores.
struct State {
    Destination destination = Destination::Text;
    CharFormat format;  // fontFamily stays empty here; runs take it from fontIndex
    int fontIndex = -1;
    ParagraphFormat paragraph;
    bool inTable = false;
    int unicodeSkip = 1;
};

struct FontEntry {
    std::string family;
    int charset = 1;
    int codePage = 0;  // \cpg; 0 when the entry gave none
};

struct PictureInProgress {
    std::optional<Picture::Kind> kind;
    std::vector<std::uint8_t> data;
    bool tooLarge = false;
    int highNibble = -1;
    long long goalWidth = 0;
    long long goalHeight = 0;
    long long scaleX = 100;
    long long scaleY = 100;
    std::size_t depth = 0;  // the stack depth of the \pict group
};

// Control words that start a destination whose contents never reach the page.
const std::unordered_set<std::string_view>& SkippedDestinations() {
    // clang-format off
    static const std::unordered_set<std::string_view> words = {
        "stylesheet", "info", "header", "headerl", "headerr", "headerf", "footer", "footerl", "footerr",
        "footerf", "footnote", "annotation", "atnid", "atnauthor", "atntime", "atnref", "atndate", "atnicn",
        "atrfstart", "atrfend", "bkmkstart", "bkmkend", "xe", "tc", "txe", "rxe", "template", "revtbl",
        "listtable", "listoverridetable", "rsidtbl", "fldinst", "datafield", "objdata", "objclass", "objname",
        "objtime", "objsect", "objitem", "objtopic", "objalias", "pn", "pntxta", "pntxtb", "nonshppict",
        "generator", "xmlnstbl", "themedata", "colorschememapping", "latentstyles", "datastore", "ftnsep",
        "ftnsepc", "ftncn", "aftnsep", "aftnsepc", "aftncn", "docvar", "fchars", "lchars", "userprops",
        "private", "comment", "doccomm", "title", "subject", "author", "operator", "keywords", "company",
        "creatim", "revtim", "printim", "buptim", "mmathPr", "filetbl", "pgdsctbl", "listpicture",
        "nesttableprops", "nonesttables", "panose", "falt", "passwordhash", "wgrffmtfilter", "defchp",
        "defpap", "protusertbl", "ud", "blipuid", "picprop", "shpinst", "fontemb", "fontfile"};
    // clang-format on
    return words;
}

// Control words that stand for one character.
const std::unordered_map<std::string_view, char32_t>& SpecialCharacters() {
    static const std::unordered_map<std::string_view, char32_t> words = {
        {"tab", U'\t'},        {"line", 0x2028},      {"emdash", 0x2014}, {"endash", 0x2013},  {"emspace", 0x2003},
        {"enspace", 0x2002},   {"qmspace", 0x2005},   {"bullet", 0x2022}, {"lquote", 0x2018},  {"rquote", 0x2019},
        {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"zwj", 0x200D},    {"zwnj", 0x200C},    {"ltrmark", 0x200E},
        {"rtlmark", 0x200F},   {"zwbo", 0x200B},      {"zwnbo", 0xFEFF},  {"nestcell", U'\t'}, {"nestrow", 0x2028},
    };
    return words;
}

bool IsHexDigit(std::uint8_t c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
int HexValue(std::uint8_t c) {
    if (c <= '9')
        return c - '0';
    return (c | 0x20) - 'a' + 10;
}
bool IsLetter(std::uint8_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(std::uint8_t c) {
    return c >= '0' && c <= '9';
}

int ClampTwips(int value, int low) {
    return std::clamp(value, low, kMaxTwips);
}

class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : data_(bytes) {}

    Document Read() {
        while (pos_ < data_.size() && data_[pos_] != '{') ++pos_;  // white space before the document's group
        while (pos_ < data_.size() && !finished_) {
            const std::uint8_t c = data_[pos_++];
            if (excessDepth_ > 0) {
                SkipExcess(c);
                continue;
            }
            switch (c) {
                case '{':
                    OpenGroup();
                    break;
                case '}':
                    CloseGroup();
                    break;
                case '\\':
                    Control();
                    break;
                case '\r':
                case '\n':
                    break;
                default:
                    Character(c);
                    break;
            }
        }
        Finish();
        return std::move(document_);
    }

private:
    // Inside groups past the depth limit only braces (and binary runs, which may hold them)
    // matter.
    void SkipExcess(std::uint8_t c) {
        if (c == '{') {
            ++excessDepth_;
        } else if (c == '}') {
            --excessDepth_;
        } else if (c == '\\' && pos_ < data_.size()) {
            if (IsLetter(data_[pos_])) {
                const Word w = ParseWord();
                if (w.name == "bin" && w.hasParameter)
                    SkipBinary(w.parameter, nullptr);
            } else {
                ++pos_;
            }
        }
    }

    void OpenGroup() {
        FlushPending();
        skipChars_ = 0;
        if (stack_.size() + 1 >= static_cast<std::size_t>(kMaxGroupDepth)) {
            excessDepth_ = 1;
            return;
        }
        stack_.push_back(state_);
    }

    void CloseGroup() {
        FlushPending();
        skipChars_ = 0;
        starPending_ = false;
        if (state_.destination == Destination::FontTable)
            CommitFont();
        if (picture_ && picture_->depth == stack_.size())
            FinishPicture();
        if (stack_.size() <= 1) {
            // The document's own group ends here; anything after it is not part of it.
            finished_ = true;
            if (!stack_.empty()) {
                stack_.pop_back();
            }
            return;
        }
        state_ = stack_.back();
        stack_.pop_back();
    }

    struct Word {
        std::string_view name;
        bool hasParameter = false;
        int parameter = 0;
    };

    // Reads a control word's letters and its optional signed parameter; pos_ is at the first
    // letter. Over-long names keep their first letters (and match nothing); over-long numbers
    // saturate.
    Word ParseWord() {
        const std::size_t start = pos_;
        while (pos_ < data_.size() && IsLetter(data_[pos_])) ++pos_;
        Word w;
        const std::size_t length = std::min(pos_ - start, kMaxWordLength + 1);
        w.name = std::string_view(reinterpret_cast<const char*>(data_.data() + start), length);
        bool negative = false;
        if (pos_ + 1 < data_.size() && data_[pos_] == '-' && IsDigit(data_[pos_ + 1])) {
            negative = true;
            ++pos_;
        }
        if (pos_ < data_.size() && IsDigit(data_[pos_])) {
            long long value = 0;
            int digits = 0;
            while (pos_ < data_.size() && IsDigit(data_[pos_])) {
                if (digits < kMaxParameterDigits)
                    value = value * 10 + (data_[pos_] - '0');
                ++digits;
                ++pos_;
            }
            value = std::min<long long>(value, 2147483647LL);
            w.hasParameter = true;
            w.parameter = static_cast<int>(negative ? -value : value);
        }
        if (pos_ < data_.size() && data_[pos_] == ' ')
            ++pos_;
        return w;
    }

    void Control() {
        if (pos_ >= data_.size())
            return;
        const std::uint8_t c = data_[pos_];
        if (IsLetter(c)) {
            const Word w = ParseWord();
            ControlWord(w);
            return;
        }
        ++pos_;
        switch (c) {
            case '\'': {
                if (pos_ + 1 < data_.size() && IsHexDigit(data_[pos_]) && IsHexDigit(data_[pos_ + 1])) {
                    const auto b = static_cast<std::uint8_t>(HexValue(data_[pos_]) * 16 + HexValue(data_[pos_ + 1]));
                    pos_ += 2;
                    EscapedByte(b);
                }
                return;
            }
            case '*':
                starPending_ = true;
                return;
            case '\\':
            case '{':
            case '}':
                Character(c);
                return;
            case '\r':
            case '\n':
                ControlWord(Word{"par"});
                return;
            case '\t':
                ControlWord(Word{"tab"});
                return;
            case '~':
                SpecialCharacter(0x00A0);
                return;
            case '-':
                SpecialCharacter(0x00AD);
                return;
            case '_':
                SpecialCharacter(0x2011);
                return;
            default:
                return;  // \: \| and unknown symbols have no text
        }
    }

    void Character(std::uint8_t c) {
        switch (state_.destination) {
            case Destination::Text:
                if (c < 0x20 && c != '\t')
                    return;
                TextByte(c);
                return;
            case Destination::FontTable:
                FontNameByte(c);
                return;
            case Destination::ColorTable:
                if (c == ';')
                    CommitColor();
                return;
            case Destination::Picture:
                PictureDigit(c);
                return;
            case Destination::Skip:
                return;
        }
    }

    void EscapedByte(std::uint8_t b) {
        if (state_.destination == Destination::Text)
            TextByte(b);
        else if (state_.destination == Destination::FontTable)
            FontNameByte(b);
    }

    // ---- text ----

    int CodePageOf(int fontIndex) const {
        const auto it = fonts_.find(fontIndex);
        if (it == fonts_.end())
            return documentCodePage_;
        if (it->second.codePage > 0)
            return it->second.codePage;
        if (it->second.charset == 2)
            return kSymbolCodePage;
        return CodePageOfCharset(it->second.charset, documentCodePage_);
    }

    std::string FamilyOf(int fontIndex) const {
        const auto it = fonts_.find(fontIndex);
        return it == fonts_.end() ? std::string() : it->second.family;
    }

    void TextByte(std::uint8_t b) {
        if (skipChars_ > 0) {
            --skipChars_;
            return;
        }
        const int codePage = CodePageOf(state_.fontIndex);
        if (!pending_.empty() && pendingCodePage_ != codePage)
            FlushPending();
        pendingCodePage_ = codePage;
        pending_.push_back(b);
    }

    static std::string DecodeSymbol(std::span<const std::uint8_t> bytes) {
        // Symbol fonts draw their own glyphs for these bytes; the ones word processors use for
        // list bullets are given as the characters they look like.
        std::string out;
        for (std::uint8_t b : bytes) {
            if (b == 0xB7)
                AppendUtf8(out, 0x2022);
            else if (b == 0xA7)
                AppendUtf8(out, 0x25AA);
            else
                out += DecodeCodePage(std::span<const std::uint8_t>(&b, 1), 1252);
        }
        return out;
    }

    void FlushPending() {
        if (pending_.empty())
            return;
        const std::string text =
            pendingCodePage_ == kSymbolCodePage ? DecodeSymbol(pending_) : DecodeCodePage(pending_, pendingCodePage_);
        pending_.clear();
        AppendText(text);
    }

    void AppendText(const std::string& text) {
        if (highSurrogate_) {
            highSurrogate_ = 0;
            std::string lone;
            AppendUtf8(lone, 0xFFFD);
            AppendText(lone);
        }
        if (text.empty())
            return;
        CharFormat format = state_.format;
        format.fontFamily = FamilyOf(state_.fontIndex);
        auto& runs = paragraph_.runs;
        if (!runs.empty() && !runs.back().picture && runs.back().format == format) {
            runs.back().text += text;
            return;
        }
        runs.push_back(Run{std::move(format), text, std::nullopt});
    }

    void AppendCodePoint(char32_t c) {
        std::string text;
        AppendUtf8(text, c);
        AppendText(text);
    }

    void SpecialCharacter(char32_t c) {
        if (state_.destination != Destination::Text)
            return;
        if (skipChars_ > 0) {
            --skipChars_;
            return;
        }
        FlushPending();
        AppendCodePoint(c);
    }

    void UnicodeCharacter(int parameter) {
        char32_t c = static_cast<char32_t>(parameter < 0 ? parameter + 65536 : parameter) & 0xFFFF;
        if (state_.destination == Destination::FontTable) {
            FontNameFlush();
            AppendUtf8(fontName_, c >= 0xD800 && c <= 0xDFFF ? 0xFFFD : c);
            skipChars_ = state_.unicodeSkip;
            return;
        }
        if (state_.destination != Destination::Text)
            return;
        FlushPending();
        skipChars_ = state_.unicodeSkip;
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (highSurrogate_)
                AppendCodePoint(0xFFFD);  // clears the earlier one
            highSurrogate_ = c;
            return;
        }
        if (c >= 0xDC00 && c <= 0xDFFF) {
            if (!highSurrogate_) {
                AppendCodePoint(0xFFFD);
                return;
            }
            const char32_t full = 0x10000 + ((highSurrogate_ - 0xD800) << 10) + (c - 0xDC00);
            highSurrogate_ = 0;
            AppendCodePoint(full);
            return;
        }
        if (c == 0)
            return;
        AppendCodePoint(c);
    }

    // ---- paragraphs and tables ----

    void EndParagraph() {
        FlushPending();
        paragraph_.format = state_.paragraph;
        Paragraph finished = std::exchange(paragraph_, Paragraph{});
        if (state_.inTable) {
            cell_.paragraphs.push_back(std::move(finished));
        } else {
            CloseTable();
            document_.blocks.emplace_back(std::move(finished));
        }
    }

    void PushCell() {
        if (row_.cells.size() < static_cast<std::size_t>(kMaxCellsPerRow)) {
            row_.cells.push_back(std::move(cell_));
        } else {
            auto& last = row_.cells.back().paragraphs;
            last.insert(last.end(), std::make_move_iterator(cell_.paragraphs.begin()),
                        std::make_move_iterator(cell_.paragraphs.end()));
        }
        cell_ = TableCell{};
    }

    void PushRow() {
        if (!cell_.paragraphs.empty())
            PushCell();
        if (row_.cells.empty())
            return;
        if (!table_)
            table_.emplace();
        table_->rows.push_back(std::move(row_));
        row_ = TableRow{};
    }

    void EndCell() {
        FlushPending();
        paragraph_.format = state_.paragraph;
        cell_.paragraphs.push_back(std::exchange(paragraph_, Paragraph{}));
        PushCell();
    }

    void EndRow() {
        FlushPending();
        if (!paragraph_.runs.empty())
            EndCell();
        PushRow();
    }

    // A paragraph outside the table ends it; so does the end of the document.
    void CloseTable() {
        PushRow();
        if (table_) {
            document_.blocks.emplace_back(std::move(*table_));
            table_.reset();
        }
    }

    void Finish() {
        FlushPending();
        if (highSurrogate_)
            AppendText({});
        if (picture_)
            FinishPicture();
        if (!paragraph_.runs.empty())
            EndParagraph();
        CloseTable();
    }

    // ---- font and colour tables ----

    void FontNameByte(std::uint8_t b) {
        if (skipChars_ > 0) {
            --skipChars_;
            return;
        }
        if (b == ';') {
            CommitFont();
            return;
        }
        if (fontNameBytes_.size() + fontName_.size() < kMaxFontNameBytes)
            fontNameBytes_.push_back(b);
    }

    void FontNameFlush() {
        if (fontNameBytes_.empty())
            return;
        const int codePage = font_.codePage > 0   ? font_.codePage
                             : font_.charset == 2 ? 1252
                                                  : CodePageOfCharset(font_.charset, documentCodePage_);
        fontName_ += DecodeCodePage(fontNameBytes_, codePage);
        fontNameBytes_.clear();
    }

    void CommitFont() {
        FontNameFlush();
        if (fontIndex_ >= 0) {
            while (!fontName_.empty() && fontName_.back() == ' ') fontName_.pop_back();
            font_.family = fontName_;
            fonts_[fontIndex_] = font_;
        }
        fontIndex_ = -1;
        font_ = FontEntry{};
        fontName_.clear();
    }

    void CommitColor() {
        colors_.push_back(colorGiven_ ? std::optional<Color>(color_) : std::nullopt);
        color_ = Color{};
        colorGiven_ = false;
    }

    std::optional<Color> TableColor(int index) const {
        if (index < 0 || static_cast<std::size_t>(index) >= colors_.size())
            return std::nullopt;
        return colors_[static_cast<std::size_t>(index)];
    }

    // ---- pictures ----

    void PictureDigit(std::uint8_t c) {
        if (!picture_ || !IsHexDigit(c))
            return;
        if (picture_->highNibble < 0) {
            picture_->highNibble = HexValue(c);
            return;
        }
        AddPictureByte(static_cast<std::uint8_t>(picture_->highNibble * 16 + HexValue(c)));
        picture_->highNibble = -1;
    }

    void AddPictureByte(std::uint8_t b) {
        if (!picture_->kind || picture_->tooLarge)
            return;
        if (picture_->data.size() >= kMaxPictureBytes) {
            picture_->tooLarge = true;
            picture_->data = {};
            return;
        }
        picture_->data.push_back(b);
    }

    void FinishPicture() {
        PictureInProgress p = std::move(*picture_);
        picture_.reset();
        if (!p.kind || p.tooLarge || p.data.empty())
            return;
        Picture picture;
        picture.kind = *p.kind;
        picture.data = std::move(p.data);
        picture.widthTwips = static_cast<int>(std::clamp(p.goalWidth * p.scaleX / 100, 0LL, 10LL * kMaxTwips));
        picture.heightTwips = static_cast<int>(std::clamp(p.goalHeight * p.scaleY / 100, 0LL, 10LL * kMaxTwips));
        CharFormat format = state_.format;
        format.fontFamily = FamilyOf(state_.fontIndex);
        paragraph_.runs.push_back(Run{std::move(format), {}, std::move(picture)});
    }

    // Binary data of \binN: never more than the file still holds.
    void SkipBinary(int count, PictureInProgress* picture) {
        const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(std::max(count, 0)), data_.size() - pos_);
        if (picture)
            for (std::size_t i = 0; i < n; ++i) AddPictureByte(data_[pos_ + i]);
        pos_ += n;
    }

    // ---- control words ----

    void ControlWord(const Word& w) {
        const bool starred = starPending_;
        starPending_ = false;
        const std::string_view name = w.name;
        const int p = w.parameter;

        if (name == "bin") {
            SkipBinary(w.hasParameter ? p : 0,
                       state_.destination == Destination::Picture && picture_ ? &*picture_ : nullptr);
            return;
        }
        if (state_.destination == Destination::Skip)
            return;
        if (name == "u" && w.hasParameter) {
            UnicodeCharacter(p);
            return;
        }
        FlushPending();

        // Destinations.
        if (name == "shppict")
            return;
        if (starred || SkippedDestinations().contains(name)) {
            state_.destination = Destination::Skip;
            return;
        }
        if (name == "fonttbl") {
            state_.destination = Destination::FontTable;
            return;
        }
        if (name == "colortbl") {
            state_.destination = Destination::ColorTable;
            return;
        }

        switch (state_.destination) {
            case Destination::FontTable:
                FontTableWord(w);
                return;
            case Destination::ColorTable:
                if (name == "red")
                    color_.red = static_cast<std::uint8_t>(std::clamp(p, 0, 255));
                else if (name == "green")
                    color_.green = static_cast<std::uint8_t>(std::clamp(p, 0, 255));
                else if (name == "blue")
                    color_.blue = static_cast<std::uint8_t>(std::clamp(p, 0, 255));
                else
                    return;
                colorGiven_ = true;
                return;
            case Destination::Picture:
                PictureWord(w);
                return;
            case Destination::Text:
                TextWord(w);
                return;
            case Destination::Skip:
                return;
        }
    }

    void FontTableWord(const Word& w) {
        if (w.name == "f" && w.hasParameter) {
            if (fontIndex_ >= 0 && (!fontName_.empty() || !fontNameBytes_.empty()))
                CommitFont();
            fontIndex_ = std::max(w.parameter, 0);
        } else if (w.name == "fcharset") {
            font_.charset = w.parameter;
        } else if (w.name == "cpg") {
            font_.codePage = std::max(w.parameter, 0);
        } else if (w.name == "uc") {
            state_.unicodeSkip = std::clamp(w.parameter, 0, 16);
        }
    }

    void PictureWord(const Word& w) {
        if (!picture_)
            return;
        const std::string_view n = w.name;
        const long long p = w.parameter;
        if (n == "pngblip")
            picture_->kind = Picture::Kind::Png;
        else if (n == "jpegblip")
            picture_->kind = Picture::Kind::Jpeg;
        else if (n == "wmetafile" || n == "emfblip" || n == "macpict" || n == "dibitmap" || n == "wbitmap" ||
                 n == "pmmetafile")
            picture_->kind.reset();
        else if (n == "picwgoal")
            picture_->goalWidth = std::clamp(p, 0LL, 10LL * kMaxTwips);
        else if (n == "pichgoal")
            picture_->goalHeight = std::clamp(p, 0LL, 10LL * kMaxTwips);
        else if (n == "picscalex")
            picture_->scaleX = std::clamp(p, 1LL, 1000LL);
        else if (n == "picscaley")
            picture_->scaleY = std::clamp(p, 1LL, 1000LL);
    }

    void TextWord(const Word& w) {
        const std::string_view n = w.name;
        const int p = w.parameter;
        const bool on = !w.hasParameter || p != 0;
        CharFormat& f = state_.format;
        ParagraphFormat& para = state_.paragraph;

        if (const auto it = SpecialCharacters().find(n); it != SpecialCharacters().end()) {
            SpecialCharacter(it->second);
            return;
        }
        skipChars_ = 0;
        if (n == "par" || n == "sect" || n == "page" || n == "column") {
            EndParagraph();
        } else if (n == "cell") {
            EndCell();
        } else if (n == "row") {
            EndRow();
        } else if (n == "intbl") {
            state_.inTable = true;
        } else if (n == "pard") {
            para = ParagraphFormat{};
            state_.inTable = false;
        } else if (n == "ql") {
            para.alignment = Alignment::Left;
        } else if (n == "qc") {
            para.alignment = Alignment::Center;
        } else if (n == "qr") {
            para.alignment = Alignment::Right;
        } else if (n == "qj" || n == "qd") {
            para.alignment = Alignment::Justify;
        } else if (n == "li" || n == "lin") {
            para.leftIndent = ClampTwips(p, -kMaxTwips);
        } else if (n == "ri" || n == "rin") {
            para.rightIndent = ClampTwips(p, -kMaxTwips);
        } else if (n == "fi") {
            para.firstLineIndent = ClampTwips(p, -kMaxTwips);
        } else if (n == "sb") {
            para.spaceBefore = ClampTwips(p, 0);
        } else if (n == "sa") {
            para.spaceAfter = ClampTwips(p, 0);
        } else if (n == "plain") {
            f = CharFormat{};
            state_.fontIndex = defaultFont_;
        } else if (n == "b") {
            f.bold = on;
        } else if (n == "i") {
            f.italic = on;
        } else if (n == "ulnone") {
            f.underline = false;
        } else if (n.starts_with("ul") && n != "ulc") {
            f.underline = on;
        } else if (n == "strike" || n == "striked") {
            f.strikeOut = on;
        } else if (n == "super") {
            f.shift = VerticalShift::Superscript;
        } else if (n == "sub") {
            f.shift = VerticalShift::Subscript;
        } else if (n == "nosupersub") {
            f.shift = VerticalShift::None;
        } else if (n == "fs") {
            f.halfPoints = p > 0 ? std::min(p, 3276) : 24;
        } else if (n == "cf") {
            f.color = TableColor(p);
        } else if (n == "cb" || n == "chcbpat" || n == "highlight") {
            f.background = TableColor(p);
        } else if (n == "f") {
            state_.fontIndex = p;
        } else if (n == "deff") {
            defaultFont_ = p;
            state_.fontIndex = p;
        } else if (n == "ansicpg") {
            if (p > 0)
                documentCodePage_ = p;
        } else if (n == "ansi") {
            documentCodePage_ = 1252;
        } else if (n == "mac") {
            documentCodePage_ = 10000;
        } else if (n == "pc") {
            documentCodePage_ = 437;
        } else if (n == "pca") {
            documentCodePage_ = 850;
        } else if (n == "uc") {
            state_.unicodeSkip = std::clamp(p, 0, 16);
        } else if (n == "pict") {
            if (!picture_) {
                picture_.emplace();
                picture_->depth = stack_.size();
                state_.destination = Destination::Picture;
            } else {
                state_.destination = Destination::Skip;
            }
        }
    }

    std::span<const std::uint8_t> data_;
    std::size_t pos_ = 0;
    bool finished_ = false;
    int excessDepth_ = 0;
    std::vector<State> stack_;
    State state_;
    bool starPending_ = false;
    int skipChars_ = 0;
    char32_t highSurrogate_ = 0;
    std::vector<std::uint8_t> pending_;
    int pendingCodePage_ = 1252;

    int documentCodePage_ = 1252;
    int defaultFont_ = -1;
    std::map<int, FontEntry> fonts_;
    int fontIndex_ = -1;
    FontEntry font_;
    std::string fontName_;
    std::vector<std::uint8_t> fontNameBytes_;
    std::vector<std::optional<Color>> colors_;
    Color color_;
    bool colorGiven_ = false;
    std::optional<PictureInProgress> picture_;

    Document document_;
    Paragraph paragraph_;
    TableCell cell_;
    TableRow row_;
    std::optional<Table> table_;
};

}  // namespace

std::string Paragraph::Text() const {
    std::string text;
    for (const Run& run : runs) text += run.text;
    return text;
}

std::string Document::PlainText() const {
    std::string out;
    for (const Block& block : blocks) {
        if (const auto* paragraph = std::get_if<Paragraph>(&block)) {
            out += paragraph->Text();
            out += '\n';
            continue;
        }
        for (const TableRow& row : std::get<Table>(block).rows) {
            for (std::size_t c = 0; c < row.cells.size(); ++c) {
                if (c > 0)
                    out += '\t';
                const auto& paragraphs = row.cells[c].paragraphs;
                for (std::size_t k = 0; k < paragraphs.size(); ++k) {
                    if (k > 0)
                        out += ' ';
                    out += paragraphs[k].Text();
                }
            }
            out += '\n';
        }
    }
    return out;
}

bool LooksLikeRtf(std::span<const std::uint8_t> bytes) {
    std::size_t i = 0;
    while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n')) ++i;
    static constexpr std::string_view kStart = "{\\rtf";
    if (bytes.size() - i < kStart.size())
        return false;
    return std::equal(kStart.begin(), kStart.end(), bytes.begin() + static_cast<std::ptrdiff_t>(i));
}

Document ReadRtf(std::span<const std::uint8_t> bytes) {
    if (!LooksLikeRtf(bytes))
        throw DecodeError("RTF: the document does not start with {\\rtf");
    return Reader(bytes).Read();
}

}  // namespace vs::rtf
