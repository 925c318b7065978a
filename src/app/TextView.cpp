// The text view: plain text (UTF-8 when valid, else GB18030) at the chosen point size, rich
// text through our RTF reader, the font-size actions and the text menu.

#include "app/MainLayoutParts.h"
#include "app/RichTextDocument.h"
#include "app/TMainForm.h"

#include "formats/RtfReader.h"
#include "formats/TextCodec.h"
#include "graphics/FileIo.h"
#include "viewer/FileKinds.h"

#include <QAction>
#include <QMenu>
#include <QTextEdit>

namespace vs {

namespace {

struct FontSizeAction {
    const char* name;
    int points;
};
constexpr FontSizeAction kFontSizes[] = {
    {"TxtSize8", 8}, {"TxtSize10", 10}, {"TxtSize12", 12}, {"TxtSize16", 16}, {"TxtSize24", 24}};

}  // namespace

void TMainForm::BuildTextView() {
    ui_.RichEdit1 = new QTextEdit(ui_.SeeBox);
    NameControl(ui_.RichEdit1, "RichEdit1");
    ui_.RichEdit1->setReadOnly(true);
    ui_.RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ui_.RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ui_.RichEdit1->setLineWrapMode(QTextEdit::WidgetWidth);
    ui_.RichEdit1->setFont(ProgramFont());
    // Text without a colour of its own is black on white, whatever the desktop's theme.
    QPalette palette = ui_.RichEdit1->palette();
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::Base, Qt::white);
    ui_.RichEdit1->setPalette(palette);
    ui_.RichEdit1->hide();
}

void TMainForm::ConnectTextView() {
    for (const FontSizeAction& size : kFontSizes) {
        QAction* a = Action(Latin1(size.name));
        a->setCheckable(true);
        const int points = size.points;
        connect(a, &QAction::triggered, this, [this, a, points](bool checked) {
            a->setChecked(!checked);  // only the text menu's opening moves the check marks
            TxtSizeExecute(points);
        });
    }
    connect(Action("TxtCopy"), &QAction::triggered, this, &TMainForm::TxtCopyExecute);
    connect(Action("TxtSelectAll"), &QAction::triggered, this, &TMainForm::TxtSelectAllExecute);
    connect(PopupMenu(kTextMenu), &QMenu::aboutToShow, this, &TMainForm::PopupMenu7Popup);
}

int TMainForm::TextViewDefaultSize() const {
    return ui_.RichEdit1->document()->defaultFont().pointSize();
}

void TMainForm::LoadTextView(const std::string& path, int kind) {
    std::vector<std::uint8_t> bytes;
    try {
        bytes = ReadFileBytes(path);
    } catch (const std::exception& e) {
        ShowStandardError(e);
        return;
    }
    QTextDocument* doc = ui_.RichEdit1->document();
    if (kind == kKindRichText && rtf::LooksLikeRtf(bytes)) {
        QFont font = ProgramFont();
        doc->setDefaultFont(font);
        BuildRichTextDocument(rtf::ReadRtf(bytes), *doc);
    } else {
        // Plain text, and a .rtf file that is not rich text, which the control shows as it is.
        QFont font = ProgramFont();
        font.setPointSize(TextPointSize);
        font.setBold(false);
        font.setItalic(false);
        font.setUnderline(false);
        font.setStrikeOut(false);
        doc->setDefaultFont(font);
        ui_.RichEdit1->setPlainText(QString::fromStdString(DecodePlainText(bytes)));
    }
    ui_.RichEdit1->moveCursor(QTextCursor::Start);
}

void TMainForm::TxtSizeExecute(int points) {
    QTextDocument* doc = ui_.RichEdit1->document();
    QFont font = doc->defaultFont();
    font.setPointSize(points);
    doc->setDefaultFont(font);
    TextPointSize = points;
}

void TMainForm::PopupMenu7Popup() {
    if (ContentKind() == kKindRichText) {
        for (const FontSizeAction& size : kFontSizes) Action(Latin1(size.name))->setEnabled(false);
        return;
    }
    const int current = TextViewDefaultSize();
    for (const FontSizeAction& size : kFontSizes) {
        QAction* a = Action(Latin1(size.name));
        a->setEnabled(true);
        a->setChecked(size.points == current);
    }
}

void TMainForm::TxtCopyExecute() {
    if (ui_.RichEdit1->textCursor().hasSelection())
        ui_.RichEdit1->copy();
}

void TMainForm::TxtSelectAllExecute() {
    ui_.RichEdit1->selectAll();
}

}  // namespace vs
