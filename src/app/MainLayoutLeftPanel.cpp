// The left panel: the library tree above the directory tree, folding to the left.

#include "app/MainLayoutParts.h"
#include "app/TMainForm.h"
#include "controls/TDirTree.h"
#include "controls/TFoldPanel.h"

#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vs {

QWidget* TMainForm::BuildLeftPanel(QWidget* parent) {
    ui_.FoldPanel1 = new TFoldPanel(parent);
    NameControl(ui_.FoldPanel1, "FoldPanel1");
    ui_.FoldPanel1->SetOrientation(foHorizontal);
    ui_.FoldPanel1->SetCaption(QStringLiteral("Folders"));
    QWidget* client = ui_.FoldPanel1->GetClientWindow();
    auto* column = new QVBoxLayout(client);
    column->setContentsMargins(0, 0, 0, 0);
    ui_.Splitter2 = new QSplitter(Qt::Vertical, client);
    NameControl(ui_.Splitter2, "Splitter2");
    ui_.Splitter2->setHandleWidth(3);
    column->addWidget(ui_.Splitter2);
    ui_.FolderTreeView = new QTreeWidget(ui_.Splitter2);
    NameControl(ui_.FolderTreeView, "FolderTreeView");
    ui_.FolderTreeView->setHeaderHidden(true);
    ui_.DirTree1 = new TDirTree(ui_.Splitter2);
    NameControl(ui_.DirTree1, "DirTree1");
    ui_.Splitter2->setSizes({161, 300});
    return ui_.FoldPanel1;
}

}  // namespace vs
