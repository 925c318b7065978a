// The status bar: panel 0 (the shown picture's size) and panel 1.

#include "app/MainLayoutParts.h"
#include "app/TMainForm.h"

#include <QLabel>
#include <QStatusBar>

namespace vs {

void TMainForm::BuildStatusBar() {
    ui_.StatusBar1 = statusBar();
    NameControl(ui_.StatusBar1, "StatusBar1");
    ui_.StatusBar1->setFixedHeight(20);
    ui_.StatusPanel0 = new QLabel(ui_.StatusBar1);
    NameControl(ui_.StatusPanel0, "StatusPanel0");
    ui_.StatusPanel0->setFixedWidth(200);
    ui_.StatusPanel1 = new QLabel(ui_.StatusBar1);
    NameControl(ui_.StatusPanel1, "StatusPanel1");
    ui_.StatusPanel1->setFixedWidth(354);
    ui_.StatusBar1->addWidget(ui_.StatusPanel0);
    ui_.StatusBar1->addWidget(ui_.StatusPanel1);
}

}  // namespace vs
