#include "controls/TImagesListView.h"

#include "controls/FolderLister.h"
#include "controls/GridModel.h"
#include "controls/RenameRule.h"
#include "controls/ThumbnailPool.h"
#include "graphics/Errors.h"
#include "platform/FileSystem.h"
#include "platform/qt/QtPrompts.h"
#include "viewer/FileKinds.h"
#include "viewer/PictureLoader.h"

#include <QCollator>
#include <QCoreApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QUrl>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPainter>
#include <QStyledItemDelegate>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace vs {

namespace {

// Room between neighbouring items of the grid, on each side.
constexpr int kCellGap = 3;

// Asks for thumbnails as items are painted, and routes the in-place editor's text through
// the grid's rename.
class GridDelegate : public QStyledItemDelegate {
public:
    explicit GridDelegate(TImagesListView* view) : QStyledItemDelegate(view), view_(view) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        if (index.data(TImagesListView::kImageIndexRole).toInt() == kImageNotMade)
            view_->RequestThumbnail(index);
        QStyledItemDelegate::paint(painter, option, index);
    }

    // Every item is measured as an item with its picture, whether or not the thumbnail exists
    // yet, and as wide as its grid cell. The view lays items out with one size (uniform item
    // sizes) taken before any thumbnail arrives; measured without the picture, that size was
    // one caption line high and every item showed a slice of its thumbnail.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        opt.features |= QStyleOptionViewItem::HasDecoration | QStyleOptionViewItem::HasDisplay;
        opt.decorationSize = view_->iconSize();
        const QStyle* style = view_->style();
        QSize size = style->sizeFromContents(QStyle::CT_ItemViewItem, &opt, QSize(), view_);
        const QSize cell = view_->gridSize();
        if (cell.isValid())
            size.setWidth(std::max(size.width(), cell.width() - 2 * kCellGap));
        return size;
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        auto* line = qobject_cast<QLineEdit*>(editor);
        const GridItem item = view_->item(index.row());
        if (!line || !item) {
            QStyledItemDelegate::setModelData(editor, model, index);
            return;
        }
        QString text = line->text();
        view_->OnEdited(item, text);
        model->setData(index, text, Qt::EditRole);
    }

private:
    TImagesListView* view_;
};

int WorkerCount() {
    const unsigned hw = std::thread::hardware_concurrency();
    return std::clamp(static_cast<int>(hw), 2, 4);
}

}  // namespace

QString GridItem::text() const { return index_.data(Qt::DisplayRole).toString(); }

void GridItem::setText(const QString& text) const { setData(Qt::DisplayRole, text); }

void GridItem::setData(int role, const QVariant& value) const {
    if (*this)
        const_cast<QAbstractItemModel*>(index_.model())->setData(index_, value, role);
}

bool GridItem::isSelected() const { return *this && view_->selectionModel()->isSelected(index_); }

void GridItem::setSelected(bool selected) const {
    if (*this)
        view_->selectionModel()->select(index_, selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
}

TImagesListView::TImagesListView(QWidget* parent) : QListView(parent), model_(new GridModel(&imageList_, this)) {
    setModel(model_);
    for (QImage& icon : TypeIcons) {
        icon = QImage(kThumbCellWidth, kThumbCellHeight, QImage::Format_RGB888);
        icon.fill(Qt::white);
    }
    setViewMode(QListView::IconMode);
    setIconSize(QSize(kThumbCellWidth, kThumbCellHeight));
    setGridSize(QSize(kThumbCellWidth + 24, kThumbCellHeight + 30));
    setResizeMode(QListView::Adjust);
    setMovement(QListView::Static);
    setWrapping(true);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    setItemDelegate(new GridDelegate(this));
    // The grid is a drag source (left button, after the desktop's drag distance); it takes
    // no drops.
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    // The selection stays visible when the grid loses the focus.
    QPalette pal = palette();
    pal.setColor(QPalette::Inactive, QPalette::Highlight, pal.color(QPalette::Active, QPalette::Highlight));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText, pal.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(pal);

    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected, const QItemSelection& deselected) {
                for (const QItemSelection* s : {&selected, &deselected})
                    for (const QModelIndex& i : s->indexes())
                        if (const GridItem it = Handle(i))
                            emit Change(it);
            });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        if (const GridItem it = Handle(current))
            emit Change(it);
    });

    StartWorkers();
}

