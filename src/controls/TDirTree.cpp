#include "controls/TDirTree.h"

#include "platform/qt/QtMountList.h"

#include <QApplication>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFileIconProvider>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPalette>
#include <QStyle>
#include <QStyledItemDelegate>

#include <unistd.h>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <stdexcept>

namespace vs {

namespace {

constexpr int kNodeType = QTreeWidgetItem::UserType + 1;

class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// Repainting off for a batch of tree edits, back on at every way out.
class Frozen {
public:
    explicit Frozen(QWidget* w) : w_(w), was_(w->updatesEnabled()) { w_->setUpdatesEnabled(false); }
    ~Frozen() { w_->setUpdatesEnabled(was_); }
    Frozen(const Frozen&) = delete;
    Frozen& operator=(const Frozen&) = delete;

private:
    QWidget* w_;
    bool was_;
};

std::string CurrentDirectory() {
    std::string dir;
    if (char* cwd = ::getcwd(nullptr, 0)) {
        dir = cwd;
        std::free(cwd);
    }
    return WithTrailingSlash(dir.empty() ? std::string("/") : dir);
}

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    return WithTrailingSlash(home && home[0] == '/' ? home : "/");
}

bool IsSlowDrive(DriveType type) {
    return type != DriveType::Fixed && type != DriveType::RamDisk;
}

}  // namespace

// A tree node; it owns its record and tells the tree when it goes.
class TDirTree::Node : public QTreeWidgetItem {
public:
    explicit Node(TDirTree* owner) : QTreeWidgetItem(kNodeType), owner_(owner) {}
    ~Node() override {
        entry.reset();
        if (owner_)
            owner_->NodeDeleted(this);
    }
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;

    std::unique_ptr<TDirEntry> entry;
    bool btnRead = false;  // GetBtn has looked at the disk for it

private:
    TDirTree* owner_;
};

// Holds a committed caption back until the editor has closed; the owner sees it then, and
// may change it, before it is stored (closeEditor).
class TDirTree::Delegate : public QStyledItemDelegate {
public:
    explicit Delegate(TDirTree* tree) : QStyledItemDelegate(tree), tree_(tree) {}
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            tree_->pendingEdit_ = PendingEdit{QPersistentModelIndex(index), line->text()};
        else
            QStyledItemDelegate::setModelData(editor, model, index);
    }

private:
    TDirTree* tree_;
};

TDirTree::TDirTree(QWidget* parent)
    : QTreeWidget(parent),
      ownedMounts_(std::make_unique<QtMountList>()),
      mounts_(ownedMounts_.get()),
      reader_(ReadSubFolderEntries),
      lister_(std::chrono::milliseconds(2000)),
      startFolder_(CurrentDirectory()),
      systemFolder_(HomeFolder()) {
    setHeaderHidden(true);
    setColumnCount(1);
    setSortingEnabled(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    setItemDelegate(new Delegate(this));
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
    connect(this, &QTreeWidget::currentItemChanged, this, [this] { SelectionChanged(); });
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* node) { Expanding(node); });
}

TDirTree::~TDirTree() {
    destroying_ = true;
    clear();
}

void TDirTree::SetMountList(std::unique_ptr<MountList> mounts) {
    ownedMounts_ = std::move(mounts);
    mounts_ = ownedMounts_.get();
}

void TDirTree::SetMountList(MountList& mounts) {
    mounts_ = &mounts;
    ownedMounts_.reset();
}

void TDirTree::SetFolderReader(FolderReader reader) {
    reader_ = std::move(reader);
}

template <typename T>
void TDirTree::SetAndReload(T& field, T value) {
    if (field == value)
        return;
    field = value;
    if (drivesRead_)
        ReLoad();
}

void TDirTree::SetDirType(TDirType type) {
    SetAndReload(dirType_, type);
}
void TDirTree::SetAllowNetwork(bool allow) {
    SetAndReload(allowNetwork_, allow);
}
void TDirTree::SetGoBelowRecycleBin(bool go) {
    SetAndReload(goBelowRecycleBin_, go);
}

