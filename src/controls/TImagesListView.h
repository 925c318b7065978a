#pragma once

#include "controls/FileTypes.h"
#include "graphics/Bitmap.h"
#include "platform/qt/QtBitmap.h"

#include <QHash>
#include <QImage>
#include <QItemSelectionModel>
#include <QListView>
#include <QMetaType>
#include <QPersistentModelIndex>
#include <QPixmap>

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <memory>
#include <optional>
#include <vector>

namespace vs {

class FolderLister;
class GridModel;
class Prompts;
class ThumbnailPool;
class TImagesListView;
struct GridContents;
struct ThumbnailResult;

// A handle on one item of the grid, used like the pointer to an item it stands for: it
// follows its item when rows before it come and go, and turns false once the item is gone.
// Copying it is cheap; it holds no item data of its own.
class GridItem {
public:
    GridItem() = default;
    GridItem(TImagesListView* view, const QModelIndex& index) : view_(view), index_(index) {}

    explicit operator bool() const { return view_ && index_.isValid(); }
    const GridItem* operator->() const { return this; }
    friend bool operator==(const GridItem& a, const GridItem& b) { return a.index_ == b.index_; }

    QModelIndex index() const { return index_; }
    int row() const { return index_.row(); }
    QString text() const;
    void setText(const QString& text) const;
    QVariant data(int role) const { return index_.data(role); }
    void setData(int role, const QVariant& value) const;
    bool isSelected() const;
    void setSelected(bool selected) const;

private:
    TImagesListView* view_ = nullptr;
    QPersistentModelIndex index_;
};

// The thumbnail grid: the files of one folder whose types are enabled, sorted by caption,
// each with a thumbnail (pictures) or a type icon (media and documents). Captions are the
// lower-cased names; every item keeps its real on-disk name for reaching the file.
// Thumbnails are made when items are first painted, by worker threads, newest request first;
// OnGetImageIndex makes one synchronously. The items live in a GridModel; callers reach them
// through GridItem handles with the item calls of a list widget.
class TImagesListView : public QListView {
    Q_OBJECT

public:
    static constexpr int kRealNameRole = Qt::UserRole;
    static constexpr int kImageIndexRole = Qt::UserRole + 1;
    static constexpr int kSizeTextRole = Qt::UserRole + 2;  // the one sub-item
    static constexpr int kItemIdRole = Qt::UserRole + 3;

    explicit TImagesListView(QWidget* parent = nullptr);
    ~TImagesListView() override;

    // The folder shown, with its trailing slash. SetFPath always rescans.
    const QString& Path() const { return FPath; }
    void SetFPath(const QString& path);

    // Type flags by FileTypes() index. Setting one does not rescan.
    bool Flag(int type) const { return Flags[static_cast<std::size_t>(type)]; }
    void SetFlag(int type, bool value) { Flags[static_cast<std::size_t>(type)] = value; }
    const TypeFlags& flags() const { return Flags; }
    void SetF_bmp(bool v) { SetFlag(kTypeBmp, v); }
    void SetF_jpg(bool v) { SetFlag(kTypeJpg, v); }
    void SetF_tif(bool v) { SetFlag(kTypeTif, v); }
    void SetF_tga(bool v) { SetFlag(kTypeTga, v); }
    void SetF_pcx(bool v) { SetFlag(kTypePcx, v); }
    void SetF_psd(bool v) { SetFlag(kTypePsd, v); }
    void SetF_kev(bool v) { SetFlag(kTypeKev, v); }
    void SetF_xf(bool v) { SetFlag(kTypeXf, v); }
    void SetF_sfc(bool v) { SetFlag(kTypeSfc, v); }
    void SetF_mig(bool v) { SetFlag(kTypeMig, v); }
    void SetF_avi(bool v) { SetFlag(kTypeAvi, v); }
    void SetF_mpg(bool v) { SetFlag(kTypeMpg, v); }
    void SetF_mov(bool v) { SetFlag(kTypeMov, v); }
    void SetF_mp3(bool v) { SetFlag(kTypeMp3, v); }
    void SetF_wav(bool v) { SetFlag(kTypeWav, v); }
    void SetF_mid(bool v) { SetFlag(kTypeMid, v); }
    void SetF_rmi(bool v) { SetFlag(kTypeRmi, v); }
    void SetF_htm(bool v) { SetFlag(kTypeHtm, v); }
    void SetF_txt(bool v) { SetFlag(kTypeTxt, v); }
    void SetF_rtf(bool v) { SetFlag(kTypeRtf, v); }

    // Rebuilds items and image list from the folder; keeps both when it cannot be read. With
    // background listing on, the folder is listed and sorted on a worker thread and the grid
    // is rebuilt in one step when the listing arrives; a newer scan supersedes an older one.
    void RefreshImages();
    // Off (the default), RefreshImages lists the folder before it returns.
    void SetBackgroundListing(bool on) { backgroundListing_ = on; }
    // A background listing was asked for and its items are not in the grid yet.
    bool ListingPending() const { return listingTicket_ != receivedTicket_; }
    // The folder the current items were listed from (FPath once the newest listing arrived).
    const QString& ItemsPath() const { return itemsPath_; }
    // -1 before the first scan, else the images in the image list (nine icons + thumbnails).
    int GetbmplistCount() const;

