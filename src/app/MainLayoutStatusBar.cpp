// The status bar: panel 0 (the shown picture's size) and panel 1.

#include "app/MainLayoutParts.h"
#include "app/TMainForm.h"

#include <QLabel>
#include <QStatusBar>

namespace vs {

namespace {

// A status-bar panel that starts at its given width and may shrink to its text, never below.
class StatusPanel : public QLabel {
public:
    StatusPanel(int startWidth, QWidget* parent) : QLabel(parent), startWidth_(startWidth) {}
    QSize sizeHint() const override { return QLabel::sizeHint().expandedTo(QSize(startWidth_, 0)); }

private:
    int startWidth_;
};

}  // namespace

void TMainForm::BuildStatusBar() {
    ui_.StatusBar1 = statusBar();
    NameControl(ui_.StatusBar1, "StatusBar1");
    ui_.StatusBar1->setMinimumHeight(20);
    ui_.StatusPanel0 = new StatusPanel(200, ui_.StatusBar1);
    NameControl(ui_.StatusPanel0, "StatusPanel0");
    ui_.StatusPanel1 = new StatusPanel(354, ui_.StatusBar1);
    NameControl(ui_.StatusPanel1, "StatusPanel1");
    ui_.StatusBar1->addWidget(ui_.StatusPanel0);
    ui_.StatusBar1->addWidget(ui_.StatusPanel1);
}

}  // namespace vs