TDirEntry* TDirTree::Entry(QTreeWidgetItem* node) {
    return node && node->type() == kNodeType ? static_cast<Node*>(node)->entry.get() : nullptr;
}

const TDirEntry* TDirTree::Entry(const QTreeWidgetItem* node) {
    return node && node->type() == kNodeType ? static_cast<const Node*>(node)->entry.get() : nullptr;
}

QIcon TDirTree::IconAt(int index) {
    static const std::array<QIcon, kIconCount> icons = [] {
        QFileIconProvider provider;
        const QIcon folder = provider.icon(QFileIconProvider::Folder);
        const QIcon drive = provider.icon(QFileIconProvider::Drive);
        const QIcon open = QIcon::fromTheme("folder-open", QApplication::style()->standardIcon(QStyle::SP_DirOpenIcon));
        return std::array<QIcon, kIconCount>{folder,
                                             open,
                                             QIcon::fromTheme("drive-harddisk", drive),
                                             QIcon::fromTheme("drive-removable-media", drive),
                                             QIcon::fromTheme("media-optical", drive),
                                             provider.icon(QFileIconProvider::Network),
                                             QIcon::fromTheme("drive-harddisk", drive)};
    }();
    return index >= 0 && index < kIconCount ? icons[static_cast<std::size_t>(index)] : QIcon();
}

namespace {

// A node's picture: the image normally, the selected image while selected. One QIcon per
// pair, shared by every node that shows it.
QIcon NodeIcon(int image, int selected) {
    static std::map<std::pair<int, int>, QIcon> cache;
    auto [it, added] = cache.try_emplace({image, selected});
    if (added) {
        const QIcon normal = TDirTree::IconAt(image);
        const QIcon chosen = TDirTree::IconAt(selected);
        for (const int size : {16, 22, 24, 32, 48}) {
            it->second.addPixmap(normal.pixmap(size), QIcon::Normal);
            it->second.addPixmap(chosen.pixmap(size), QIcon::Selected);
        }
    }
    return it->second;
}

}  // namespace

void TDirTree::SetIcons(QTreeWidgetItem* node, int icon) {
    // A folder shows the open folder while selected; a drive keeps its own picture.
    const int selected = icon == kFolderIcon ? kOpenFolderIcon : icon;
    node->setData(0, kImageIndexRole, icon);
    node->setData(0, kSelectedIndexRole, selected);
    node->setIcon(0, NodeIcon(icon, selected));
}

void TDirTree::GetImageIndex(QTreeWidgetItem* node, int icon) {
    if (!node)
        return;
    SetIcons(node, icon);
    if (OnGetIcon)
        OnGetIcon(*this, node);
}

int TDirTree::IconIndexFor(const std::string& path) const {
    for (const Drive& d : drives_) {
        if (d.root != path)
            continue;
        switch (d.type) {
            case DriveType::Removable:
                return kRemovableIcon;
            case DriveType::CdRom:
                return kCdIcon;
            case DriveType::Remote:
                return kRemoteIcon;
            case DriveType::RamDisk:
                return kRamIcon;
            default:
                return kFixedIcon;
        }
    }
    return kFolderIcon;
}

bool TDirTree::IsDriveRoot(const std::string& path) const {
    const std::string p = WithTrailingSlash(path);
    // /dev, /proc and the like are no drives, but emptying one would be a disaster.
    return std::any_of(drives_.begin(), drives_.end(), [&](const Drive& d) { return d.root == p; }) ||
           std::find(mountRoots_.begin(), mountRoots_.end(), p) != mountRoots_.end();
}

TDirTree::Node* TDirTree::MakeNode(const std::string& path, bool drive) {
    auto* node = new Node(this);
    node->entry = std::make_unique<TDirEntry>(TDirEntry{WithTrailingSlash(path), false});
    QString caption = QString::fromStdString(FolderNameOf(node->entry->Path));
    if (drive)
        for (const Drive& d : drives_)
            if (d.root == node->entry->Path)
                caption = QString::fromStdString(d.label);
    node->setText(0, caption);
    node->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsDropEnabled);
    return node;
}

