// The album side of the lower area: the XF tool bar and the page strip `XFListBox1`, both
// hidden until an album is shown.

#include "app/MainLayoutParts.h"
#include "app/TMainForm.h"

#include <QBoxLayout>
#include "controls/TXFListBox.h"

#include <QToolBar>

namespace vs {

void TMainForm::BuildPageStrip(QBoxLayout* row) {
    ui_.XfToolBar = new QToolBar(ui_.LowerArea);
    NameControl(ui_.XfToolBar, "XfToolBar");
    ui_.XfToolBar->setOrientation(Qt::Vertical);
    ui_.XfToolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    ui_.XfToolBar->hide();
    row->addWidget(ui_.XfToolBar);
    // 136 wide, rows 85 high: the strip's default cell of 100 x 75.
    ui_.XFListBox1 = new TXFListBox(ui_.LowerArea);
    NameControl(ui_.XFListBox1, "XFListBox1");
    ui_.XFListBox1->hide();
    row->addWidget(ui_.XFListBox1);
}

}  // namespace vs
