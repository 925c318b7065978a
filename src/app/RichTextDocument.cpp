#include "app/RichTextDocument.h"

#include <QImage>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QUrl>

namespace vs {

namespace {

// Twips are 1/1440 inch; the document lays out at 96 pixels per inch.
qreal Pixels(int twips) {
    return twips / 15.0;
}

QColor ToQColor(const rtf::Color& c) {
    return QColor(c.red, c.green, c.blue);
}

QTextBlockFormat BlockFormat(const rtf::ParagraphFormat& p) {
    QTextBlockFormat f;
    switch (p.alignment) {
        case rtf::Alignment::Left:
            f.setAlignment(Qt::AlignLeft);
            break;
        case rtf::Alignment::Center:
            f.setAlignment(Qt::AlignHCenter);
            break;
        case rtf::Alignment::Right:
            f.setAlignment(Qt::AlignRight);
            break;
        case rtf::Alignment::Justify:
            f.setAlignment(Qt::AlignJustify);
            break;
    }
    f.setLeftMargin(Pixels(p.leftIndent));
    f.setRightMargin(Pixels(p.rightIndent));
    f.setTextIndent(Pixels(p.firstLineIndent));
    f.setTopMargin(Pixels(p.spaceBefore));
    f.setBottomMargin(Pixels(p.spaceAfter));
    return f;
}

QTextCharFormat CharFormat(const rtf::CharFormat& c) {
    QTextCharFormat f;
    f.setFontWeight(c.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(c.italic);
    f.setFontUnderline(c.underline);
    f.setFontStrikeOut(c.strikeOut);
    f.setFontPointSize(c.halfPoints / 2.0);
    switch (c.shift) {
        case rtf::VerticalShift::None:
            f.setVerticalAlignment(QTextCharFormat::AlignNormal);
            break;
        case rtf::VerticalShift::Superscript:
            f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
            break;
        case rtf::VerticalShift::Subscript:
            f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
            break;
    }
    if (c.color)
        f.setForeground(ToQColor(*c.color));
    if (c.background)
        f.setBackground(ToQColor(*c.background));
    if (!c.fontFamily.empty())
        f.setFontFamilies({QString::fromStdString(c.fontFamily)});
    return f;
}

class Builder {
public:
    explicit Builder(QTextDocument& doc) : doc_(doc), cursor_(&doc) {}

    void Paragraph(const rtf::Paragraph& p, bool first) {
        if (first)
            cursor_.setBlockFormat(BlockFormat(p.format));
        else
            cursor_.insertBlock(BlockFormat(p.format));
        for (const rtf::Run& run : p.runs) {
            if (run.picture)
                Picture(*run.picture, CharFormat(run.format));
            else
                cursor_.insertText(QString::fromStdString(run.text), CharFormat(run.format));
        }
    }

    // Rows of one width become one table; a change of width starts the next.
    void Table(const rtf::Table& table) {
        std::size_t start = 0;
        while (start < table.rows.size()) {
            const std::size_t columns = table.rows[start].cells.size();
            std::size_t end = start;
            while (end < table.rows.size() && table.rows[end].cells.size() == columns) ++end;
            QTextTableFormat format;
            format.setCellPadding(2);
            format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
            QTextTable* t = cursor_.insertTable(static_cast<int>(end - start), static_cast<int>(columns), format);
            for (std::size_t r = start; r < end; ++r) {
                for (std::size_t c = 0; c < columns; ++c) {
                    cursor_ = t->cellAt(static_cast<int>(r - start), static_cast<int>(c)).firstCursorPosition();
                    const auto& paragraphs = table.rows[r].cells[c].paragraphs;
                    for (std::size_t k = 0; k < paragraphs.size(); ++k) Paragraph(paragraphs[k], k == 0);
                }
            }
            cursor_.movePosition(QTextCursor::End);
            start = end;
        }
    }

private:
    void Picture(const rtf::Picture& picture, const QTextCharFormat& around) {
        QImage image;
        const char* format = picture.kind == rtf::Picture::Kind::Png ? "PNG" : "JPEG";
        if (!image.loadFromData(picture.data.data(), static_cast<int>(picture.data.size()), format))
            return;  // a picture that does not decode is left out, as a metafile is
        const QString name = QStringLiteral("rtf-picture:%1").arg(++pictures_);
        doc_.addResource(QTextDocument::ImageResource, QUrl(name), image);
        QTextImageFormat f;
        f.merge(around);
        f.setName(name);
        if (picture.widthTwips > 0 && picture.heightTwips > 0) {
            f.setWidth(Pixels(picture.widthTwips));
            f.setHeight(Pixels(picture.heightTwips));
        }
        cursor_.insertImage(f);
    }

    QTextDocument& doc_;
    QTextCursor cursor_;
    int pictures_ = 0;
};

}  // namespace

void BuildRichTextDocument(const rtf::Document& source, QTextDocument& target) {
    target.clear();
    Builder builder(target);
    bool first = true;
    for (const rtf::Block& block : source.blocks) {
        if (const auto* paragraph = std::get_if<rtf::Paragraph>(&block))
            builder.Paragraph(*paragraph, first);
        else
            builder.Table(std::get<rtf::Table>(block));
        first = false;
    }
}

}  // namespace vs