void TDirTree::AddPlaceholder(QTreeWidgetItem* node, const QString& caption) {
    if (!node)
        return;
    auto* placeholder = new Node(this);
    placeholder->setText(0, caption);
    placeholder->setFlags(Qt::ItemIsEnabled);
    node->addChild(placeholder);
}

void TDirTree::AddNode(QTreeWidgetItem*& node, const std::string& path) {
    Node* n = MakeNode(path, true);
    addTopLevelItem(n);
    GetImageIndex(n, IconIndexFor(n->entry->Path));
    node = n;
}

QTreeWidgetItem* TDirTree::AddKid(QTreeWidgetItem* parent, const std::string& path) {
    if (!parent)
        return nullptr;
    Node* n = MakeNode(path, false);
    parent->addChild(n);
    GetImageIndex(n, IconIndexFor(n->entry->Path));
    return n;
}

bool TDirTree::AskAdd(const std::string& path) {
    if (!goBelowRecycleBin_ && IsInsideRecycleFolder(path))
        return false;
    bool add = true;
    if (OnAddDir)
        OnAddDir(*this, path, add);
    return add;
}

std::optional<std::vector<TDirRec>> TDirTree::ListFolder(const std::string& path) {
    if (OnFindDir) {
        std::vector<TDirRec> entries;
        TDirRec rec;
        int result = 0;
        OnFindDir(*this, path, rec, result, true);
        while (result == 0) {
            if ((rec.Attr & faDirectory) && rec.Name != "." && rec.Name != ".." && !rec.Name.empty())
                entries.push_back(rec);
            OnFindDir(*this, path, rec, result, false);
        }
        return entries;
    }
    const Drive* drive = DriveOfPath(drives_, path);
    if (drive && IsSlowDrive(drive->type))
        return lister_.List(path, drive->root, reader_);
    return reader_(path);
}

std::optional<struct stat> TDirTree::StatOf(const std::string& path) {
    // Without the trailing '/', which would make lstat follow a link.
    const std::string entry = path.size() > 1 && path.back() == '/' ? path.substr(0, path.size() - 1) : path;
    const auto look = [entry] {
        std::vector<TDirRec> found(1);
        if (::lstat(entry.c_str(), &found[0].FindData) != 0)
            found.clear();
        return found;
    };
    const Drive* drive = DriveOfPath(drives_, path);
    const auto answer = drive && IsSlowDrive(drive->type) ? lister_.Run("stat:" + entry, drive->root, look) : look();
    if (!answer || answer->empty())
        return std::nullopt;
    return answer->front().FindData;
}

void TDirTree::GetBtn(QTreeWidgetItem* node) {
    auto* n = node && node->type() == kNodeType ? static_cast<Node*>(node) : nullptr;
    if (!n || !n->entry || n->entry->KidsRead || n->btnRead || n->childCount() > 0)
        return;
    const std::string path = n->entry->Path;
    const auto entries = ListFolder(path);
    if (!entries) {
        AddPlaceholder(n, QStringLiteral("**"));  // no answer: keep a button to try again
        return;
    }
    n->btnRead = true;
    for (const TDirRec& rec : *entries) {
        if (AskAdd(path + rec.Name + "/") && Okay(rec.Attr)) {
            AddPlaceholder(n, QStringLiteral("**"));
            return;
        }
    }
}

