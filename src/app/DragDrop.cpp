// Drag and drop: thumbnails dragged from the grid onto a folder of a tree move there; files
// dragged in from another program are copied into the folder.

#include "app/TMainForm.h"

#include "app/Artwork.h"
#include "app/FileGridAdapter.h"
#include "controls/TDirTree.h"
#include "controls/TImagesListView.h"
#include "platform/FileSystem.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTreeWidget>
#include <QUrl>

#include <functional>

namespace vs {

namespace {

// Takes the drag events of a tree's viewport to the window's handlers.
class TreeDropFilter : public QObject {
public:
    // anywhere: the drag just entered, and only the data counts.
    using Over = std::function<bool(const QPoint&, const QMimeData*, bool anywhere)>;
    using Drop = std::function<void(const QPoint&, const QMimeData*)>;

    TreeDropFilter(QTreeWidget* tree, Over over, Drop drop)
        : QObject(tree), over_(std::move(over)), drop_(std::move(drop)) {
        tree->setAcceptDrops(true);
        tree->viewport()->setAcceptDrops(true);
        tree->viewport()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        switch (event->type()) {
            case QEvent::DragEnter:
            case QEvent::DragMove: {
                // Entering is accepted anywhere for data the tree can take, so that the moves
                // that follow reach the tree; each move then accepts only over a node.
                auto* e = static_cast<QDragMoveEvent*>(event);
                if (over_(e->position().toPoint(), e->mimeData(), event->type() == QEvent::DragEnter)) {
                    e->setDropAction(Qt::CopyAction);
                    e->accept();
                } else {
                    e->ignore();
                }
                return true;
            }
            case QEvent::Drop: {
                auto* e = static_cast<QDropEvent*>(event);
                // Accepted as a copy: the source deletes nothing itself; a move from the grid
                // is done here.
                e->setDropAction(Qt::CopyAction);
                e->accept();
                drop_(e->position().toPoint(), e->mimeData());
                return true;
            }
            case QEvent::DragLeave:
                return true;
            default:
                return false;
        }
    }

private:
    Over over_;
    Drop drop_;
};

// The local files a drop from another program carries.
std::vector<std::string> DroppedFiles(const QMimeData* mime) {
    std::vector<std::string> files;
    if (!mime)
        return files;
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile())
            files.push_back(url.toLocalFile().toStdString());
    return files;
}

// Thumbnails of this window's grid, or files from another program.
bool AcceptableDrop(const QMimeData* mime) {
    return TImagesListView::IsOwnDrag(mime) || !DroppedFiles(mime).empty();
}

}  // namespace

void TMainForm::ConnectDragDrop() {
    ui_.ImagesListView1->SetDragCursors(DragCursorPicture(false), DragCursorPicture(true));
    new TreeDropFilter(
        ui_.FolderTreeView,
        [this](const QPoint& pos, const QMimeData* mime, bool anywhere) {
            return anywhere ? AcceptableDrop(mime) : FolderTreeViewDragOver(pos, mime);
        },
        [this](const QPoint& pos, const QMimeData* mime) { FolderTreeViewDragDrop(pos, mime); });
    // The directory tree highlights the node under the mouse as drop target itself.
    ui_.DirTree1->OnDragOver = [this](TDirTree&, QDragMoveEvent& event) {
        event.setDropAction(Qt::CopyAction);
        return DirTree1DragOver(event.mimeData());
    };
    ui_.DirTree1->OnDragDrop = [this](TDirTree&, QDropEvent& event) {
        event.setDropAction(Qt::CopyAction);
        event.accept();
        DirTree1DragDrop(event.mimeData());
    };
}

bool TMainForm::DirTree1DragOver(const QMimeData* mime) {
    return AcceptableDrop(mime);
}

void TMainForm::DirTree1DragDrop(const QMimeData* mime) {
    const std::string target = ui_.DirTree1->GetDropDir();
    if (target.empty())
        return;
    if (TImagesListView::IsOwnDrag(mime))
        MoveSelectedFiles(WithTrailingSlash(target));
    else
        CopyDroppedFiles(mime, WithTrailingSlash(target));
}

bool TMainForm::FolderTreeViewDragOver(const QPoint& viewportPos, const QMimeData* mime) {
    return ui_.FolderTreeView->itemAt(viewportPos) && AcceptableDrop(mime);
}

void TMainForm::FolderTreeViewDragDrop(const QPoint& viewportPos, const QMimeData* mime) {
    const QTreeWidgetItem* node = ui_.FolderTreeView->itemAt(viewportPos);
    if (!node)
        return;
    if (TImagesListView::IsOwnDrag(mime))
        MoveSelectedFiles(NodeFolderPath(node));
    else
        CopyDroppedFiles(mime, NodeFolderPath(node));
}

void TMainForm::MoveSelectedFiles(const std::string& targetFolder) {
    GridFiles grid(*ui_.ImagesListView1);
    ComInfoProgress progress(comInfoForm_);
    FileCommandContext ctx = FileContext(progress);
    vs::MoveSelectedFiles(grid, targetFolder, ctx);
}

void TMainForm::CopyDroppedFiles(const QMimeData* mime, const std::string& targetFolder) {
    const std::vector<std::string> files = DroppedFiles(mime);
    if (files.empty())
        return;
    ComInfoProgress progress(comInfoForm_);
    const std::vector<std::string> copied = CopyFilesInto(files, targetFolder, prompts_, progress);
    // New files of the folder the grid shows appear in it at once.
    if (!copied.empty() && targetFolder == ui_.ImagesListView1->Path().toStdString())
        ui_.ImagesListView1->RefreshImages();
}

}  // namespace vs
