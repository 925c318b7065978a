// The lower area of the right side: the XF tool bar and page strip at the left, then the
// content area `SeeBox` with its alternative views (image frame, text view, web panel, media
// panel), all hidden at start. Each view has its own builder so that a viewer can move its
// builder into its own file.

#include "app/MainLayoutParts.h"
#include "app/TMainForm.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace vs {

namespace {

void Fill(QWidget* widget, QColor colour) {
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
}

}  // namespace

QWidget* TMainForm::BuildLowerArea(QWidget* parent) {
    ui_.LowerArea = new QWidget(parent);
    ui_.LowerArea->setObjectName("LowerArea");
    auto* row = new QHBoxLayout(ui_.LowerArea);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    BuildPageStrip(row);
    ui_.SeeBox = new QWidget(ui_.LowerArea);
    NameControl(ui_.SeeBox, "SeeBox");
    ui_.SeeBox->installEventFilter(this);
    row->addWidget(ui_.SeeBox, 1);
    BuildImageFrame();
    BuildTextView();
    BuildWebPanel();
    BuildMediaPanel();
    return ui_.LowerArea;
}

void TMainForm::BuildImageFrame() {
    ui_.SeePanel = new QFrame(ui_.SeeBox);
    NameControl(ui_.SeePanel, "SeePanel");
    ui_.SeePanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    ui_.SeePanel->setLineWidth(2);
    Fill(ui_.SeePanel, Qt::black);
    ui_.SeePanel->hide();
    ui_.Image1 = new QLabel(ui_.SeePanel);
    NameControl(ui_.Image1, "Image1");
    ui_.Image1->move(2, 2);
}

void TMainForm::BuildTextView() {
    ui_.RichEdit1 = new QTextEdit(ui_.SeeBox);
    NameControl(ui_.RichEdit1, "RichEdit1");
    ui_.RichEdit1->setReadOnly(true);
    ui_.RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ui_.RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ui_.RichEdit1->setFont(ProgramFont());
    ui_.RichEdit1->hide();
}

void TMainForm::BuildWebPanel() {
    ui_.HtmlPanel = new QFrame(ui_.SeeBox);
    NameControl(ui_.HtmlPanel, "HtmlPanel");
    ui_.HtmlPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Fill(ui_.HtmlPanel, Qt::white);
    auto* box = new QVBoxLayout(ui_.HtmlPanel);
    box->setContentsMargins(2, 2, 2, 2);
    ui_.CppWebBrowser1 = new QWidget(ui_.HtmlPanel);
    NameControl(ui_.CppWebBrowser1, "CppWebBrowser1");
    box->addWidget(ui_.CppWebBrowser1);
    ui_.HtmlPanel->hide();
}

void TMainForm::BuildMediaPanel() {
    ui_.AviPanel = new QFrame(ui_.SeeBox);
    NameControl(ui_.AviPanel, "AviPanel");
    Fill(ui_.AviPanel, Qt::black);
    auto* column = new QVBoxLayout(ui_.AviPanel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    ui_.PlayPanel = new QWidget(ui_.AviPanel);
    NameControl(ui_.PlayPanel, "PlayPanel");
    Fill(ui_.PlayPanel, Qt::black);
    column->addWidget(ui_.PlayPanel, 1);
    ui_.AviCtrlPanel = new QFrame(ui_.AviPanel);
    NameControl(ui_.AviCtrlPanel, "AviCtrlPanel");
    ui_.AviCtrlPanel->setFixedHeight(22);
    ui_.AviCtrlPanel->setAutoFillBackground(true);
    auto* row = new QHBoxLayout(ui_.AviCtrlPanel);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    for (QToolButton** button : {&ui_.PlayButton, &ui_.PauseButton, &ui_.StopButton}) {
        *button = new QToolButton(ui_.AviCtrlPanel);
        row->addWidget(*button);
    }
    NameControl(ui_.PlayButton, "PlayButton");
    NameControl(ui_.PauseButton, "PauseButton");
    NameControl(ui_.StopButton, "StopButton");
    ui_.TrackBar1 = new QSlider(Qt::Horizontal, ui_.AviCtrlPanel);
    NameControl(ui_.TrackBar1, "TrackBar1");
    ui_.TrackBar1->setTickPosition(QSlider::NoTicks);
    row->addWidget(ui_.TrackBar1, 1);
    column->addWidget(ui_.AviCtrlPanel);
    ui_.AviPanel->hide();
}

}  // namespace vs