void TDirTree::GetKids(QTreeWidgetItem* node) {
    TDirEntry* entry = Entry(node);
    if (!entry || entry->KidsRead)
        return;
    const std::string path = entry->Path;
    qDeleteAll(node->takeChildren());
    const auto entries = ListFolder(path);
    if (!entries) {
        AddPlaceholder(node, QString());  // no answer: the node stays unread, with its button
        return;
    }
    entry->KidsRead = true;
    std::vector<std::string> names;
    for (const TDirRec& rec : *entries)
        if (AskAdd(path + rec.Name + "/") && Okay(rec.Attr))
            names.push_back(rec.Name);
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return FolderNameLess(a, b); });
    // Made complete before they join the tree, then added in one step: a level of thousands
    // of folders costs one model change, not thousands.
    QList<QTreeWidgetItem*> kids;
    kids.reserve(static_cast<qsizetype>(names.size()));
    for (const std::string& name : names) {
        Node* kid = MakeNode(path + name, false);
        SetIcons(kid, IconIndexFor(kid->entry->Path));
        kids.append(kid);
    }
    node->addChildren(kids);
    if (OnGetIcon)
        for (QTreeWidgetItem* kid : kids) OnGetIcon(*this, kid);
}

void TDirTree::GetSubKids(QTreeWidgetItem* node) {
    if (!node)
        return;
    for (int i = 0; i < node->childCount(); ++i) GetBtn(node->child(i));
}

void TDirTree::Expanding(QTreeWidgetItem* node) {
    TDirEntry* entry = Entry(node);
    if (!entry || fullExpanding_)
        return;
    WaitCursor wait;
    GetKids(node);
    if (entry->KidsRead)
        GetSubKids(node);
    else
        collapseItem(node);  // the drive did not answer: shown empty, button kept
}

void TDirTree::ReadNew() {
    ready_ = false;
    WaitCursor wait;
    {
        Frozen frozen(this);
        clear();
        const std::vector<MountInfo> table = mounts_->Mounts();
        drives_ = DrivesFromMounts(table);
        mountRoots_.clear();
        for (const MountInfo& m : table) mountRoots_.push_back(WithTrailingSlash(m.root));
        for (const Drive& d : drives_) {
            if (!allowNetwork_ && d.type == DriveType::Remote)
                continue;
            if (!AskAdd(d.root))
                continue;
            QTreeWidgetItem* node = nullptr;
            AddNode(node, d.root);
            switch (d.type) {
                case DriveType::Unknown:
                case DriveType::NoRoot:
                case DriveType::Removable:
                case DriveType::CdRom:
                    AddPlaceholder(node, QString());  // never wait for a disk that may not be there
                    break;
                default:
                    if (FastLoad)
                        AddPlaceholder(node, QString());
                    else
                        GetBtn(node);
            }
        }
        drivesRead_ = true;
        ready_ = true;
    }
    if (QTreeWidgetItem* selected = currentItem())
        scrollToItem(selected, QAbstractItemView::PositionAtTop);
}

std::string TDirTree::GetDirectory() const {
    const TDirEntry* entry = Entry(currentItem());
    return entry ? entry->Path : std::string("?");
}

std::string TDirTree::CurrentDriveRoot() const {
    const Drive* d = DriveOfPath(drives_, CurrentDirectory());
    return d ? d->root : std::string("/");
}

QTreeWidgetItem* TDirTree::Walk(QTreeWidgetItem* top, const std::string& path, bool read) {
    QTreeWidgetItem* node = top;
    while (node) {
        TDirEntry* entry = Entry(node);
        if (read && !entry->KidsRead)
            GetKids(node);
        if (entry->Path == path)
            return node;
        const std::size_t end = path.find('/', entry->Path.size());
        if (end == std::string::npos)
            return nullptr;
        const std::string prefix = path.substr(0, end + 1);
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; i < node->childCount() && !next; ++i)
            if (const TDirEntry* e = Entry(node->child(i)); e && e->Path == prefix)
                next = node->child(i);
        node = next;
    }
    return nullptr;
}

