// What people expect of a picture viewer beyond the original window: it remembers its size,
// place, splitters, zoom and folder; the content area goes full screen, with a slide show;
// keys browse the grid from the picture; Ctrl+wheel zooms; panel 1 and grid tool tips give
// file details.

#include "app/RegistryFile.h"
#include "app/Settings.h"
#include "app/ShortcutRouter.h"
#include "app/PictureView.h"
#include "app/TMainForm.h"
#include "controls/TDirTree.h"
#include "controls/TFoldPanel.h"
#include "controls/TImagesListView.h"
#include "formats/XfAlbum.h"
#include "platform/qt/QtText.h"
#include "viewer/FileDetails.h"
#include "viewer/FileKinds.h"

#include <QAction>
#include <QFrame>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QTreeWidget>
#include <QWheelEvent>

#include <algorithm>
#include <filesystem>
#include <functional>

namespace vs {

namespace {

// The zoom modes from the smallest step to the largest; Auto Size, which fits the area,
// stands below 1/8 as the mode one zooms out to.
constexpr ZoomMode kZoomSteps[] = {ZoomMode::AutoSize, ZoomMode::EighthSize, ZoomMode::QuarterSize, ZoomMode::HalfSize,
                                   ZoomMode::FullSize};
constexpr const char* kZoomActions[] = {"AutoSize", "FullSize", "Size2_1", "Size4_1", "Size8_1"};

constexpr int kCursorHideMs = 2000;
constexpr int kSlideShowButtonMargin = 8;
// Pixels a picture moves for one wheel notch (120 eighths of a degree).
constexpr int kWheelNotchPixels = 60;

// True when a strip along the window's top, where its title bar is, lies on some screen.
bool ReachableOnAScreen(const QRect& geometry) {
    const QRect grip(geometry.topLeft(), QSize(std::min(geometry.width(), 100), 30));
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().intersects(grip))
            return true;
    return false;
}

QList<int> ToQList(const std::vector<int>& v) {
    return QList<int>(v.begin(), v.end());
}
std::vector<int> ToVector(const QList<int>& l) {
    return std::vector<int>(l.begin(), l.end());
}

// Hands the application's events to a function while installed as its event filter.
class EventHook : public QObject {
public:
    EventHook(QObject* parent, std::function<bool(QObject*, QEvent*)> hook)
        : QObject(parent), hook_(std::move(hook)) {}
    bool eventFilter(QObject* watched, QEvent* event) override { return hook_(watched, event); }

private:
    std::function<bool(QObject*, QEvent*)> hook_;
};

bool IsModifierKey(int key) {
    return key == Qt::Key_Control || key == Qt::Key_Shift || key == Qt::Key_Alt || key == Qt::Key_Meta ||
           key == Qt::Key_AltGr || key == Qt::Key_unknown;
}

}  // namespace

void TMainForm::ConnectComforts() {
    ui_.SeeBox->setFocusPolicy(Qt::ClickFocus);
    ui_.SeePanel->installEventFilter(this);
    ui_.ImagesListView1->viewport()->installEventFilter(this);
    cursorTimer_ = new QTimer(this);
    cursorTimer_->setObjectName("CursorTimer");
    cursorTimer_->setSingleShot(true);
    cursorTimer_->setInterval(kCursorHideMs);
    connect(cursorTimer_, &QTimer::timeout, this, [this] { SetFullScreenCursorShown(false); });
    slideShowTimer_ = new QTimer(this);
    slideShowTimer_->setObjectName("SlideShowTimer");
    connect(slideShowTimer_, &QTimer::timeout, this, [this] { SlideShowTick(); });
    slideShowStopper_ = new EventHook(this, [this](QObject* watched, QEvent* event) {
        return SlideShowInput(watched, event);
    });
    connect(ui_.SlideShowButton, &QToolButton::clicked, this, [this] { StartSlideShow(); });
    // Runs after the window's own change handler, so the dispatch has shown the file.
    connect(ui_.ImagesListView1, &TImagesListView::Change, this, [this] { ShowFileDetails(); });
    router_->SetKeysFor(ui_.SeeBox, [this](QKeyCombination key) { return BrowseKey(key); });
    router_->SetKeysFor(this, [this](QKeyCombination key) {
        if (key == QKeyCombination(Qt::ControlModifier, Qt::Key_F11)) {
            StartSlideShow();
            return true;
        }
        if (key.keyboardModifiers() != Qt::NoModifier)
            return false;
        if (key.key() == Qt::Key_F11) {
            SetContentFullScreen(!fullScreen_.active);
            return true;
        }
        if (key.key() == Qt::Key_Escape && fullScreen_.active) {
            SetContentFullScreen(false);
            return true;
        }
        return false;
    });
}

