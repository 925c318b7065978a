// The top bar: the flat command buttons and the banner animation at the right.

#include "app/MainLayoutParts.h"
#include "app/TMainForm.h"

#include <QAction>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolBar>
#include <QToolButton>

namespace vs {

QWidget* TMainForm::BuildTopBar(QWidget* parent) {
    ui_.TopPanel = new QFrame(parent);
    NameControl(ui_.TopPanel, "TopPanel");
    ui_.TopPanel->setFixedHeight(46);
    ui_.TopPanel->setAutoFillBackground(true);
    QPalette grey = ui_.TopPanel->palette();
    grey.setColor(QPalette::Window, QColor(233, 233, 233));
    ui_.TopPanel->setPalette(grey);
    auto* row = new QHBoxLayout(ui_.TopPanel);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    ui_.ToolBar1 = new QToolBar(ui_.TopPanel);
    NameControl(ui_.ToolBar1, "ToolBar1");
    ui_.ToolBar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
    ui_.ToolBar1->setMovable(false);
    row->addWidget(ui_.ToolBar1, 1);
    ui_.Animate1 = new QLabel(ui_.TopPanel);
    NameControl(ui_.Animate1, "Animate1");
    ui_.Animate1->setFixedWidth(100);
    row->addWidget(ui_.Animate1);
    return ui_.TopPanel;
}

void TMainForm::BuildTopBarButtons() {
    const struct {
        const char* action;
        QToolButton* MainFormUi::*button;
    } buttons[] = {{"About", &MainFormUi::AboutButton},
                   {"Setting", &MainFormUi::SettingButton},
                   {"Exit", &MainFormUi::ExitButton}};
    for (const auto& b : buttons) {
        QAction* action = Action(Latin1(b.action));
        ui_.ToolBar1->addAction(action);
        auto* button = qobject_cast<QToolButton*>(ui_.ToolBar1->widgetForAction(action));
        button->setFixedSize(QSize(48, 39).expandedTo(button->sizeHint()));  // wider when the caption needs it
        button->setObjectName(Latin1(b.action) + "Button");
        ui_.*b.button = button;
    }
    // All three buttons stay on the bar; the window is no narrower than they and the banner.
    ui_.ToolBar1->setMinimumWidth(ui_.ToolBar1->sizeHint().width());
}

}  // namespace vs