std::vector<QTreeWidgetItem*> TDirTree::NodesFromPath(const std::string& path, bool read) {
    // A mount inside another is a drive of its own and a folder of the outer one: the path
    // may be loaded under both. The drive holding it (the longest root) comes first.
    std::vector<QTreeWidgetItem*> tops;
    for (int i = 0; i < topLevelItemCount(); ++i)
        if (const TDirEntry* e = Entry(topLevelItem(i)); e && path.compare(0, e->Path.size(), e->Path) == 0)
            tops.push_back(topLevelItem(i));
    std::stable_sort(tops.begin(), tops.end(), [](const QTreeWidgetItem* a, const QTreeWidgetItem* b) {
        return Entry(a)->Path.size() > Entry(b)->Path.size();
    });
    std::vector<QTreeWidgetItem*> found;
    for (QTreeWidgetItem* top : tops) {
        if (QTreeWidgetItem* node = Walk(top, path, read))
            found.push_back(node);
        if (read)
            break;
    }
    return found;
}

void TDirTree::SetDirectory(const std::string& value) {
    if (value.empty())
        throw std::invalid_argument("Invalid Directory Name");
    if (value == "?")
        return;
    std::string path = WithTrailingSlash(value);
    if (!StatOf(path))
        path = CurrentDriveRoot();
    if (!allowNetwork_) {
        const Drive* d = DriveOfPath(drives_, path);
        if (d && d->type == DriveType::Remote)
            path = systemFolder_;
    }
    WaitCursor wait;
    QTreeWidgetItem* found = nullptr;
    {
        Frozen frozen(this);
        const std::vector<QTreeWidgetItem*> nodes = NodesFromPath(path, true);
        found = nodes.empty() ? nullptr : nodes.front();
        if (found)
            setCurrentItem(found);
    }
    if (found)
        scrollToItem(found, QAbstractItemView::PositionAtTop);
}

QTreeWidgetItem* TDirTree::GetNodeFromPath(const std::string& path) const {
    auto* self = const_cast<TDirTree*>(this);  // a walk that reads nothing changes nothing
    const std::vector<QTreeWidgetItem*> nodes = self->NodesFromPath(WithTrailingSlash(path), false);
    return nodes.empty() ? nullptr : nodes.front();
}

void TDirTree::SelectionChanged() {
    if (destroying_ || !ready_)
        return;
    if (const TDirEntry* entry = Entry(currentItem()))
        if (const Drive* d = DriveOfPath(drives_, entry->Path))
            drivePaths_[d->root] = entry->Path;
    emit Change(currentItem());
}

void TDirTree::SelectNode(QTreeWidgetItem* node) {
    if (currentItem() == node)
        SelectionChanged();
    else
        setCurrentItem(node);
}

void TDirTree::RewritePaths(QTreeWidgetItem* node, const std::string& oldRoot, const std::string& newRoot) {
    TDirEntry* entry = Entry(node);
    if (!entry)
        return;
    entry->Path = ReplacePathRoot(entry->Path, oldRoot, newRoot);
    node->setText(0, node->parent() ? QString::fromStdString(FolderNameOf(entry->Path)) : node->text(0));
    GetImageIndex(node, IconIndexFor(entry->Path));
    if (node == currentItem())
        SelectionChanged();
    if (entry->KidsRead)
        for (int i = 0; i < node->childCount(); ++i) RewritePaths(node->child(i), oldRoot, newRoot);
}

void TDirTree::RenamePart(const std::string& oldPath, const std::string& newName) {
    if (oldPath.empty() || newName.empty())
        return;
    for (QTreeWidgetItem* node : NodesFromPath(WithTrailingSlash(oldPath), false)) {
        const std::string oldRoot = Entry(node)->Path;
        RewritePaths(node, oldRoot, ParentFolderPath(oldRoot) + newName + "/");
    }
}

void TDirTree::DeletePart(const std::string& path) {
    for (QTreeWidgetItem* node : NodesFromPath(WithTrailingSlash(path), false)) delete node;
}