// --- a window that remembers itself ----------------------------------------------------

void TMainForm::RestoreWindowPlace() {
    WindowMemory memory;
    try {
        const SettingsKey key(*registry_, std::string(kSettingsKeyPath));
        memory = LoadWindowMemory(key);
    } catch (const std::exception&) {
        return;  // an unreadable file keeps the first-start window
    }
    if (memory.geometry.size() == 4 && memory.geometry[2] > 0 && memory.geometry[3] > 0) {
        QRect place(memory.geometry[0], memory.geometry[1], memory.geometry[2], memory.geometry[3]);
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            place.setSize(place.size().boundedTo(screen->availableGeometry().size()));
        if (ReachableOnAScreen(place)) {
            setGeometry(place);
        } else {
            resize(place.size());
            if (const QScreen* screen = QGuiApplication::primaryScreen()) {
                place.moveCenter(screen->availableGeometry().center());
                move(place.topLeft());
            }
        }
    }
    if (memory.maximised)
        setWindowState(windowState() | Qt::WindowMaximized);
    if (memory.splitter1.size() == 2)
        ui_.Splitter1->setSizes(ToQList(memory.splitter1));
    if (memory.splitter3.size() == 2)
        ui_.RightSplitter->setSizes(ToQList(memory.splitter3));
    for (const char* name : kZoomActions)
        if (memory.zoom == name)
            Action(Latin1(name))->trigger();
    lastFolder_ = memory.lastFolder;
}

void TMainForm::RestoreLastFolder() {
    const std::string folder = std::exchange(lastFolder_, {});
    std::error_code ec;
    if (folder.empty() || !std::filesystem::is_directory(folder, ec))
        return;
    // A library folder is shown through its node, any other through the directory tree.
    QList<QTreeWidgetItem*> nodes;
    if (QTreeWidgetItem* root = ui_.FolderTreeView->topLevelItem(0))
        nodes.push_back(root);
    while (!nodes.empty()) {
        QTreeWidgetItem* node = nodes.takeFirst();
        if (NodeFolderPath(node) == folder) {
            ui_.FolderTreeView->setCurrentItem(node);
            return;
        }
        for (int i = 0; i < node->childCount(); ++i) nodes.push_back(node->child(i));
    }
    ui_.DirTree1->SetDirectory(folder);
}

void TMainForm::StoreWindowMemory(SettingsKey& key) const {
    WindowMemory memory;
    const bool full = fullScreen_.active;
    const QRect normal = full ? fullScreen_.normalGeometry : (isMaximized() ? normalGeometry() : geometry());
    memory.geometry = {normal.x(), normal.y(), normal.width(), normal.height()};
    memory.maximised = full ? fullScreen_.wasMaximised : isMaximized();
    memory.splitter1 = ToVector(full ? fullScreen_.splitter1 : ui_.Splitter1->sizes());
    memory.splitter3 = ToVector(full ? fullScreen_.splitter3 : ui_.RightSplitter->sizes());
    memory.zoom = kZoomActions[static_cast<int>(zoom_)];
    memory.lastFolder = ui_.ImagesListView1->Path().toStdString();
    SaveWindowMemory(key, memory);
}

