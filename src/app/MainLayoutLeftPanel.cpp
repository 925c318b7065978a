// The left panel: the library tree above the directory tree.

#include "app/MainLayoutParts.h"
#include "app/TMainForm.h"

#include <QFrame>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vs {

QWidget* TMainForm::BuildLeftPanel(QWidget* parent) {
    ui_.LeftFoldPanel = new QFrame(parent);
    NameControl(ui_.LeftFoldPanel, "LeftFoldPanel");
    auto* column = new QVBoxLayout(ui_.LeftFoldPanel);
    column->setContentsMargins(0, 0, 0, 0);
    ui_.Splitter2 = new QSplitter(Qt::Vertical, ui_.LeftFoldPanel);
    NameControl(ui_.Splitter2, "Splitter2");
    ui_.Splitter2->setHandleWidth(3);
    column->addWidget(ui_.Splitter2);
    ui_.FolderTreeView = new QTreeWidget(ui_.Splitter2);
    NameControl(ui_.FolderTreeView, "FolderTreeView");
    ui_.FolderTreeView->setHeaderHidden(true);
    ui_.DirTree1 = new QTreeWidget(ui_.Splitter2);
    NameControl(ui_.DirTree1, "DirTree1");
    ui_.DirTree1->setHeaderHidden(true);
    ui_.Splitter2->setSizes({161, 300});
    return ui_.LeftFoldPanel;
}

}  // namespace vs