void TDirTree::AddPath(const std::string& parentPath, const std::string& name) {
    if (name.empty())
        return;
    for (QTreeWidgetItem* parent : NodesFromPath(WithTrailingSlash(parentPath), false)) {
        const std::string path = Entry(parent)->Path + name + "/";
        int at = parent->childCount();
        bool present = false;
        for (int i = 0; i < parent->childCount(); ++i) {
            const TDirEntry* e = Entry(parent->child(i));
            if (!e)
                continue;
            present = present || e->Path == path;
            if (at == parent->childCount() && FolderNameLess(name, FolderNameOf(e->Path)))
                at = i;
        }
        if (present)
            continue;
        Node* kid = MakeNode(path, false);
        parent->insertChild(at, kid);
        GetImageIndex(kid, IconIndexFor(path));
        GetBtn(kid);
    }
}

void TDirTree::ClearNode(QTreeWidgetItem* node) {
    auto* n = node && node->type() == kNodeType ? static_cast<Node*>(node) : nullptr;
    if (!n || !n->entry)
        return;
    qDeleteAll(n->takeChildren());
    n->entry->KidsRead = false;
    n->btnRead = false;
    GetBtn(n);
}

bool TDirTree::IsExpanded(const QTreeWidgetItem* node) const {
    const TDirEntry* entry = Entry(node);
    return entry && entry->KidsRead;
}

void TDirTree::ExpandBelow(QTreeWidgetItem* node, std::vector<std::pair<dev_t, ino_t>>& ancestors, dev_t device) {
    GetKids(node);
    node->setExpanded(true);
    for (int i = 0; i < node->childCount(); ++i) {
        QTreeWidgetItem* kid = node->child(i);
        const TDirEntry* entry = Entry(kid);
        if (!entry)
            continue;
        // Links, other mounts and a folder met again higher up are not entered: the walk
        // stays on the drive and always ends.
        const std::optional<struct stat> st = StatOf(entry->Path);
        if (!st || !S_ISDIR(st->st_mode) || st->st_dev != device ||
            std::find(ancestors.begin(), ancestors.end(), std::pair{st->st_dev, st->st_ino}) != ancestors.end()) {
            GetBtn(kid);
            continue;
        }
        ancestors.emplace_back(st->st_dev, st->st_ino);
        ExpandBelow(kid, ancestors, device);
        ancestors.pop_back();
    }
}

void TDirTree::FullExpand() {
    WaitCursor wait;
    Frozen frozen(this);
    fullExpanding_ = true;
    for (int i = 0; i < topLevelItemCount(); ++i) {
        QTreeWidgetItem* top = topLevelItem(i);
        const TDirEntry* entry = Entry(top);
        const std::optional<struct stat> st = entry ? StatOf(entry->Path) : std::nullopt;
        if (!st)
            continue;
        std::vector<std::pair<dev_t, ino_t>> ancestors{{st->st_dev, st->st_ino}};
        ExpandBelow(top, ancestors, st->st_dev);
    }
    fullExpanding_ = false;
}

std::string TDirTree::RememberedPath(const std::string& root) const {
    if (auto it = drivePaths_.find(root); it != drivePaths_.end())
        return it->second;
    const Drive* start = DriveOfPath(drives_, startFolder_);
    return start && start->root == root ? startFolder_ : root;
}

std::string TDirTree::GetDrive() const {
    const Drive* d = DriveOfPath(drives_, GetDirectory());
    return d ? d->root : std::string();
}

void TDirTree::SetDrive(const std::string& root) {
    const std::string r = WithTrailingSlash(root);
    if (r == GetDrive())
        return;
    std::string path = RememberedPath(r);
    if (!StatOf(path))
        path = r;
    try {
        SetDirectory(path);
    } catch (const std::exception&) {
    }
}