// --- full screen -----------------------------------------------------------------------

void TMainForm::SetContentFullScreen(bool on) {
    if (on == fullScreen_.active)
        return;
    FullScreenState& state = fullScreen_;
    if (on) {
        state.wasMaximised = isMaximized();
        state.normalGeometry = state.wasMaximised ? normalGeometry() : geometry();
        state.splitter1 = ui_.Splitter1->sizes();
        state.splitter3 = ui_.RightSplitter->sizes();
        state.hidden.clear();
        for (QWidget* w : {static_cast<QWidget*>(ui_.TopPanel), static_cast<QWidget*>(ui_.FoldPanel1),
                           static_cast<QWidget*>(ui_.FoldPanel2), static_cast<QWidget*>(ui_.StatusBar1)})
            if (w->isVisibleTo(this)) {
                w->hide();
                state.hidden.push_back(w);
            }
        state.boxFilled = ui_.SeeBox->autoFillBackground();
        state.boxPalette = ui_.SeeBox->palette();
        QPalette black = state.boxPalette;
        black.setColor(QPalette::Window, Qt::black);
        ui_.SeeBox->setPalette(black);
        ui_.SeeBox->setAutoFillBackground(true);
        ui_.SeeBox->setMouseTracking(true);
        ui_.SeePanel->setMouseTracking(true);
        ui_.Image1->setMouseTracking(true);
        state.active = true;
        showFullScreen();
        ui_.SeeBox->setFocus();
        ShowCursorForAWhile();
    } else {
        StopSlideShow();
        state.active = false;
        cursorTimer_->stop();
        SetFullScreenCursorShown(true);
        ui_.SeeBox->setMouseTracking(false);
        ui_.SeePanel->setMouseTracking(false);
        ui_.Image1->setMouseTracking(false);
        ui_.SeeBox->setPalette(state.boxPalette);
        ui_.SeeBox->setAutoFillBackground(state.boxFilled);
        for (QWidget* w : state.hidden) w->show();
        state.hidden.clear();
        if (state.wasMaximised) {
            showMaximized();
        } else {
            showNormal();
            setGeometry(state.normalGeometry);
        }
        ui_.Splitter1->setSizes(state.splitter1);
        ui_.RightSplitter->setSizes(state.splitter3);
    }
    // The area's resize refits the picture by the current mode; this covers a platform that
    // reports the new size late.
    RefreshImageView();
}

void TMainForm::ShowCursorForAWhile() {
    if (!fullScreen_.active)
        return;
    SetFullScreenCursorShown(true);
    cursorTimer_->start();
}

// The slide show button, only in full screen, comes and goes with the cursor, so a still
// picture is left alone.
void TMainForm::SetFullScreenCursorShown(bool shown) {
    if (shown) {
        ui_.SeeBox->unsetCursor();
        ui_.Image1->setCursor(Cursors[8]);
    } else {
        ui_.SeeBox->setCursor(Qt::BlankCursor);
        ui_.Image1->setCursor(Qt::BlankCursor);
    }
    ui_.SlideShowButton->setVisible(shown && fullScreen_.active);
    ui_.SlideShowButton->raise();
}

// --- slide show ------------------------------------------------------------------------

bool TMainForm::SlideShowRunning() const { return slideShowTimer_->isActive(); }

int TMainForm::NextGridPicture(int row) const {
    const TImagesListView* grid = ui_.ImagesListView1;
    const int count = grid->count();
    for (int step = 1; step <= count; ++step) {
        const int next = (std::max(row, -1) + step) % count;
        if (IsPicture(ContentKindFromPath(grid->FilePath(grid->item(next)).toStdString())))
            return next;
    }
    return -1;
}