void TImagesListView::StartWorkers() {
    pool_.reset();
    pool_ = std::make_unique<ThumbnailPool>(
        WorkerCount(),
        [this](ThumbnailResult&& result) {
            auto shared = std::make_shared<ThumbnailResult>(std::move(result));
            QMetaObject::invokeMethod(this, [this, shared] { ApplyResult(*shared); }, Qt::QueuedConnection);
        },
        loader_);
}

void TImagesListView::SetThumbnailLoader(ThumbnailLoader loader) {
    loader_ = std::move(loader);
    queued_.clear();
    ++generation_;  // results of the old workers no longer apply
    StartWorkers();
}

TImagesListView::~TImagesListView() {
    // Workers first: no result may arrive for a half-destroyed grid.
    lister_.reset();
    pool_.reset();
}

void TImagesListView::SetFPath(const QString& path) {
    FPath = path;
    RefreshImages();
}

GridItem TImagesListView::Handle(const QModelIndex& index) const {
    if (!index.isValid())
        return {};
    return GridItem(const_cast<TImagesListView*>(this), index);
}

int TImagesListView::count() const { return model_->Count(); }

GridItem TImagesListView::item(int row) const { return Handle(model_->index(row)); }

void TImagesListView::setCurrentRow(int row) { setCurrentItem(item(row)); }

void TImagesListView::setCurrentRow(int row, QItemSelectionModel::SelectionFlags command) {
    setCurrentItem(item(row), command);
}

void TImagesListView::setCurrentItem(const GridItem& it) {
    // As a click without modifiers: the item alone is selected.
    setCurrentItem(it, selectionCommand(it.index()));
}

void TImagesListView::setCurrentItem(const GridItem& it, QItemSelectionModel::SelectionFlags command) {
    selectionModel()->setCurrentIndex(it.index(), command);
}

QList<GridItem> TImagesListView::selectedItems() const {
    QList<GridItem> items;
    for (const QModelIndex& i : selectionModel()->selectedIndexes()) items.push_back(Handle(i));
    return items;
}

QList<GridItem> TImagesListView::findItems(const QString& caption, Qt::MatchFlags flags) const {
    QList<GridItem> items;
    for (const QModelIndex& i : model_->match(model_->index(0), Qt::DisplayRole, caption, -1, flags | Qt::MatchWrap))
        items.push_back(Handle(i));
    return items;
}

void TImagesListView::RemoveItem(int row) { model_->removeRow(row); }

void TImagesListView::RefreshImages() {
    const std::uint64_t ticket = ++listingTicket_;
    listingPath_ = FPath;
    if (!backgroundListing_) {
        auto listing = ListFolderSorted(FPath.toStdString(), Flags);
        ReceiveListing(ticket, listing);
        return;
    }
    if (!lister_) {
        // The items arrive packed: the grid only swaps them in.
        auto arrived = [this](std::uint64_t done, std::optional<GridContents> listing) {
            auto shared = std::make_shared<std::optional<GridContents>>(std::move(listing));
            QMetaObject::invokeMethod(
                this, [this, done, shared] { ReceiveListing(done, *shared); }, Qt::QueuedConnection);
        };
        lister_ = std::make_unique<FolderLister>(arrived);
    }
    viewport()->setCursor(Qt::BusyCursor);
    lister_->Request(ticket, FPath.toStdString(), Flags);
}

void TImagesListView::ReceiveListing(std::uint64_t ticket, std::optional<GridContents>& listing) {
    if (ticket != listingTicket_)
        return;  // a newer scan was asked for since
    receivedTicket_ = ticket;
    viewport()->unsetCursor();
    if (!listing)
        return;
    itemsPath_ = listingPath_;
    FillItems(std::move(*listing));
}

