// The library tree of the main window: the photo folder and every plain folder below it,
// pointing the grid at the chosen folder, and the four folder commands of its menu.

#include "app/TMainForm.h"

#include "app/Artwork.h"
#include "controls/TImagesListView.h"
#include "library/FolderTree.h"
#include "platform/Prompts.h"

#include <QAction>
#include <QCollator>
#include <QMenu>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <algorithm>

namespace vs {

namespace {

constexpr int kCaptionRole = Qt::UserRole + 1;  // the caption the disk knows, while an edit runs

int Level(const QTreeWidgetItem* node) {
    int level = 0;
    for (const QTreeWidgetItem* p = node->parent(); p; p = p->parent())
        ++level;
    return level;
}

QString Caption(const QTreeWidgetItem* node) {
    const QVariant v = node->data(0, kCaptionRole);
    return v.isValid() ? v.toString() : node->text(0);
}

const QIcon& FolderIcon() {
    static const QIcon icon = [] {
        QIcon i = LibraryTreeIcon(TreePicture::ClosedFolder);
        for (const QSize size : LibraryTreeIcon(TreePicture::OpenFolder).availableSizes())
            i.addPixmap(LibraryTreeIcon(TreePicture::OpenFolder).pixmap(size), QIcon::Selected);
        return i;
    }();
    return icon;
}

}  // namespace

void TMainForm::ConnectFolderTree() {
    ui_.FolderTreeView->setRootIsDecorated(false);
    ui_.FolderTreeView->setIndentation(21);
    ui_.FolderTreeView->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    ui_.FolderTreeView->viewport()->installEventFilter(this);
    connect(ui_.FolderTreeView, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem*) { FolderTreeViewChange(current); });
    connect(ui_.FolderTreeView, &QTreeWidget::itemClicked, this, [this] { FolderTreeViewClick(); });
    connect(ui_.FolderTreeView, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* node, int) {
        if (!editingGuard_)
            FolderTreeViewEdited(node, node->text(0));
    });
    connect(PopupMenu(kLibraryMenu), &QMenu::aboutToShow, this, &TMainForm::PopupMenu2Popup);
    connect(Action("pNewFolder"), &QAction::triggered, this, &TMainForm::pNewFolderExecute);
    connect(Action("pDeleteFolder"), &QAction::triggered, this, &TMainForm::pDeleteFolderExecute);
    connect(Action("pRenameFolder"), &QAction::triggered, this, &TMainForm::pRenameFolderExecute);
    connect(Action("pRefreshFolder"), &QAction::triggered, this, &TMainForm::pRefreshFolderExecute);
}

void TMainForm::SetNodeCaption(QTreeWidgetItem* node, const QString& caption) {
    editingGuard_ = true;
    node->setText(0, caption);
    node->setData(0, kCaptionRole, caption);
    editingGuard_ = false;
}

QTreeWidgetItem* TMainForm::AddFolderNode(QTreeWidgetItem* parent, const QString& caption) {
    auto* node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(ui_.FolderTreeView);
    editingGuard_ = true;
    node->setIcon(0, FolderIcon());
    node->setFlags(node->flags() | Qt::ItemIsEditable);
    editingGuard_ = false;
    SetNodeCaption(node, caption);
    return node;
}

void TMainForm::FillFolderTree() {
    ClickedFolderNode = nullptr;  // its node is about to go
    ui_.FolderTreeView->clear();
    auto* root = new QTreeWidgetItem(ui_.FolderTreeView);
    editingGuard_ = true;
    root->setIcon(0, LibraryTreeIcon(TreePicture::Library));
    editingGuard_ = false;
    SetNodeCaption(root, QStringLiteral("Photo Folder"));
    ui_.FolderTreeView->setCurrentItem(root);
    if (AddFolderChildren(PhotoFolder, root))
        root->setExpanded(true);
}

bool TMainForm::AddFolderChildren(const std::string& path, QTreeWidgetItem* parent) {
    if (!ui_.FolderTreeView)
        return false;
    // Read from disk in one pass; the nodes follow, depth first. Each level is in name order
    // (ignoring letter case, by the user's locale, as the grid sorts captions), not in the
    // order the file system happens to list.
    const std::vector<FolderNode> folders = LoadFolderHierarchy(path);
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    const auto add = [&](const auto& self, const std::vector<FolderNode>& level, QTreeWidgetItem* under) -> void {
        std::vector<std::pair<QString, const FolderNode*>> sorted;
        sorted.reserve(level.size());
        for (const FolderNode& f : level)
            sorted.emplace_back(QString::fromStdString(f.caption), &f);
        std::stable_sort(sorted.begin(), sorted.end(),
                         [&](const auto& a, const auto& b) { return collator.compare(a.first, b.first) < 0; });
        for (const auto& [caption, f] : sorted)
            self(self, f->children, AddFolderNode(under, caption));
    };
    add(add, folders, parent);
    return true;
}