void TMainForm::StartSlideShow() {
    if (SlideShowRunning())
        return;
    // From the picture shown, else from the grid's next picture; a grid without one has
    // nothing to show.
    const int current = ui_.ImagesListView1->currentRow();
    const int first = NextGridPicture(current - 1);
    if (first < 0)
        return;
    SetContentFullScreen(true);
    SelectGridRow(first);
    slideShowTimer_->start(slideShowSeconds_ * 1000);
    qApp->installEventFilter(slideShowStopper_);
}

void TMainForm::StopSlideShow() {
    if (!slideShowTimer_ || !SlideShowRunning())
        return;
    slideShowTimer_->stop();
    qApp->removeEventFilter(slideShowStopper_);
}

void TMainForm::SlideShowTick() {
    const int next = NextGridPicture(ui_.ImagesListView1->currentRow());
    if (next < 0)
        StopSlideShow();  // the folder changed under the show and holds no picture now
    else
        SelectGridRow(next);
}

// Runs before the shortcuts and the widgets: the key or click that stops the show does only
// that, except that the keys that leave full screen also leave it.
bool TMainForm::SlideShowInput(QObject* watched, QEvent* event) {
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this)
        return false;
    switch (event->type()) {
        case QEvent::ShortcutOverride:
            // Every key then arrives as a key press, so no shortcut acts on it.
            event->accept();
            return true;
        case QEvent::KeyPress: {
            const QKeyCombination key = static_cast<QKeyEvent*>(event)->keyCombination();
            if (IsModifierKey(key.key()))
                return false;  // the start of a combination, not yet a key
            StopSlideShow();
            if (key.keyboardModifiers() == Qt::NoModifier && (key.key() == Qt::Key_Escape || key.key() == Qt::Key_F11))
                SetContentFullScreen(false);
            return true;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            StopSlideShow();
            return true;
        default:
            return false;
    }
}

// --- browsing from the picture ---------------------------------------------------------

bool TMainForm::BrowseKey(QKeyCombination key) {
    const Qt::KeyboardModifiers mods = key.keyboardModifiers() & ~Qt::KeypadModifier;
    if (mods != Qt::NoModifier)
        return false;
    int step = 0;  // +1 next, -1 previous, +2 last, -2 first
    switch (key.key()) {
        case Qt::Key_Right:
        case Qt::Key_Down:
        case Qt::Key_Space:
        case Qt::Key_PageDown:
            step = 1;
            break;
        case Qt::Key_Left:
        case Qt::Key_Up:
        case Qt::Key_Backspace:
        case Qt::Key_PageUp:
            step = -1;
            break;
        case Qt::Key_Home:
            step = -2;
            break;
        case Qt::Key_End:
            step = 2;
            break;
        default:
            return false;
    }
    // An album turns its pages with Left and Right before the grid moves on.
    if (TXfAlbum* album = CurrentAlbum()) {
        if (key.key() == Qt::Key_Right && album->CurrentPage < album->PageCount - 1) {
            NextPageExecute();
            return true;
        }
        if (key.key() == Qt::Key_Left && album->CurrentPage > 0) {
            PrevPageExecute();
            return true;
        }
    }
    TImagesListView* grid = ui_.ImagesListView1;
    const int count = grid->count();
    if (count == 0)
        return true;
    const int current = grid->currentRow();
    int target = 0;
    if (step == 2)
        target = count - 1;
    else if (step == 1)
        target = current < 0 ? 0 : std::min(current + 1, count - 1);
    else if (step == -1)
        target = current < 0 ? 0 : std::max(current - 1, 0);
    SelectGridRow(target);
    return true;
}

void TMainForm::SelectGridRow(int row) {
    TImagesListView* grid = ui_.ImagesListView1;
    const GridItem item = grid->item(row);
    if (row == grid->currentRow() && item->isSelected())
        return;
    // As a click does: the grid's change notification shows the file.
    grid->setCurrentItem(item, QItemSelectionModel::ClearAndSelect);
    grid->scrollToItem(item);
}

// --- wheel zoom and scrolling ----------------------------------------------------------

