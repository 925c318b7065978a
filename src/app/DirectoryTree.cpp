// The directory tree of the main window: the mounted file systems below the library tree,
// pointing the grid at the chosen folder, and the three commands of its menu.

#include "app/TMainForm.h"

#include "controls/TDirTree.h"
#include "controls/TImagesListView.h"
#include "library/DirListing.h"
#include "library/FolderTree.h"
#include "platform/Prompts.h"

#include <QAction>
#include <QMenu>

namespace vs {

void TMainForm::ConnectDirTree() {
    TDirTree* tree = ui_.DirTree1;
    if (env_.mounts)
        tree->SetMountList(*env_.mounts);
    tree->OnMouseDown = [this](TDirTree&, Qt::MouseButton, const QPoint& pos) { DirTree1MouseDown(pos); };
    tree->OnEditing = [this](TDirTree&, QTreeWidgetItem* node) { return DirTree1Editing(node); };
    tree->OnEdited = [this](TDirTree&, QTreeWidgetItem* node, QString& text) { DirTree1Edited(node, text); };
    tree->OnDeleteItem = [this](TDirTree&, QTreeWidgetItem* node) {
        if (node == ClickedDirNode)
            ClickedDirNode = nullptr;
    };
    connect(tree, &TDirTree::Change, this, &TMainForm::DirTree1Change);
    connect(tree, &QTreeWidget::itemClicked, this, &TMainForm::DirTree1Click);
    connect(PopupMenu(kDirectoryMenu), &QMenu::aboutToShow, this, &TMainForm::PopupMenu3Popup);
    connect(Action("DeleteWinFolder"), &QAction::triggered, this, &TMainForm::DeleteWinFolderExecute);
    connect(Action("RenameWinFolder"), &QAction::triggered, this, &TMainForm::RenameWinFolderExecute);
    connect(Action("RefreshWinFolder"), &QAction::triggered, this, &TMainForm::RefreshWinFolderExecute);
}

void TMainForm::DirTree1MouseDown(const QPoint& viewportPos) {
    QTreeWidgetItem* node = ui_.DirTree1->NodeAt(viewportPos);
    ClickedDirNode = TDirTree::Entry(node) ? node : nullptr;  // a placeholder is no folder
}

void TMainForm::PopupMenu3Popup() {
    Action("DeleteWinFolder")->setEnabled(ClickedDirNode != nullptr);
    Action("RenameWinFolder")->setEnabled(ClickedDirNode != nullptr);
}

void TMainForm::PointGridAtDirectory() {
    const std::string directory = ui_.DirTree1->GetDirectory();
    if (directory == "?")
        return;
    ui_.ImagesListView1->SetFPath(QString::fromStdString(directory));
    setWindowTitle(QString::fromStdString(TitlePrefix) + ui_.ImagesListView1->Path());
}

void TMainForm::DirTree1Change() {
    if (ChangesEnabled())
        PointGridAtDirectory();
}

void TMainForm::DirTree1Click() {
    TDirTree* tree = ui_.DirTree1;
    if (!tree->currentItem())
        tree->SetDirectory("/");
    if (ui_.ImagesListView1->Path() != QString::fromStdString(tree->GetDirectory()))
        PointGridAtDirectory();
}

bool TMainForm::DirTree1Editing(QTreeWidgetItem* node) {
    TDirTree* tree = ui_.DirTree1;
    tree->setCurrentItem(node);
    return !tree->IsDriveRoot(tree->GetDirectory());  // a mount root keeps its name
}

void TMainForm::DirTree1Edited(QTreeWidgetItem* node, QString& text) {
    TDirTree* tree = ui_.DirTree1;
    const QString oldCaption = node->text(0);
    tree->setCurrentItem(node);
    const std::string oldPath = tree->GetDirectory();
    if (!node->parent() || tree->IsDriveRoot(oldPath)) {
        text = oldCaption;
        return;
    }
    // The grid moves to the parent, where the renamed folder is one entry among others.
    tree->setCurrentItem(node->parent());
    const std::string newName = text.toStdString();
    if (RenameFolder(tree->GetDirectory(), FolderNameOf(oldPath), newName))
        tree->RenamePart(oldPath, newName);
    else
        text = oldCaption;
}

void TMainForm::RenameWinFolderExecute() {
    if (ClickedDirNode)
        ui_.DirTree1->EditNode(ClickedDirNode);
}

void TMainForm::DeleteWinFolderExecute() {
    TDirTree* tree = ui_.DirTree1;
    QTreeWidgetItem* node = ClickedDirNode;
    if (!node)
        return;
    // Reading the paths through the selection must not move the grid.
    ChangesEnabled() = false;
    if (node->parent())
        tree->setCurrentItem(node->parent());
    tree->setCurrentItem(node);
    ChangesEnabled() = true;
    const std::string path = tree->GetDirectory();
    if (tree->IsDriveRoot(path))
        return;
    const Answer answer = prompts_.message("Are your sure delete the folder (" + node->text(0).toStdString() + ") ?",
                                           "Waring", Buttons::YesNo, Icon::Question);
    if (answer == Answer::Yes) {
        if (RemoveFolder(path))  // into the Trash when the user chose so
            tree->DeletePart(path);
        else
            tree->ReLoad();  // show what is left on disk
    }
    ClickedDirNode = nullptr;
}

void TMainForm::RefreshWinFolderExecute() {
    ui_.DirTree1->ReLoad();
}

}  // namespace vs