std::string TMainForm::NodeFolderPath(const QTreeWidgetItem* node) const {
    std::vector<std::string> captions;
    for (const QTreeWidgetItem* n = node; n && n->parent(); n = n->parent())
        captions.insert(captions.begin(), Caption(n).toStdString());
    return vs::NodeFolderPath(PhotoFolder, captions);
}

void TMainForm::FolderTreeViewMouseDown(const QPoint& viewportPos) {
    ClickedFolderNode = ui_.FolderTreeView->itemAt(viewportPos);
}

void TMainForm::PointGridAt(const QTreeWidgetItem* node) {
    const QString path = QString::fromStdString(NodeFolderPath(node));
    if (path == ui_.ImagesListView1->Path())
        return;
    ui_.ImagesListView1->SetFPath(path);
    setWindowTitle(QString::fromStdString(TitlePrefix) + "/" + Caption(node) + "/");
}

void TMainForm::FolderTreeViewChange(QTreeWidgetItem* node) {
    if (node)
        PointGridAt(node);
}

void TMainForm::FolderTreeViewClick() {
    if (ClickedFolderNode)
        PointGridAt(ClickedFolderNode);
}

bool TMainForm::FolderTreeViewEditing(const QTreeWidgetItem* node) const {
    return node && node != ui_.FolderTreeView->topLevelItem(0);
}

void TMainForm::FolderTreeViewEdited(QTreeWidgetItem* node, const QString& newText) {
    const QString old = Caption(node);
    if (!node->parent() || newText == old) {
        SetNodeCaption(node, old);
        return;
    }
    const bool renamed = RenameFolder(NodeFolderPath(node->parent()), old.toStdString(), newText.toStdString());
    SetNodeCaption(node, renamed ? newText : old);
    if (!renamed)
        return;
    // The shown folder, or one it lies in, has a new path: show it as selecting it would.
    QTreeWidgetItem* shown = ui_.FolderTreeView->currentItem();
    for (const QTreeWidgetItem* n = shown; n; n = n->parent())
        if (n == node) {
            PointGridAt(shown);
            break;
        }
}

void TMainForm::PopupMenu2Popup() {
    const bool onNode = ClickedFolderNode != nullptr;
    const bool onFolder = onNode && ClickedFolderNode != ui_.FolderTreeView->topLevelItem(0);
    Action("pNewFolder")->setEnabled(onNode);
    Action("pDeleteFolder")->setEnabled(onFolder);
    Action("pRenameFolder")->setEnabled(onFolder);
    Action("pRefreshFolder")->setEnabled(true);
}

void TMainForm::pNewFolderExecute() {
    QTreeWidgetItem* parent = ClickedFolderNode ? ClickedFolderNode : ui_.FolderTreeView->topLevelItem(0);
    if (!parent)
        return;
    const int depth = Level(parent) + 1;
    std::vector<std::pair<int, std::string>> nodes;
    for (QTreeWidgetItemIterator it(ui_.FolderTreeView); *it; ++it)
        nodes.emplace_back(Level(*it), Caption(*it).toStdString());
    const std::string name = NewFolderName(nodes, depth);
    const std::string folder = ClickedFolderNode ? NodeFolderPath(ClickedFolderNode) : PhotoFolder;
    if (!CreateFolder(folder, name)) {
        prompts_.message("Create Folder Failed !", "", Buttons::Ok, Icon::None);
        return;
    }
    QTreeWidgetItem* node = AddFolderNode(parent, QString::fromStdString(name));
    if (!parent->isExpanded())
        ui_.FolderTreeView->expandRecursively(ui_.FolderTreeView->indexFromItem(parent));
    ui_.FolderTreeView->editItem(node);
}

void TMainForm::pDeleteFolderExecute() {
    QTreeWidgetItem* node = ClickedFolderNode;
    if (!node || node == ui_.FolderTreeView->topLevelItem(0))
        return;
    const Answer answer = prompts_.message("Are your sure delete the folder (" + Caption(node).toStdString() + ") ?",
                                           "Waring", Buttons::YesNo, Icon::Question);
    if (answer == Answer::Yes) {
        if (RemoveFolder(NodeFolderPath(node)))
            delete node;
        else
            FillFolderTree();  // show what is left on disk
    }
    ClickedFolderNode = nullptr;
}

void TMainForm::pRenameFolderExecute() {
    if (ClickedFolderNode && FolderTreeViewEditing(ClickedFolderNode))
        ui_.FolderTreeView->editItem(ClickedFolderNode);
}

void TMainForm::pRefreshFolderExecute() { FillFolderTree(); }

}  // namespace vs
