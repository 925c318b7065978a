// The album side of the lower area: the XF tool bar and the page strip `XFListBox1`, both
// hidden until an album is shown.

#include "app/MainLayoutParts.h"
#include "app/TMainForm.h"

#include <QBoxLayout>
#include <QListWidget>
#include <QToolBar>

namespace vs {

void TMainForm::BuildPageStrip(QBoxLayout* row) {
    ui_.XfToolBar = new QToolBar(ui_.LowerArea);
    NameControl(ui_.XfToolBar, "XfToolBar");
    ui_.XfToolBar->setOrientation(Qt::Vertical);
    ui_.XfToolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    ui_.XfToolBar->hide();
    row->addWidget(ui_.XfToolBar);
    ui_.XFListBox1 = new QListWidget(ui_.LowerArea);
    NameControl(ui_.XFListBox1, "XFListBox1");
    ui_.XFListBox1->setFixedWidth(136);
    ui_.XFListBox1->hide();
    row->addWidget(ui_.XFListBox1);
}

}  // namespace vs
