#pragma once

#include "library/DirListing.h"
#include "platform/Mounts.h"

#include <QIcon>
#include <QPersistentModelIndex>
#include <QString>
#include <QTreeWidget>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QDragMoveEvent;
class QDropEvent;

namespace vs {

// The record of a real node; placeholder children (which only give their parent an expand
// button) have none.
struct TDirEntry {
    std::string Path;       // the folder's full path with a trailing '/'; a drive node holds its mount root
    bool KidsRead = false;  // the children were read from disk
};

// The mounted file systems as top-level "drives" ("/" first) with their folders below, each
// level read from disk only when it is opened. Every node keeps its full path; the control
// selects nodes by path, follows renames and deletions with small edits, and remembers the
// last folder visited on each drive. Listings of remote, removable and CD drives run on a
// worker thread: one that does not answer within the list timeout leaves its node empty
// (with its button, to try again) instead of freezing the window.
class TDirTree : public QTreeWidget {
    Q_OBJECT

public:
    // Icon indexes of GetImageIndex.
    enum : int { kFolderIcon, kOpenFolderIcon, kFixedIcon, kRemovableIcon, kCdIcon, kRemoteIcon, kRamIcon, kIconCount };
    static constexpr int kImageIndexRole = Qt::UserRole;
    static constexpr int kSelectedIndexRole = Qt::UserRole + 1;

    explicit TDirTree(QWidget* parent = nullptr);
    ~TDirTree() override;

    // Where the drives come from; the machine's mounts unless replaced. The second form
    // leaves the list with its owner, who keeps it alive as long as the control.
    void SetMountList(std::unique_ptr<MountList> mounts);
    void SetMountList(MountList& mounts);
    // The built-in listing (ReadSubFolderEntries unless replaced); it may run on a worker thread.
    void SetFolderReader(FolderReader reader);
    // How long a listing of a remote, removable or CD drive may take; 2 seconds.
    void SetListTimeout(std::chrono::milliseconds timeout) { lister_.SetTimeout(timeout); }
    // Listings given up that are still running.
    int AbandonedListings() const { return lister_.Outstanding(); }

    // Published properties. Changing DirType, AllowNetwork or GoBelowRecycleBin reloads.
    bool FastLoad = false;    // every drive gets an expand button without touching the disk
    bool ReadOnStart = true;  // read the drives when the control is first shown
    TDirType DirType() const { return dirType_; }
    void SetDirType(TDirType type);
    bool AllowNetwork() const { return allowNetwork_; }
    void SetAllowNetwork(bool allow);
    bool GoBelowRecycleBin() const { return goBelowRecycleBin_; }
    void SetGoBelowRecycleBin(bool go);
    // False while the drives are being read; selection changes are not reported then.
    bool Ready() const { return ready_; }

    // The selected node's path; "?" when nothing is selected.
    std::string GetDirectory() const;
    std::string Directory() const { return GetDirectory(); }
    // Opens the levels down to path and selects it. "?" changes nothing; an empty path throws
    // std::invalid_argument("Invalid Directory Name"); a path that does not exist selects the
    // root of the current directory's drive.
    void SetDirectory(const std::string& path);

    // Events.
    std::function<void(TDirTree&, const std::string& fileName, bool& doAdd)> OnAddDir;
    std::function<void(TDirTree&, QTreeWidgetItem* node)>
        OnDeleteItem;  // the node is going; read nothing but its address
    std::function<void(TDirTree&, QTreeWidgetItem* node)> OnGetIcon;
    // Replaces the built-in listing: called with first = true to start listing path, then with
    // first = false for each further entry; it fills rec and sets result to 0 while it
    // delivers an entry, to non-zero when the listing is over.
    std::function<void(TDirTree&, const std::string& path, TDirRec& rec, int& result, bool first)> OnFindDir;
    // In-place editing: OnEditing may refuse to start an edit; OnEdited may change the text
    // before it becomes the caption.
    std::function<bool(TDirTree&, QTreeWidgetItem* node)> OnEditing;
    std::function<void(TDirTree&, QTreeWidgetItem* node, QString& text)> OnEdited;
    // Starts in-place editing of a node, if OnEditing agrees.
    void EditNode(QTreeWidgetItem* node);
    // Drag and drop: while something is dragged over the tree the node under the mouse is
    // highlighted as drop target (GetDropDir gives its path). OnDragOver says whether a drop
    // there is welcome; OnDragDrop takes the drop, with the target still highlighted.
    std::function<bool(TDirTree&, QDragMoveEvent& event)> OnDragOver;
    std::function<void(TDirTree&, QDropEvent& event)> OnDragDrop;
    // A mouse button went down on the viewport. A right button press never moves the
    // selection, so the context menu acts on the node under the mouse without opening it.
    std::function<void(TDirTree&, Qt::MouseButton button, const QPoint& viewportPos)> OnMouseDown;