void TImagesListView::FillItems(GridContents listing) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);

    ++generation_;
    pool_->CancelBefore(generation_);
    queued_.clear();
    imageList_.emplace();
    imageList_->reserve(TypeIcons.size() + 64);
    for (const QImage& icon : TypeIcons)
        imageList_->push_back(QPixmap::fromImage(icon));

    model_->Reset(std::move(listing));

    if (count() > 0)
        setCurrentRow(0);
    QGuiApplication::restoreOverrideCursor();
}

GridItem TImagesListView::AddFileItem(const QString& realName) {
    const QString caption = realName.toLower();
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseSensitive);
    int lo = 0;
    int hi = count();
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (collator.compare(model_->Caption(mid), caption) <= 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    return item(model_->Insert(lo, realName, kImageNotMade));
}

QMimeData* TImagesListView::SelectionDragData() const {
    QList<QUrl> urls;
    for (int row = 0; row < count(); ++row)
        if (selectionModel()->isSelected(model_->index(row)))
            urls.push_back(QUrl::fromLocalFile(itemsPath_ + model_->RealName(row)));
    auto* carried = new QMimeData;
    carried->setUrls(urls);
    carried->setData(kGridDragFormat, QByteArray::number(QCoreApplication::applicationPid()));
    return carried;
}

bool TImagesListView::IsOwnDrag(const QMimeData* carried) {
    return carried && carried->hasFormat(kGridDragFormat) &&
           carried->data(kGridDragFormat) == QByteArray::number(QCoreApplication::applicationPid());
}

void TImagesListView::SetDragCursors(const QPixmap& single, const QPixmap& multi) {
    singleDragCursor_ = single;
    multiDragCursor_ = multi;
}

void TImagesListView::startDrag(Qt::DropActions /*supportedActions*/) {
    const qsizetype selected = selectionModel()->selectedIndexes().size();
    if (selected == 0)
        return;
    auto* drag = new QDrag(this);
    drag->setMimeData(SelectionDragData());
    const QPixmap& cursor = selected > 1 ? multiDragCursor_ : singleDragCursor_;
    if (!cursor.isNull())
        drag->setDragCursor(cursor, Qt::CopyAction);
    // Other programs are offered a copy only; a drop on a folder of this window moves the
    // files itself.
    drag->exec(Qt::CopyAction, Qt::CopyAction);
}