void TDirTree::ReLoad() {
    const std::string remembered = GetDirectory();
    ReadNew();
    SetDirectory(remembered);
    if (topLevelItemCount() > 0 && !currentItem())
        if (const Drive* d = DriveOfPath(drives_, remembered))
            SetDirectory(d->root);
    if (currentItem() || topLevelItemCount() == 0)
        return;
    try {
        // The first drive whose children have been looked at, else the last one.
        int i = 0;
        while (i + 1 < topLevelItemCount() && topLevelItem(i)->childCount() > 0 &&
               !IsExpanded(topLevelItem(i)->child(0)))
            ++i;
        QTreeWidgetItem* drive = topLevelItem(i);
        const std::string path = RememberedPath(Entry(drive)->Path);
        SetDirectory(path);
        if (GetDirectory() != path)
            SelectNode(drive);
    } catch (const std::exception&) {
    }
}

void TDirTree::showEvent(QShowEvent* event) {
    if (ReadOnStart && !drivesRead_)
        ReadNew();
    QTreeWidget::showEvent(event);
}

void TDirTree::mousePressEvent(QMouseEvent* event) {
    if (OnMouseDown)
        OnMouseDown(*this, event->button(), event->position().toPoint());
    if (event->button() == Qt::RightButton)
        event->accept();
    else
        QTreeWidget::mousePressEvent(event);
}

bool TDirTree::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    if (trigger != QAbstractItemView::NoEditTriggers && trigger != QAbstractItemView::CurrentChanged) {
        QTreeWidgetItem* node = itemFromIndex(index);
        if (!Entry(node) || (OnEditing && !OnEditing(*this, node)))
            return false;
    }
    return QTreeWidget::edit(index, trigger, event);
}

void TDirTree::EditNode(QTreeWidgetItem* node) {
    if (node)
        edit(indexFromItem(node), QAbstractItemView::AllEditTriggers, nullptr);
}

void TDirTree::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    QTreeWidget::closeEditor(editor, hint);
    std::optional<PendingEdit> edit = std::move(pendingEdit_);
    pendingEdit_.reset();
    if (!edit || !edit->index.isValid())
        return;
    // The handler may move the selection or rebuild the tree: no editor is open any more.
    QString text = edit->text;
    if (OnEdited)
        OnEdited(*this, itemFromIndex(edit->index), text);
    if (QTreeWidgetItem* node = edit->index.isValid() ? itemFromIndex(edit->index) : nullptr)
        node->setText(0, text);
}

void TDirTree::NodeDeleted(QTreeWidgetItem* node) {
    if (node == dropTarget_)
        dropTarget_ = nullptr;
    if (!destroying_ && OnDeleteItem)
        OnDeleteItem(*this, node);
}

std::string TDirTree::GetDropDir() const {
    const TDirEntry* entry = Entry(dropTarget_);
    return entry ? entry->Path : std::string();
}

void TDirTree::SetDropTarget(QTreeWidgetItem* node) {
    if (node == dropTarget_)
        return;
    if (dropTarget_) {
        dropTarget_->setData(0, Qt::BackgroundRole, QVariant());
        dropTarget_->setData(0, Qt::ForegroundRole, QVariant());
    }
    dropTarget_ = Entry(node) ? node : nullptr;
    if (dropTarget_) {
        dropTarget_->setBackground(0, palette().brush(QPalette::Highlight));
        dropTarget_->setForeground(0, palette().brush(QPalette::HighlightedText));
    }
}

void TDirTree::dragEnterEvent(QDragEnterEvent* event) {
    if (OnDragOver)
        event->acceptProposedAction();
    else
        event->ignore();
}

void TDirTree::dragMoveEvent(QDragMoveEvent* event) {
    SetDropTarget(NodeAt(event->position().toPoint()));
    if (dropTarget_ && OnDragOver && OnDragOver(*this, *event))
        event->accept();
    else
        event->ignore();
}

void TDirTree::dragLeaveEvent(QDragLeaveEvent* event) {
    SetDropTarget(nullptr);
    event->accept();
}

void TDirTree::dropEvent(QDropEvent* event) {
    SetDropTarget(NodeAt(event->position().toPoint()));
    if (dropTarget_ && OnDragDrop)
        OnDragDrop(*this, *event);
    else
        event->ignore();
    SetDropTarget(nullptr);
}

}  // namespace vs