    // Makes an item's thumbnail now when it has none yet; removes the item when its file
    // can no longer be opened.
    void OnGetImageIndex(const GridItem& item);
    void OnInsert(const GridItem& item) { OnGetImageIndex(item); }
    void OnEditing(const GridItem& item);
    // Renames the item's file to text (with the file's extension forced); on failure says
    // "Can not rename !" and sets text back to the caption before editing.
    void OnEdited(const GridItem& item, QString& text);

    // The image-list index of a new thumbnail, -2 when decoding failed (running out of memory
    // too), 0 without an image list. Throws OpenError when the file can no longer be opened.
    int LoadSmallImage(const QString& fileName);
    bool ChangeImageIndexImage(int index, const QString& fileName);

    // Queues the item's thumbnail for the workers (no-op when made, failed or queued).
    void RequestThumbnail(const GridItem& item) { RequestThumbnail(item.index()); }
    void RequestThumbnail(const QModelIndex& index);
    // Thumbnail work queued or running.
    std::size_t PendingThumbnails() const;
    // Turns the worker threads off or on; off, painting makes thumbnails synchronously.
    void SetBackgroundThumbnails(bool on) { backgroundThumbnails_ = on; }

    // A new item for the file realName of the folder, its thumbnail still to be made, at its
    // place in caption order.
    GridItem AddFileItem(const QString& realName);
    void RemoveItem(int row);

    // The items as a list widget offers them.
    int count() const;
    GridItem item(int row) const;
    int row(const GridItem& item) const { return item ? item.row() : -1; }
    GridItem itemAt(const QPoint& point) const { return Handle(indexAt(point)); }
    GridItem currentItem() const { return Handle(currentIndex()); }
    int currentRow() const { return currentIndex().row(); }
    void setCurrentRow(int row);
    void setCurrentRow(int row, QItemSelectionModel::SelectionFlags command);
    void setCurrentItem(const GridItem& item);
    void setCurrentItem(const GridItem& item, QItemSelectionModel::SelectionFlags command);
    QList<GridItem> selectedItems() const;
    QList<GridItem> findItems(const QString& caption, Qt::MatchFlags flags) const;
    QRect visualItemRect(const GridItem& item) const { return visualRect(item.index()); }
    void scrollToItem(const GridItem& item) { scrollTo(item.index()); }
    void editItem(const GridItem& item) { edit(item.index()); }
    using QListView::edit;

    // Drags carry the selected files as text/uri-list, which other programs read, and this
    // format, whose data is the id of the process, to tell a move inside the program.
    static constexpr const char* kGridDragFormat = "application/x-vantorsee-thumbnails";
    QMimeData* SelectionDragData() const;
    // Whether data is a drag of thumbnails from this process.
    static bool IsOwnDrag(const QMimeData* data);
    // The drag cursors for one and for several selected items.
    void SetDragCursors(const QPixmap& single, const QPixmap& multi);

    void SetPrompts(Prompts* prompts) { prompts_ = prompts; }

    // Replaces the thumbnail maker (LoadMicroImageFromFile) for both paths; for tests.
    using ThumbnailLoader = std::function<bool(const std::string& path, int kind, Bitmap& thumb, std::string& sizeText)>;
    void SetThumbnailLoader(ThumbnailLoader loader);

    static QString RealName(const GridItem& item) { return item.data(kRealNameRole).toString(); }
    static int ImageIndex(const GridItem& item) { return item.data(kImageIndexRole).toInt(); }
    static QString ItemSizeText(const GridItem& item) { return item.data(kSizeTextRole).toString(); }
    // The item's folder + its real name.
    QString FilePath(const GridItem& item) const { return itemsPath_ + RealName(item); }

    // The image list (for tests and painting).
    const std::optional<std::vector<QPixmap>>& imageList() const { return imageList_; }

    // Nine 80 x 60 type pictures, painted by the owner before the first scan.
    std::array<QImage, 9> TypeIcons;
    QString SizeText;
    QString PreEditCaption;

signals:
    // The selection or focus state of an item changed.
    void Change(const vs::GridItem& item);
    // A thumbnail made in the background gave the item its size text.
    void SizeTextReady(const vs::GridItem& item);

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    // Own drags are accepted over the grid, but a drop on it does nothing.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    GridItem Handle(const QModelIndex& index) const;
    void ApplyResult(ThumbnailResult& result);
    void ReceiveListing(std::uint64_t ticket, std::optional<GridContents>& listing);
    void FillItems(GridContents listing);

    QString FPath;
    TypeFlags Flags = AllTypesOn();
    std::optional<std::vector<QPixmap>> imageList_;
    Bitmap WorkBitmap;
    Prompts* prompts_ = nullptr;

    void StartWorkers();

    QPixmap singleDragCursor_;
    QPixmap multiDragCursor_;
    bool backgroundThumbnails_ = true;
    ThumbnailLoader loader_;
    std::unique_ptr<ThumbnailPool> pool_;
    std::uint64_t generation_ = 0;
    QHash<std::uint64_t, QPersistentModelIndex> queued_;
    GridModel* model_;

    QString itemsPath_;
    bool backgroundListing_ = false;
    std::unique_ptr<FolderLister> lister_;
    std::uint64_t listingTicket_ = 0;   // the newest scan asked for
    std::uint64_t receivedTicket_ = 0;  // the newest scan whose result arrived
    QString listingPath_;               // the folder of the newest scan
};

}  // namespace vs

Q_DECLARE_METATYPE(vs::GridItem)