void TImagesListView::dragEnterEvent(QDragEnterEvent* event) {
    if (IsOwnDrag(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TImagesListView::dragMoveEvent(QDragMoveEvent* event) {
    if (IsOwnDrag(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TImagesListView::dropEvent(QDropEvent* event) {
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
}

void TImagesListView::keyPressEvent(QKeyEvent* event) {
    // The list would put the caption on the desktop's clipboard; files are copied only by
    // the window's own Copy command.
    if (event == QKeySequence::Copy) {
        event->ignore();
        return;
    }
    QListView::keyPressEvent(event);
}

int TImagesListView::GetbmplistCount() const {
    return imageList_ ? static_cast<int>(imageList_->size()) : -1;
}

int TImagesListView::LoadSmallImage(const QString& fileName) {
    if (!imageList_) {
        SizeText.clear();
        return 0;
    }
    const std::string name = fileName.toStdString();
    std::string size;
    switch (MakeThumbnail(loader_, name, ImageKindFromFileName(name), WorkBitmap, size)) {
    case ThumbnailResult::Outcome::Made:
        break;
    case ThumbnailResult::Outcome::Failed:
        SizeText.clear();
        return kImageFailed;
    case ThumbnailResult::Outcome::Unopenable:
        throw OpenError("cannot open " + name);
    }
    SizeText = QString::fromStdString(size);
    imageList_->push_back(QPixmap::fromImage(ToQImage(WorkBitmap)));
    return static_cast<int>(imageList_->size()) - 1;
}

bool TImagesListView::ChangeImageIndexImage(int index, const QString& fileName) {
    if (!imageList_ || index < 0 || static_cast<std::size_t>(index) >= imageList_->size())
        return false;
    const std::string name = fileName.toStdString();
    std::string size;
    try {
        if (!LoadMicroImageFromFile(name, ImageKindFromFileName(name), WorkBitmap, size))
            return false;
    } catch (const std::exception&) {
        return false;
    }
    SizeText = QString::fromStdString(size);
    (*imageList_)[static_cast<std::size_t>(index)] = QPixmap::fromImage(ToQImage(WorkBitmap));
    model_->ImageChanged(index);
    return true;
}

void TImagesListView::OnGetImageIndex(const GridItem& it) {
    if (!it || ImageIndex(it) != kImageNotMade)
        return;
    const int row = it.row();
    // The rule of the workers: only a file that can no longer be opened takes its item away.
    try {
        const int index = LoadSmallImage(FilePath(it));
        model_->SetImageIndex(row, index);
        model_->SetSizeText(row, SizeText);
    } catch (const OpenError&) {
        RemoveItem(row);
    }
}

void TImagesListView::RequestThumbnail(const QModelIndex& index) {
    if (!index.isValid() || index.model() != model_ || !backgroundThumbnails_)
        return;
    const int row = index.row();
    if (model_->ImageIndex(row) != kImageNotMade)
        return;
    const std::uint64_t id = model_->Id(row);
    if (queued_.contains(id))
        return;
    queued_.insert(id, QPersistentModelIndex(index));
    const std::string path = (itemsPath_ + model_->RealName(row)).toStdString();
    pool_->Submit({generation_, id, path, ImageKindFromFileName(path)});
}

std::size_t TImagesListView::PendingThumbnails() const { return pool_->Pending(); }

void TImagesListView::ApplyResult(ThumbnailResult& result) {
    if (result.generation != generation_)
        return;
    const QPersistentModelIndex index = queued_.take(result.itemId);
    if (!index.isValid())
        return;
    const int row = index.row();
    if (model_->ImageIndex(row) != kImageNotMade || !imageList_)
        return;
    switch (result.outcome) {
    case ThumbnailResult::Outcome::Made:
        imageList_->push_back(QPixmap::fromImage(ToQImage(result.thumbnail)));
        SizeText = QString::fromStdString(result.sizeText);
        model_->SetImageIndex(row, static_cast<int>(imageList_->size()) - 1);
        model_->SetSizeText(row, SizeText);
        emit SizeTextReady(Handle(index));
        break;
    case ThumbnailResult::Outcome::Failed:
        SizeText.clear();
        model_->SetImageIndex(row, kImageFailed);
        model_->SetSizeText(row, QString());
        break;
    case ThumbnailResult::Outcome::Unopenable:
        RemoveItem(row);
        break;
    }
}

bool TImagesListView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    const bool editing = QListView::edit(index, trigger, event);
    if (editing)
        OnEditing(item(index.row()));
    return editing;
}

void TImagesListView::OnEditing(const GridItem& it) {
    if (it)
        PreEditCaption = it.text();
}

void TImagesListView::OnEdited(const GridItem& it, QString& text) {
    const QString oldCaption = PreEditCaption;
    const QString oldReal = RealName(it);
    text = QString::fromStdString(ForcedRenameText((itemsPath_ + oldCaption).toStdString(), text.toStdString()));
    if (text == oldReal)
        return;  // nothing to rename; a rename onto itself would only fail
    // Never replaces an existing file, and a name with '/' (or "." and "..") could leave the
    // folder: refused.
    if (RenameEntry(itemsPath_.toStdString(), oldReal.toStdString(), text.toStdString())) {
        it.setData(kRealNameRole, text);
        it.setText(text);
        // A listing under way may have read the folder before the rename: list it again so
        // the items that replace these show the new name.
        if (ListingPending())
            RefreshImages();
        return;
    }
    Prompts* prompts = prompts_;
    QtPrompts fallback(this);
    if (!prompts)
        prompts = &fallback;
    prompts->message("Can not rename !", "Vantor See 1.1", Buttons::Ok, Icon::None);
    text = oldCaption;
}

}  // namespace vs