void TMainForm::StepZoom(int steps) {
    const auto at = std::find(std::begin(kZoomSteps), std::end(kZoomSteps), zoom_) - std::begin(kZoomSteps);
    const auto last = static_cast<long>(std::size(kZoomSteps)) - 1;
    const long to = std::clamp<long>(at + steps, 0, last);
    if (to == at)
        return;
    // Through the action, so its check mark moves as for a menu choice.
    Action(Latin1(kZoomActions[static_cast<int>(kZoomSteps[to])]))->trigger();
}

bool TMainForm::ContentWheel(const QWheelEvent& event) {
    if (!Zooms(dispatch_.contentKind) || !ui_.SeePanel->isVisible())
        return false;
    const QPoint delta = event.angleDelta();
    if (event.modifiers() & Qt::ControlModifier) {
        wheelRest_ += delta.y();
        const int steps = wheelRest_ / 120;
        wheelRest_ -= steps * 120;
        if (steps != 0)
            StepZoom(steps);
        return true;
    }
    if (zoom_ == ZoomMode::AutoSize)
        return false;  // a fitted picture has nothing to scroll
    int dx = delta.x();
    int dy = delta.y();
    if ((event.modifiers() & Qt::ShiftModifier) && dx == 0)
        std::swap(dx, dy);
    // As dragging does: the frame moves with the wheel and may leave the area.
    ui_.SeePanel->move(ui_.SeePanel->x() + dx * kWheelNotchPixels / 120,
                       ui_.SeePanel->y() + dy * kWheelNotchPixels / 120);
    return true;
}

// --- file details ----------------------------------------------------------------------

QString TMainForm::ItemDetailsText(const GridItem& item) const {
    if (!item)
        return {};
    TImagesListView* grid = ui_.ImagesListView1;
    FileDetails details = ReadFileDetails(grid->FilePath(item).toStdString());
    details.position = grid->row(item) + 1;
    details.count = grid->count();
    return QString::fromStdString(FileDetailsText(details));
}

void TMainForm::ShowFileDetails() {
    TImagesListView* grid = ui_.ImagesListView1;
    GridItem shown;
    if (!dispatch_.shownFilePath.empty())
        for (int i = 0; i < grid->count() && !shown; ++i)
            if ((grid->Path() + grid->item(i)->text()).toLower().toStdString() == dispatch_.shownFilePath)
                shown = grid->item(i);
    ui_.StatusPanel1->setText(ItemDetailsText(shown));
    ui_.StatusPanel1->setAccessibleDescription(ui_.StatusPanel1->text());
}

// --- events ----------------------------------------------------------------------------

bool TMainForm::ComfortsEvent(QObject* watched, QEvent* event) {
    const bool content = watched == ui_.Image1 || watched == ui_.SeePanel || watched == ui_.SeeBox;
    if (content) {
        switch (event->type()) {
            case QEvent::Wheel:
                return ContentWheel(*static_cast<QWheelEvent*>(event));
            case QEvent::MouseButtonDblClick:
                if (watched == ui_.SeeBox || !Zooms(dispatch_.contentKind))
                    return false;
                Image1MouseUp();  // the press before it began a drag
                SetContentFullScreen(!fullScreen_.active);
                return true;
            case QEvent::MouseMove:
                ShowCursorForAWhile();
                return false;
            case QEvent::Resize:
                if (watched == ui_.SeeBox)
                    ui_.SlideShowButton->move(
                        ui_.SeeBox->width() - ui_.SlideShowButton->sizeHint().width() - kSlideShowButtonMargin,
                        kSlideShowButtonMargin);
                return false;
            default:
                return false;
        }
    }
    if (watched == ui_.ImagesListView1->viewport() && event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString text = ItemDetailsText(ui_.ImagesListView1->itemAt(help->pos()));
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, ui_.ImagesListView1->viewport());
        return true;
    }
    return false;
}

}  // namespace vs
