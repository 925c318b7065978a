#include "app/TMainForm.h"

#include "controls/ThumbnailCache.h"

#include "app/AppInfo.h"
#include "app/MainLayoutParts.h"
#include "app/PictureView.h"
#include "app/Artwork.h"
#include "app/Dialogs.h"
#include "app/RegistryFile.h"
#include "app/Settings.h"
#include "app/ShortcutRouter.h"
#include "controls/TDirTree.h"
#include "controls/TFoldPanel.h"
#include "controls/TImagesListView.h"
#include "platform/FileSystem.h"
#include "platform/Prompts.h"
#include "platform/SoundPlayer.h"
#include "platform/WaveRecorder.h"
#include "platform/Wallpaper.h"
#include "platform/WebBrowser.h"
#include "platform/qt/DesktopWallpaper.h"
#include "viewer/FileKinds.h"
#include "viewer/Fitting.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QListWidget>
#include <QMenu>
#include <QMovie>
#include <QPushButton>
#include <QSlider>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <filesystem>
#include <unistd.h>

// The banner lives in this static library's resources, which a linker would otherwise drop.
static void InitResources() { Q_INIT_RESOURCE(vantorsee); }

namespace vs {

namespace {

// True when the folder exists or could be made: its nearest existing ancestor is a
// writable folder. Nothing is created.
bool FolderCanExist(const std::filesystem::path& folder) {
    std::error_code ec;
    std::filesystem::path p = folder;
    while (!p.empty() && !std::filesystem::exists(p, ec)) {
        if (p == p.parent_path())
            return false;
        p = p.parent_path();
    }
    if (p == folder)
        return std::filesystem::is_directory(p, ec);
    return std::filesystem::is_directory(p, ec) && ::access(p.c_str(), W_OK | X_OK) == 0;
}

}  // namespace

TMainForm::TMainForm(Prompts& prompts, MainFormEnvironment env, QWidget* parent)
    : QMainWindow(parent), prompts_(prompts), env_(std::move(env)), dispatch_(*this, prompts) {
    setObjectName("MainForm");
    InitResources();
    BuildLayout();
    BuildActions();
    BuildMenus();
    ConnectImageView();
    ConnectTextView();
    ConnectMediaView();
    ConnectFolderTree();
    ConnectDirTree();
    ConnectAlbumStrip();
    ConnectComforts();
    ConnectFileCommands();
    ConnectDragDrop();
    if (env_.wallpaper) {
        wallpaper_ = env_.wallpaper;
    } else {
        desktopWallpaper_ = std::make_unique<DesktopWallpaper>();
        wallpaper_ = desktopWallpaper_.get();
    }
    FormCreate();
}

TMainForm::~TMainForm() { FormDestroy(); }

void TMainForm::BuildActions() {
    auto* zoomGroup = new QActionGroup(this);
    for (const ActionSpec& entry : ActionTable()) {
        auto* a = new QAction(Utf8(entry.caption), this);
        const QString name = Latin1(entry.name);
        a->setObjectName(name);
        a->setProperty("category", Latin1(entry.category));
        if (!entry.shortcut.empty()) {
            a->setShortcut(QKeySequence(Latin1(entry.shortcut), QKeySequence::PortableText));
            // Shown in menus only; ShortcutRouter resolves the keys.
            a->setShortcutContext(Qt::WidgetShortcut);
        }
        if (!entry.hint.empty()) {
            const QString hint = Latin1(entry.hint);
            a->setToolTip(hint);
            a->setStatusTip(hint);
        }
        actions_.insert(name, a);
    }
    for (const char* zoom : {"AutoSize", "FullSize", "Size2_1", "Size4_1", "Size8_1"}) {
        QAction* a = Action(Latin1(zoom));
        a->setCheckable(true);
        zoomGroup->addAction(a);
    }
    Action("AutoSize")->setChecked(true);
    for (const char* speed : {"Speed_05", "Speed_1", "Speed_2"})
        Action(Latin1(speed))->setCheckable(true);

    connect(Action("About"), &QAction::triggered, this, &TMainForm::AboutExecute);
    connect(Action("Exit"), &QAction::triggered, this, &TMainForm::ExitExecute);
    connect(Action("Setting"), &QAction::triggered, this, &TMainForm::SettingExecute);

    BuildTopBarButtons();
    for (const char* name : {"PlayAudio", "RecordAudio", "PrevPage", "NextPage", "XfAutoPlay"})
        ui_.XfToolBar->addAction(Action(Latin1(name)));
    ui_.PlayButton->setDefaultAction(Action("MediaPlay"));
    ui_.PauseButton->setDefaultAction(Action("MediaPause"));
    ui_.StopButton->setDefaultAction(Action("MediaStop"));

    router_ = new ShortcutRouter(this, ActionList());
}

QList<QAction*> TMainForm::ActionList() const {
    QList<QAction*> list;
    for (const ActionSpec& entry : ActionTable())
        list.push_back(Action(Latin1(entry.name)));
    return list;
}

void TMainForm::BuildMenus() {
    for (int m = 0; m < kMenuCount; ++m) {
        const MenuSpec& entry = PopupMenus()[static_cast<std::size_t>(m)];
        auto* menu = new QMenu(this);
        menu->setObjectName(Latin1(entry.name));
        QMenu* target = menu;
        int subLeft = 0;
        for (int i = 0; i < entry.count; ++i) {
            const MenuItemSpec& item = entry.items[static_cast<std::size_t>(i)];
            if (!item.subMenuCaption.empty()) {
                target = menu->addMenu(Latin1(item.subMenuCaption));
                subLeft = item.subMenuItems;
                continue;
            }
            if (item.action == "-")
                target->addSeparator();
            else
                target->addAction(Action(Latin1(item.action)));
            if (subLeft > 0 && --subLeft == 0)
                target = menu;
        }
        menus_[static_cast<std::size_t>(m)] = menu;
    }
    const auto attach = [this](QWidget* w, int menuId) {
        QMenu* menu = PopupMenu(menuId);
        router_->SetMenuFor(w, menu);
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(w, &QWidget::customContextMenuRequested, menu, [w, menu](const QPoint& pos) {
            const auto* area = qobject_cast<QAbstractScrollArea*>(w);
            menu->popup(area ? area->viewport()->mapToGlobal(pos) : w->mapToGlobal(pos));
        });
    };
    attach(ui_.ImagesListView1, kGridMenu);
    attach(ui_.FolderTreeView, kLibraryMenu);
    attach(ui_.DirTree1, kDirectoryMenu);
    attach(ui_.SeeBox, kContentMenu);
    attach(ui_.AviPanel, kContentMenu);
    attach(ui_.SeePanel, kImageMenu);
    attach(ui_.Image1, kImageMenu);
    attach(ui_.RichEdit1, kTextMenu);
}

void TMainForm::SetDialogs(QDialog* settingForm, QDialog* aboutBox, QWidget* comInfoForm) {
    settingForm_ = settingForm;
    if (auto* form = qobject_cast<TSettingForm*>(settingForm))
        form->MainForm = this;
    aboutBox_ = aboutBox;
    comInfoForm_ = comInfoForm;
}

void TMainForm::FormCreate() {
    for (int slot = 1; slot <= 9; ++slot)
        Cursors[static_cast<std::size_t>(slot)] = CursorSlot(slot);
    dispatch_.changesEnabled = true;
    FileClipboard = {};
    dispatch_.shownFilePath.clear();
    PanActive = false;
    registry_ = env_.settingsFile.empty() ? DefaultSettingsFileName() : env_.settingsFile;
    ImageWorkspace = std::make_unique<TImageWorkspace>();
    // Pictures 0 to 6 become icons 0 to 6, 8 and 9 become 7 and 8; picture 7 is the album's.
    static constexpr int kPictureOfIcon[9] = {0, 1, 2, 3, 4, 5, 6, 8, 9};
    for (std::size_t i = 0; i < ui_.ImagesListView1->TypeIcons.size(); ++i)
        ui_.ImagesListView1->TypeIcons[i] = TypePicture(kPictureOfIcon[i]);
    ui_.Image1->setCursor(Cursors[8]);
    TextPointSize = 12;
    banner_ = new QMovie(QStringLiteral(":/vantorsee/banner.gif"), QByteArray(), this);
    ui_.Animate1->setMovie(banner_);
    if (banner_->jumpToFrame(0))
        ui_.Animate1->setFixedWidth(banner_->currentImage().width());
    MediaSyncEnabled = true;
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TMainForm::FormShow() {
    try {
        const std::string programFolder = env_.programFolder.empty()
                                              ? QCoreApplication::applicationDirPath().toStdString()
                                              : env_.programFolder;
        PhotoFolder = WithTrailingSlash(programFolder) + "Photo Folder/";
        if (!FolderCanExist(PhotoFolder) || IsSystemProgramFolder(programFolder)) {
            // An installed program cannot keep its library beside itself.
            const std::string pictures =
                env_.picturesFolder.empty()
                    ? QStandardPaths::writableLocation(QStandardPaths::PicturesLocation).toStdString()
                    : env_.picturesFolder;
            PhotoFolder = WithTrailingSlash(pictures) + "Photo Folder/";
        }
        LoadSettings();
        TitlePrefix = std::string(kTitlePrefix);
        std::error_code ec;
        if (!std::filesystem::exists(PhotoFolder, ec))
            std::filesystem::create_directories(PhotoFolder, ec);  // a failure shows as an empty library
        FillFolderTree();  // selecting the root points the grid at the photo folder
        RestoreLastFolder();
        if (banner_->isValid())
            banner_->start();
    } catch (const std::exception& e) {
        ShowStandardError(e);
    }
}

void TMainForm::LoadSettings() {
    SettingsKey key(*registry_, std::string(kSettingsKeyPath));
    TypeFlags flags = ui_.ImagesListView1->flags();
    const auto apply = [&] {
        for (int i = 0; i < kFileTypeCount; ++i)
            ui_.ImagesListView1->SetFlag(i, flags[static_cast<std::size_t>(i)]);
    };
    try {
        vs::LoadSettings(key, PhotoFolder, flags);
    } catch (...) {
        apply();
        throw;
    }
    apply();
    MoveDeletedToTrash = LoadTrashSetting(key);
    SetThumbnailCacheEnabled(ReadOwnBool(key, kThumbnailCacheValue, true));
    slideShowSeconds_ = LoadSlideShowSeconds(key);
    const FoldPanelState folds = LoadFoldPanelState(key);
    ui_.FoldPanel1->SetFoldStatus(folds.foldPanel1 ? fsCollapsed : fsExpanded);
    ui_.FoldPanel2->SetFoldStatus(folds.foldPanel2 ? fsCollapsed : fsExpanded);
}

void TMainForm::SaveSettings() {
    SettingsKey key(*registry_, std::string(kSettingsKeyPath));
    vs::SaveSettings(key, PhotoFolder, ui_.ImagesListView1->flags());
    SaveTrashSetting(key, MoveDeletedToTrash);
    key.WriteBool(kThumbnailCacheValue, ThumbnailCacheEnabled());
    SaveFoldPanelState(key, {ui_.FoldPanel1->isCollapsed(), ui_.FoldPanel2->isCollapsed()});
    SaveSlideShowSeconds(key, slideShowSeconds_);
    StoreWindowMemory(key);
}

void TMainForm::SetThumbnailCacheEnabled(bool on) {
    if (on == ThumbnailCacheEnabled())
        return;
    thumbnailCache_.reset();
    TImagesListView::ThumbnailLoader loader;
    if (on) {
        // Shared with the grid's workers, which may outlive this window's members.
        auto cache = std::make_shared<const ThumbnailCache>();
        thumbnailCache_ = cache;
        loader = [cache](const std::string& path, int kind, Bitmap& thumb, std::string& sizeText) {
            return LoadMicroImageThroughCache(*cache, path, kind, thumb, sizeText);
        };
    }
    ui_.ImagesListView1->SetThumbnailLoader(std::move(loader));
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (!closed_) {
        closed_ = true;
        FormClose();
    }
    event->accept();
}

void TMainForm::FormClose() {
    StopSlideShow();
    try {
        CloseAlbumSound();
        StopMedia();
        if (registry_)
            SaveSettings();
        registry_.reset();
        ImageWorkspace.reset();
    } catch (const std::exception& e) {
        ShowStandardError(e);
    }
}

void TMainForm::FormDestroy() {
    StopSlideShow();
    ReleaseMediaGraph();
    webBrowser_.reset();
    FileClipboard = {};
}

void TMainForm::ShowStandardError(const std::exception& e) {
    prompts_.message(e.what(), std::string(kApplicationTitle), Buttons::Ok, Icon::None);
}

void TMainForm::ImagesListView1Change(const GridItem& item) {
    if (!dispatch_.changesEnabled || !item || !item->isSelected())
        return;
    int first = -1;
    for (const QItemSelectionRange& range : ui_.ImagesListView1->selectionModel()->selection())
        if (first < 0 || range.top() < first)
            first = range.top();
    if (ui_.ImagesListView1->row(item) != first)
        return;
    const QString shown = (ui_.ImagesListView1->ItemsPath() + item->text()).toLower();
    dispatch_.Show(shown.toStdString(), ui_.ImagesListView1->FilePath(item).toStdString(),
                   TImagesListView::ItemSizeText(item).toStdString());
}

void TMainForm::ImagesListView1Resize() {
    if (ui_.ImagesListView1->height() < kMinimumGridHeight)
        ui_.ImagesListView1->resize(ui_.ImagesListView1->width(), kMinimumGridHeight);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (ComfortsEvent(watched, event))
        return true;
    if (watched == ui_.Image1) {
        switch (event->type()) {
        case QEvent::MouseButtonPress: {
            const auto* e = static_cast<QMouseEvent*>(event);
            Image1MouseDown(e->button(), e->position().toPoint());
            break;
        }
        case QEvent::MouseMove:
            Image1MouseMove(static_cast<QMouseEvent*>(event)->position().toPoint());
            break;
        case QEvent::MouseButtonRelease:
            Image1MouseUp();
            break;
        default:
            break;
        }
    } else if (watched == ui_.FolderTreeView->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto* e = static_cast<QMouseEvent*>(event);
        FolderTreeViewMouseDown(e->position().toPoint());
        // A right-click opens the menu for the node under the mouse but leaves the selection.
        if (e->button() == Qt::RightButton)
            return true;
    }
    if (event->type() == QEvent::Resize) {
        if (watched == ui_.ImagesListView1)
            ImagesListView1Resize();
        else if (watched == ui_.SeeBox)
            LayoutSeeBox();
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::LayoutSeeBox() {
    for (QWidget* client : {static_cast<QWidget*>(ui_.RichEdit1), static_cast<QWidget*>(ui_.HtmlPanel),
                            static_cast<QWidget*>(ui_.AviPanel)})
        client->setGeometry(ui_.SeeBox->rect());
    if (Zooms(dispatch_.contentKind) && ui_.SeePanel->isVisible())
        UpdateImageView(true);
    else if (IsMedia(dispatch_.contentKind))
        RefreshImageView();
}

void TMainForm::AboutExecute() {
    if (aboutBox_) {
        CentreOnScreen(aboutBox_);
        aboutBox_->exec();
    }
}

void TMainForm::ExitExecute() { close(); }

void TMainForm::SettingExecute() {
    auto* form = qobject_cast<TSettingForm*>(settingForm_);
    if (!form)
        return;
    form->Fill(PhotoFolder, ui_.ImagesListView1->flags());
    form->TrashCheckBox->setChecked(MoveDeletedToTrash);
    CentreOnScreen(form);
    form->exec();
}

std::string TMainForm::BrowseForFolder() {
    // The picker opens where the library is; a desktop folder need not exist.
    std::string start = PhotoFolder;
    std::error_code ec;
    if (start.empty() || !std::filesystem::is_directory(start, ec))
        start = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation).toStdString();
    if (start.empty() || !std::filesystem::is_directory(start, ec))
        start = QStandardPaths::writableLocation(QStandardPaths::HomeLocation).toStdString();
    const std::optional<std::string> picked = prompts_.pickFolder("Select a folder", start);
    if (!picked || picked->empty())
        return {};
    return WithTrailingSlash(*picked);
}

// --- content views ---------------------------------------------------------------------

void TMainForm::ShowNewImage(const Bitmap& /*picture*/) {
    RefreshImageView();
    if (dispatch_.Animating())
        animationTimer_->start(dispatch_.FrameDelay());
    else
        animationTimer_->stop();
}

Rgb TMainForm::ImageBackground() const {
    const QColor c = ui_.SeePanel->palette().color(QPalette::Window);
    return {static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()), static_cast<std::uint8_t>(c.blue())};
}

void TMainForm::SetImageFrameVisible(bool visible) { ui_.SeePanel->setVisible(visible); }

bool TMainForm::MediaPanelVisible() const { return ui_.AviPanel->isVisibleTo(ui_.SeeBox); }

void TMainForm::SetMediaPanelVisible(bool visible) {
    ui_.AviPanel->setVisible(visible);
    ui_.AviCtrlPanel->setVisible(visible);
}

void TMainForm::StopMedia() { Action("MediaStop")->trigger(); }

void TMainForm::SetWebPanelVisible(bool visible) { ui_.HtmlPanel->setVisible(visible); }

void TMainForm::SetTextViewVisible(bool visible) { ui_.RichEdit1->setVisible(visible); }

void TMainForm::SetStatusText(const std::string& text) {
    ui_.StatusPanel0->setText(QString::fromStdString(text));
    ui_.StatusPanel0->setAccessibleDescription(ui_.StatusPanel0->text());
}

}  // namespace vs
