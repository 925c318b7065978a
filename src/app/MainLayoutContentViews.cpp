// The lower area of the right side: the XF tool bar and page strip at the left, then the
// content area `SeeBox` with its alternative views (image frame, text view, web panel, media
// panel), all hidden at start. The text, web and media views are built in their own files
// (TextView.cpp, WebView.cpp, MediaView.cpp).

#include "app/MainLayoutParts.h"
#include "app/PictureView.h"
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
    // Above every view, shown in full screen only (ViewerComforts.cpp).
    ui_.SlideShowButton = new QToolButton(ui_.SeeBox);
    NameControl(ui_.SlideShowButton, "SlideShowButton");
    ui_.SlideShowButton->setText(QStringLiteral("Slide Show"));
    ui_.SlideShowButton->setToolTip(QStringLiteral("Slide show (Ctrl+F11); any key or click stops it"));
    ui_.SlideShowButton->setFocusPolicy(Qt::NoFocus);
    ui_.SlideShowButton->hide();
    return ui_.LowerArea;
}

void TMainForm::BuildImageFrame() {
    ui_.SeePanel = new QFrame(ui_.SeeBox);
    NameControl(ui_.SeePanel, "SeePanel");
    ui_.SeePanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    ui_.SeePanel->setLineWidth(2);
    Fill(ui_.SeePanel, Qt::black);
    ui_.SeePanel->hide();
    ui_.Image1 = new PictureView(ui_.SeePanel);
    NameControl(ui_.Image1, "Image1");
    ui_.Image1->move(2, 2);
}

}  // namespace vs