    void ReLoad();
    void ReadNew();
    std::string GetDropDir() const;
    QTreeWidgetItem* GetNodeFromPath(const std::string& path) const;
    void RenamePart(const std::string& oldPath, const std::string& newName);
    void DeletePart(const std::string& path);
    void AddPath(const std::string& parentPath, const std::string& name);
    void ClearNode(QTreeWidgetItem* node);
    bool IsExpanded(const QTreeWidgetItem* node) const;
    void FullExpand();
    // The drive is named by its mount root.
    void SetDrive(const std::string& root);
    std::string GetDrive() const;
    void AddNode(QTreeWidgetItem*& node, const std::string& path);
    QTreeWidgetItem* AddKid(QTreeWidgetItem* parent, const std::string& path);
    void GetKids(QTreeWidgetItem* node);
    void GetSubKids(QTreeWidgetItem* node);
    void GetBtn(QTreeWidgetItem* node);
    bool Okay(std::uint32_t attr) const { return vs::Okay(dirType_, attr); }
    bool AskAdd(const std::string& path);
    void GetImageIndex(QTreeWidgetItem* node, int icon);

    // The record of a node; nullptr for placeholders and foreign items.
    static TDirEntry* Entry(QTreeWidgetItem* node);
    static const TDirEntry* Entry(const QTreeWidgetItem* node);
    static QIcon IconAt(int index);
    // The drives of the last read, shown or not.
    const std::vector<Drive>& Drives() const { return drives_; }
    // Whether path is the root of a drive or of any other mount, shown or not (such a folder
    // is never renamed or deleted).
    bool IsDriveRoot(const std::string& path) const;

    // Drag and drop helpers for the owner.
    QTreeWidgetItem* NodeAt(const QPoint& viewportPos) const { return itemAt(viewportPos); }
    void SetDropTarget(QTreeWidgetItem* node);
    QTreeWidgetItem* DropTarget() const { return dropTarget_; }

signals:
    // The selection changed while the control was ready; Directory is the new folder.
    void Change(QTreeWidgetItem* node);

protected:
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    class Node;
    class Delegate;
    friend class Node;
    friend class Delegate;

    template <typename T>
    void SetAndReload(T& field, T value);
    void SetIcons(QTreeWidgetItem* node, int icon);
    void NodeDeleted(QTreeWidgetItem* node);
    void SelectionChanged();
    void Expanding(QTreeWidgetItem* node);
    // The sub-folder entries of a folder; nullopt when a slow drive did not answer in time.
    std::optional<std::vector<TDirRec>> ListFolder(const std::string& path);
    // The entry's own status (a link not followed); nullopt when it does not exist or a slow
    // drive did not answer in time.
    std::optional<struct stat> StatOf(const std::string& path);
    Node* MakeNode(const std::string& path, bool drive);
    void AddPlaceholder(QTreeWidgetItem* node, const QString& caption);
    int IconIndexFor(const std::string& path) const;
    std::vector<QTreeWidgetItem*> NodesFromPath(const std::string& path, bool read);
    QTreeWidgetItem* Walk(QTreeWidgetItem* top, const std::string& path, bool read);
    void RewritePaths(QTreeWidgetItem* node, const std::string& oldRoot, const std::string& newRoot);
    void ExpandBelow(QTreeWidgetItem* node, std::vector<std::pair<dev_t, ino_t>>& ancestors, dev_t device);
    void SelectNode(QTreeWidgetItem* node);
    std::string RememberedPath(const std::string& root) const;
    std::string CurrentDriveRoot() const;

    std::unique_ptr<MountList> ownedMounts_;
    MountList* mounts_ = nullptr;
    FolderReader reader_;
    BackgroundLister lister_;
    std::vector<Drive> drives_;
    std::vector<std::string> mountRoots_;  // every mount point of the last read, pseudo ones too
    TDirType dirType_{TDirAttr::dtNormal, TDirAttr::dtAll};
    bool allowNetwork_ = true;
    bool goBelowRecycleBin_ = true;
    bool ready_ = false;
    bool drivesRead_ = false;
    bool destroying_ = false;
    bool fullExpanding_ = false;
    std::string startFolder_;                        // the current directory at construction
    std::string systemFolder_;                       // where a refused network path goes: the home folder
    std::map<std::string, std::string> drivePaths_;  // mount root -> last folder selected there
    QTreeWidgetItem* dropTarget_ = nullptr;
    struct PendingEdit {
        QPersistentModelIndex index;
        QString text;
    };
    std::optional<PendingEdit> pendingEdit_;  // committed, waiting for the editor to close
};

}  // namespace vs
