// The grid's file commands: the private clipboard, paste, delete, rename, select all and
// refresh, with the progress window. The decisions live in library/FileCommands; this file
// connects them to the widgets.

#include "app/TMainForm.h"

#include "app/Dialogs.h"
#include "app/FileGridAdapter.h"
#include "controls/TImagesListView.h"
#include "library/FolderTree.h"
#include "platform/FileSystem.h"
#include "platform/qt/Trash.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QProgressBar>

namespace vs {

GridFiles::GridFiles(TImagesListView& grid) : grid_(grid) {}

std::string GridFiles::Folder() const {
    return grid_.Path().toStdString();
}

int GridFiles::Count() const {
    return grid_.count();
}

std::string GridFiles::Caption(int index) const {
    return grid_.item(index)->text().toStdString();
}

std::string GridFiles::RealName(int index) const {
    return TImagesListView::RealName(grid_.item(index)).toStdString();
}

bool GridFiles::Selected(int index) const {
    return grid_.item(index)->isSelected();
}

void GridFiles::Remove(int index) {
    grid_.RemoveItem(index);
}

void GridFiles::Add(const std::string& realName) {
    grid_.AddFileItem(QString::fromStdString(realName));
}

void GridFiles::Refresh() {
    grid_.RefreshImages();
}

void GridFiles::SelectLast() {
    grid_.clearSelection();
    if (grid_.count() > 0)
        grid_.setCurrentRow(grid_.count() - 1, QItemSelectionModel::ClearAndSelect);
}

ComInfoProgress::ComInfoProgress(QWidget* window) : window_(qobject_cast<TComInfoForm*>(window)) {}

void ComInfoProgress::Begin(int items) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    if (!window_)
        return;
    window_->ProgressBar1->setMaximum(items);
    window_->ProgressBar1->setValue(0);
    CentreOnScreen(window_);
    window_->show();
    window_->raise();
    // Let the window appear before the work blocks the event loop; no input is taken meanwhile.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void ComInfoProgress::Step() {
    if (!window_)
        return;
    window_->ProgressBar1->setValue(window_->ProgressBar1->value() + 1);
    window_->ProgressBar1->repaint();
}

void ComInfoProgress::End() {
    if (window_)
        window_->close();
    QGuiApplication::restoreOverrideCursor();
}

void TMainForm::ConnectFileCommands() {
    connect(PopupMenu(kGridMenu), &QMenu::aboutToShow, this, &TMainForm::PopupMenu1Popup);
    connect(Action("CutToClip"), &QAction::triggered, this, &TMainForm::CutToClipExecute);
    connect(Action("CopyToClip"), &QAction::triggered, this, &TMainForm::CopyToClipExecute);
    connect(Action("PasteFromClip"), &QAction::triggered, this, &TMainForm::PasteFromClipExecute);
    connect(Action("SelectAll"), &QAction::triggered, this, &TMainForm::SelectAllExecute);
    connect(Action("pRefreshFiles"), &QAction::triggered, this, &TMainForm::pRefreshFilesExecute);
    connect(Action("pRenameFile"), &QAction::triggered, this, &TMainForm::pRenameFileExecute);
    connect(Action("pDeleteFiles"), &QAction::triggered, this, &TMainForm::pDeleteFilesExecute);
}

FileCommandContext TMainForm::FileContext(BulkProgress& progress) {
    return {prompts_, progress, dispatch_.changesEnabled, [this](const std::string& path) { ReleaseFile(path); },
            [this](const std::string& path) { return RemoveFile(path); }};
}

void TMainForm::ReleaseFile(const std::string& path) {
    if (QString::fromStdString(path).toLower().toStdString() == dispatch_.shownFilePath)
        StopMedia();
}

bool TMainForm::RemoveFile(const std::string& path) {
    if (!MoveDeletedToTrash)
        return DeletePlainFile(path);
    return !IsReadOnlyEntry(path) && MoveToTrash(path);  // as a plain delete, a read-only file stays
}

bool TMainForm::RemoveFolder(const std::string& path) {
    return MoveDeletedToTrash ? MoveToTrash(path) : RemoveFolderTree(path);
}

void TMainForm::PopupMenu1Popup() {
    const bool any = ui_.ImagesListView1->selectionModel()->hasSelection();
    for (const char* name : {"CopyToClip", "CutToClip", "pDeleteFiles", "pRenameFile"})
        Action(QString::fromLatin1(name))->setEnabled(any);
    if (!any)
        Action("PasteFromClip")->setEnabled(FileClipboard.names.has_value());
}

void TMainForm::CutToClipExecute() {
    const GridFiles grid(*ui_.ImagesListView1);
    TakeToClipboard(FileClipboard, grid, true);
}

void TMainForm::CopyToClipExecute() {
    const GridFiles grid(*ui_.ImagesListView1);
    TakeToClipboard(FileClipboard, grid, false);
}

void TMainForm::PasteFromClipExecute() {
    GridFiles grid(*ui_.ImagesListView1);
    ComInfoProgress progress(comInfoForm_);
    FileCommandContext ctx = FileContext(progress);
    PasteFromClipboard(FileClipboard, grid, ctx);
}

void TMainForm::pDeleteFilesExecute() {
    GridFiles grid(*ui_.ImagesListView1);
    ComInfoProgress progress(comInfoForm_);
    FileCommandContext ctx = FileContext(progress);
    DeleteSelectedFiles(grid, ctx);
}

void TMainForm::pRenameFileExecute() {
    for (int i = 0; i < ui_.ImagesListView1->count(); ++i) {
        const GridItem item = ui_.ImagesListView1->item(i);
        if (item->isSelected()) {
            ui_.ImagesListView1->setFocus();
            ui_.ImagesListView1->scrollToItem(item);
            ui_.ImagesListView1->editItem(item);
            return;
        }
    }
}

void TMainForm::SelectAllExecute() {
    ui_.ImagesListView1->selectAll();
}

void TMainForm::pRefreshFilesExecute() {
    ui_.ImagesListView1->RefreshImages();
}

}  // namespace vs
