#include "controls/TXFListBox.h"

#include "controls/TImagesListView.h"
#include "formats/XfAlbum.h"
#include "platform/Prompts.h"
#include "viewer/Fitting.h"

#include <QGuiApplication>
#include <QPainter>
#include <QStyledItemDelegate>

#include <filesystem>

namespace vs {

namespace {

// Draws every item through the strip's DrawItem; all items share one height.
class StripDelegate : public QStyledItemDelegate {
public:
    explicit StripDelegate(TXFListBox* strip) : QStyledItemDelegate(strip), strip_(strip) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        strip_->DrawItem(*painter, index.row(), option.rect, option.state.testFlag(QStyle::State_Selected));
    }

    QSize sizeHint(const QStyleOptionViewItem& /*option*/, const QModelIndex& /*index*/) const override {
        return {strip_->UnitWidth() + 10, strip_->ItemHeight()};
    }

private:
    TXFListBox* strip_;
};

}  // namespace

TXFListBox::TXFListBox(QWidget* parent) : QListWidget(parent) {
    setObjectName("XFListBox1");
    setAccessibleName("XFListBox1");
    setItemDelegate(new StripDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    CreateWnd();
}

// Frees the album object, which removes its companion files and page cache.
TXFListBox::~TXFListBox() = default;

void TXFListBox::CreateWnd() {
    setFixedWidth(FunitWidth + 36);
}

void TXFListBox::SetFXFName(const QString& name) {
    FXFName = name;
    RefreshImages();
}

void TXFListBox::SetFunitWidth(int w) {
    FunitWidth = w;
    setFixedWidth(w + 36);
    RefreshImages();
}

void TXFListBox::SetFunitHeight(int h) {
    FunitHeight = h;
    // The delegate's size hint changed for every item.
    doItemsLayout();
    RefreshImages();
}

int TXFListBox::GetbmplistCount() const {
    return imageList_ ? static_cast<int>(imageList_->size()) : -1;
}

const QPixmap* TXFListBox::PageThumbnail(int index) const {
    if (!imageList_ || index < 0 || static_cast<std::size_t>(index) >= pageImage_.size())
        return nullptr;
    const int image = pageImage_[static_cast<std::size_t>(index)];
    return image >= 0 ? &(*imageList_)[static_cast<std::size_t>(image)] : nullptr;
}

void TXFListBox::RefreshImages() {
    const std::string path = FXFName.toStdString();
    std::error_code ec;
    if (path.empty() || !std::filesystem::is_regular_file(path, ec)) {
        if (prompts_)
            prompts_->message("Can not find Mig Image!", "Waring", Buttons::Ok, Icon::None);
        return;
    }
    album_.reset();
    album_ = std::make_unique<TXfAlbum>(prompts_, soundPlayer_);
    album_->OpenForViewing(path);

    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    clear();
    imageList_.emplace();
    const int pages = std::max(0, album_->PageCount);
    pageImage_.assign(static_cast<std::size_t>(pages), kNotMade);
    setUpdatesEnabled(false);
    for (int i = 0; i < pages; ++i)
        addItem(QString::number(i));
    setUpdatesEnabled(true);
    QGuiApplication::restoreOverrideCursor();
}

int TXFListBox::LoadSmallImage(int index) {
    if (!album_ || !imageList_)
        return 0;
    // Through the page cache without moving CurrentPage. A failure here would otherwise show
    // a message box from inside painting, again for every repaint: the item stays blank.
    if (!album_->FetchPage(index, &WorkBitmap, /*tellFailures=*/false))
        return -1;
    WorkBitmap.convertTo24();
    ChangeToMicroImage(WorkBitmap, FunitWidth, FunitHeight);
    imageList_->push_back(QPixmap::fromImage(ToQImage(WorkBitmap)));
    return static_cast<int>(imageList_->size()) - 1;
}

void TXFListBox::DrawItem(QPainter& painter, int index, const QRect& rect, bool selected) {
    painter.fillRect(rect, palette().brush(selected ? QPalette::Highlight : QPalette::Base));
    if (index < 0 || index >= count() || static_cast<std::size_t>(index) >= pageImage_.size())
        return;
    int& image = pageImage_[static_cast<std::size_t>(index)];
    if (image == kNotMade) {
        const int made = LoadSmallImage(index);
        image = made >= 0 && made < GetbmplistCount() ? made : kFailed;
    }
    if (const QPixmap* thumb = PageThumbnail(index))
        painter.drawPixmap(rect.left() + 5, rect.top() + 5, *thumb);
}

}  // namespace vs
