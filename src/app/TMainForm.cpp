#include "app/TMainForm.h"

#include "app/AppInfo.h"
#include "app/Artwork.h"
#include "app/Dialogs.h"
#include "app/RegistryFile.h"
#include "app/Settings.h"
#include "app/ShortcutRouter.h"
#include "controls/TImagesListView.h"
#include "platform/Prompts.h"
#include "platform/Wallpaper.h"
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

constexpr int kMinimumGridHeight = 80;

void Name(QWidget* w, const char* name) {
    w->setObjectName(QString::fromLatin1(name));
    w->setAccessibleName(QString::fromLatin1(name));
}

QFont ProgramFont() {
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(13);
    return f;
}

std::string WithTrailingSlash(std::string path) {
    if (path.empty() || path.back() != '/')
        path += '/';
    return path;
}

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
    ConnectFolderTree();
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

void TMainForm::BuildLayout() {
    resize(572, 514);
    setFont(ProgramFont());
    setWindowIcon(ProgramIcon());

    auto* central = new QWidget(this);
    central->setObjectName("Central");
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    setCentralWidget(central);

    // Top bar: the flat command buttons and the banner at the right.
    auto* topBar = new QFrame(central);
    Name(topBar, "TopPanel");
    topBar->setFixedHeight(46);
    topBar->setAutoFillBackground(true);
    QPalette topPal = topBar->palette();
    topPal.setColor(QPalette::Window, QColor(233, 233, 233));
    topBar->setPalette(topPal);
    auto* topRow = new QHBoxLayout(topBar);
    topRow->setContentsMargins(0, 0, 0, 0);
    topRow->setSpacing(0);
    auto* toolBar = new QToolBar(topBar);
    Name(toolBar, "ToolBar1");
    toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    toolBar->setMovable(false);
    topRow->addWidget(toolBar, 1);
    Animate1 = new QLabel(topBar);
    Name(Animate1, "Animate1");
    Animate1->setFixedWidth(100);
    topRow->addWidget(Animate1);
    column->addWidget(topBar);
    topBar->setProperty("toolBar", QVariant::fromValue<QObject*>(toolBar));

    auto* mainSplitter = new QSplitter(Qt::Horizontal, central);
    Name(mainSplitter, "Splitter1");
    mainSplitter->setHandleWidth(3);
    mainSplitter->setChildrenCollapsible(false);
    column->addWidget(mainSplitter, 1);

    // Left fold panel: library tree above the directory tree.
    auto* leftPanel = new QFrame(mainSplitter);
    Name(leftPanel, "LeftFoldPanel");
    auto* leftColumn = new QVBoxLayout(leftPanel);
    leftColumn->setContentsMargins(0, 0, 0, 0);
    auto* leftSplitter = new QSplitter(Qt::Vertical, leftPanel);
    Name(leftSplitter, "Splitter2");
    leftSplitter->setHandleWidth(3);
    leftColumn->addWidget(leftSplitter);
    FolderTreeView = new QTreeWidget(leftSplitter);
    Name(FolderTreeView, "FolderTreeView");
    FolderTreeView->setHeaderHidden(true);
    DirTree1 = new QTreeWidget(leftSplitter);
    Name(DirTree1, "DirTree1");
    DirTree1->setHeaderHidden(true);
    leftSplitter->setSizes({161, 300});
    mainSplitter->addWidget(leftPanel);

    // Right area: the grid panel, a splitter, then the album bar, page strip and content area.
    RightSplitter = new QSplitter(Qt::Vertical, mainSplitter);
    Name(RightSplitter, "Splitter3");
    RightSplitter->setHandleWidth(3);
    RightSplitter->setChildrenCollapsible(false);
    TopFoldPanel = new QFrame(RightSplitter);
    Name(TopFoldPanel, "TopFoldPanel");
    auto* gridBox = new QVBoxLayout(TopFoldPanel);
    gridBox->setContentsMargins(0, 0, 0, 0);
    ImagesListView1 = new TImagesListView(TopFoldPanel);
    Name(ImagesListView1, "ImagesListView1");
    ImagesListView1->SetPrompts(&prompts_);
    ImagesListView1->setMinimumHeight(kMinimumGridHeight);
    ImagesListView1->installEventFilter(this);
    gridBox->addWidget(ImagesListView1);

    auto* lower = new QWidget(RightSplitter);
    lower->setObjectName("LowerArea");
    auto* lowerRow = new QHBoxLayout(lower);
    lowerRow->setContentsMargins(0, 0, 0, 0);
    lowerRow->setSpacing(0);
    XfToolBar = new QToolBar(lower);
    Name(XfToolBar, "XfToolBar");
    XfToolBar->setOrientation(Qt::Vertical);
    XfToolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    XfToolBar->hide();
    lowerRow->addWidget(XfToolBar);
    XFListBox1 = new QListWidget(lower);
    Name(XFListBox1, "XFListBox1");
    XFListBox1->setFixedWidth(136);
    XFListBox1->hide();
    lowerRow->addWidget(XFListBox1);
    SeeBox = new QWidget(lower);
    Name(SeeBox, "SeeBox");
    SeeBox->installEventFilter(this);
    lowerRow->addWidget(SeeBox, 1);
    RightSplitter->setSizes({190, 250});
    mainSplitter->addWidget(RightSplitter);
    mainSplitter->setSizes({177, 392});
    mainSplitter->setStretchFactor(1, 1);
    RightSplitter->setStretchFactor(1, 1);

    // The content area's views, all hidden at start.
    SeePanel = new QFrame(SeeBox);
    Name(SeePanel, "SeePanel");
    SeePanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    SeePanel->setLineWidth(2);
    SeePanel->setAutoFillBackground(true);
    QPalette black = SeePanel->palette();
    black.setColor(QPalette::Window, Qt::black);
    SeePanel->setPalette(black);
    SeePanel->hide();
    Image1 = new QLabel(SeePanel);
    Name(Image1, "Image1");
    Image1->move(2, 2);

    RichEdit1 = new QTextEdit(SeeBox);
    Name(RichEdit1, "RichEdit1");
    RichEdit1->setReadOnly(true);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setFont(ProgramFont());
    RichEdit1->hide();

    HtmlPanel = new QFrame(SeeBox);
    Name(HtmlPanel, "HtmlPanel");
    HtmlPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    HtmlPanel->setAutoFillBackground(true);
    QPalette white = HtmlPanel->palette();
    white.setColor(QPalette::Window, Qt::white);
    HtmlPanel->setPalette(white);
    auto* htmlBox = new QVBoxLayout(HtmlPanel);
    htmlBox->setContentsMargins(2, 2, 2, 2);
    auto* browserHost = new QWidget(HtmlPanel);
    Name(browserHost, "CppWebBrowser1");
    htmlBox->addWidget(browserHost);
    HtmlPanel->hide();

    AviPanel = new QFrame(SeeBox);
    Name(AviPanel, "AviPanel");
    AviPanel->setAutoFillBackground(true);
    AviPanel->setPalette(black);
    auto* aviBox = new QVBoxLayout(AviPanel);
    aviBox->setContentsMargins(0, 0, 0, 0);
    aviBox->setSpacing(0);
    PlayPanel = new QWidget(AviPanel);
    Name(PlayPanel, "PlayPanel");
    PlayPanel->setAutoFillBackground(true);
    PlayPanel->setPalette(black);
    aviBox->addWidget(PlayPanel, 1);
    AviCtrlPanel = new QFrame(AviPanel);
    Name(AviCtrlPanel, "AviCtrlPanel");
    AviCtrlPanel->setFixedHeight(22);
    AviCtrlPanel->setAutoFillBackground(true);
    auto* ctrlRow = new QHBoxLayout(AviCtrlPanel);
    ctrlRow->setContentsMargins(0, 0, 0, 0);
    ctrlRow->setSpacing(0);
    for (const char* name : {"PlayButton", "PauseButton", "StopButton"}) {
        auto* b = new QToolButton(AviCtrlPanel);
        Name(b, name);
        ctrlRow->addWidget(b);
    }
    TrackBar1 = new QSlider(Qt::Horizontal, AviCtrlPanel);
    Name(TrackBar1, "TrackBar1");
    TrackBar1->setTickPosition(QSlider::NoTicks);
    ctrlRow->addWidget(TrackBar1, 1);
    aviBox->addWidget(AviCtrlPanel);
    AviPanel->hide();

    // Status bar: panel 0 of 200 and panel 1 of 354 pixels.
    QStatusBar* status = statusBar();
    Name(status, "StatusBar1");
    status->setFixedHeight(20);
    StatusPanel0 = new QLabel(status);
    Name(StatusPanel0, "StatusPanel0");
    StatusPanel0->setFixedWidth(200);
    StatusPanel1 = new QLabel(status);
    Name(StatusPanel1, "StatusPanel1");
    StatusPanel1->setFixedWidth(354);
    status->addWidget(StatusPanel0);
    status->addWidget(StatusPanel1);

    XfTimer = new QTimer(this);
    XfTimer->setObjectName("XfTimer");
    XfTimer->setInterval(100);
    Timer3 = new QTimer(this);
    Timer3->setObjectName("Timer3");
    Timer3->setInterval(200);

    connect(ImagesListView1, &TImagesListView::Change, this, &TMainForm::ImagesListView1Change);
    // The picture may be shown before its thumbnail, and with it the size text, is made.
    connect(ImagesListView1, &TImagesListView::SizeTextReady, this, [this](QListWidgetItem* item) {
        const QString path = (ImagesListView1->Path() + item->text()).toLower();
        if (IsPictureKind(dispatch_.contentKind) && path.toStdString() == dispatch_.shownFilePath)
            SetStatusText(TImagesListView::ItemSizeText(item).toStdString());
    });
}

void TMainForm::BuildActions() {
    auto* zoomGroup = new QActionGroup(this);
    for (const ActionSpec& entry : ActionTable()) {
        auto* a = new QAction(QString::fromUtf8(entry.caption.data(), static_cast<qsizetype>(entry.caption.size())), this);
        const QString name = QString::fromLatin1(entry.name.data(), static_cast<qsizetype>(entry.name.size()));
        a->setObjectName(name);
        a->setProperty("category", QString::fromLatin1(entry.category.data(), static_cast<qsizetype>(entry.category.size())));
        if (!entry.shortcut.empty()) {
            a->setShortcut(QKeySequence(QString::fromLatin1(entry.shortcut.data(), static_cast<qsizetype>(entry.shortcut.size())),
                                        QKeySequence::PortableText));
            // Shown in menus only; ShortcutRouter resolves the keys.
            a->setShortcutContext(Qt::WidgetShortcut);
        }
        if (!entry.hint.empty()) {
            const QString hint = QString::fromLatin1(entry.hint.data(), static_cast<qsizetype>(entry.hint.size()));
            a->setToolTip(hint);
            a->setStatusTip(hint);
        }
        actions_.insert(name, a);
    }
    for (const char* zoom : {"AutoSize", "FullSize", "Size2_1", "Size4_1", "Size8_1"}) {
        QAction* a = Action(QString::fromLatin1(zoom));
        a->setCheckable(true);
        zoomGroup->addAction(a);
    }
    Action("AutoSize")->setChecked(true);
    for (const char* speed : {"Speed_05", "Speed_1", "Speed_2"})
        Action(QString::fromLatin1(speed))->setCheckable(true);

    connect(Action("About"), &QAction::triggered, this, &TMainForm::AboutExecute);
    connect(Action("Exit"), &QAction::triggered, this, &TMainForm::ExitExecute);
    connect(Action("Setting"), &QAction::triggered, this, &TMainForm::SettingExecute);

    auto* toolBar = qobject_cast<QToolBar*>(findChild<QFrame*>("TopPanel")->property("toolBar").value<QObject*>());
    for (const char* name : {"About", "Setting", "Exit"}) {
        toolBar->addAction(Action(QString::fromLatin1(name)));
        if (QWidget* button = toolBar->widgetForAction(Action(QString::fromLatin1(name)))) {
            button->setFixedSize(48, 39);
            button->setObjectName(QString::fromLatin1(name) + "Button");
        }
    }
    for (const char* name : {"PlayAudio", "RecordAudio", "PrevPage", "NextPage", "XfAutoPlay"})
        XfToolBar->addAction(Action(QString::fromLatin1(name)));
    const char* mediaButtons[] = {"PlayButton", "PauseButton", "StopButton"};
    const char* mediaActions[] = {"MediaPlay", "MediaPause", "MediaStop"};
    for (int i = 0; i < 3; ++i)
        findChild<QToolButton*>(mediaButtons[i])->setDefaultAction(Action(QString::fromLatin1(mediaActions[i])));

    router_ = new ShortcutRouter(this, ActionList());
}

QList<QAction*> TMainForm::ActionList() const {
    QList<QAction*> list;
    for (const ActionSpec& entry : ActionTable())
        list.push_back(Action(QString::fromLatin1(entry.name.data(), static_cast<qsizetype>(entry.name.size()))));
    return list;
}

void TMainForm::BuildMenus() {
    for (int m = 0; m < kMenuCount; ++m) {
        const MenuSpec& entry = PopupMenus()[static_cast<std::size_t>(m)];
        auto* menu = new QMenu(this);
        menu->setObjectName(QString::fromLatin1(entry.name.data(), static_cast<qsizetype>(entry.name.size())));
        QMenu* target = menu;
        int subLeft = 0;
        for (int i = 0; i < entry.count; ++i) {
            const MenuItemSpec& item = entry.items[static_cast<std::size_t>(i)];
            if (!item.subMenuCaption.empty()) {
                target = menu->addMenu(QString::fromLatin1(item.subMenuCaption.data(),
                                                           static_cast<qsizetype>(item.subMenuCaption.size())));
                subLeft = item.subMenuItems;
                continue;
            }
            if (item.action == "-")
                target->addSeparator();
            else
                target->addAction(Action(QString::fromLatin1(item.action.data(), static_cast<qsizetype>(item.action.size()))));
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
    attach(ImagesListView1, kGridMenu);
    attach(FolderTreeView, kLibraryMenu);
    attach(DirTree1, kDirectoryMenu);
    attach(SeeBox, kContentMenu);
    attach(AviPanel, kContentMenu);
    attach(SeePanel, kImageMenu);
    attach(Image1, kImageMenu);
    attach(RichEdit1, kTextMenu);
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
    for (std::size_t i = 0; i < ImagesListView1->TypeIcons.size(); ++i)
        ImagesListView1->TypeIcons[i] = TypePicture(kPictureOfIcon[i]);
    Image1->setCursor(Cursors[8]);
    TextPointSize = 12;
    banner_ = new QMovie(QStringLiteral(":/vantorsee/banner.gif"), QByteArray(), this);
    Animate1->setMovie(banner_);
    if (banner_->jumpToFrame(0))
        Animate1->setFixedWidth(banner_->currentImage().width());
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
        if (!FolderCanExist(PhotoFolder)) {
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
        if (banner_->isValid())
            banner_->start();
    } catch (const std::exception& e) {
        ShowStandardError(e);
    }
}

void TMainForm::LoadSettings() {
    SettingsKey key(*registry_, std::string(kSettingsKeyPath));
    TypeFlags flags = ImagesListView1->flags();
    const auto apply = [&] {
        for (int i = 0; i < kFileTypeCount; ++i)
            ImagesListView1->SetFlag(i, flags[static_cast<std::size_t>(i)]);
    };
    try {
        vs::LoadSettings(key, PhotoFolder, flags);
    } catch (...) {
        apply();
        throw;
    }
    apply();
    MoveDeletedToTrash = LoadTrashSetting(key);
}

void TMainForm::SaveSettings() {
    SettingsKey key(*registry_, std::string(kSettingsKeyPath));
    vs::SaveSettings(key, PhotoFolder, ImagesListView1->flags());
    SaveTrashSetting(key, MoveDeletedToTrash);
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (!closed_) {
        closed_ = true;
        FormClose();
    }
    event->accept();
}

void TMainForm::FormClose() {
    try {
        StopMedia();
        if (registry_)
            SaveSettings();
        registry_.reset();
        ImageWorkspace.reset();
    } catch (const std::exception& e) {
        ShowStandardError(e);
    }
}

void TMainForm::FormDestroy() { FileClipboard = {}; }

void TMainForm::ShowStandardError(const std::exception& e) {
    prompts_.message(e.what(), std::string(kApplicationTitle), Buttons::Ok, Icon::None);
}

void TMainForm::ImagesListView1Change(QListWidgetItem* item) {
    if (!dispatch_.changesEnabled || !item || !item->isSelected())
        return;
    int first = -1;
    for (const QItemSelectionRange& range : ImagesListView1->selectionModel()->selection())
        if (first < 0 || range.top() < first)
            first = range.top();
    if (ImagesListView1->row(item) != first)
        return;
    const QString shown = (ImagesListView1->Path() + item->text()).toLower();
    dispatch_.Show(shown.toStdString(), ImagesListView1->FilePath(item).toStdString(),
                   TImagesListView::ItemSizeText(item).toStdString());
}

void TMainForm::ImagesListView1Resize() {
    if (ImagesListView1->height() < kMinimumGridHeight)
        ImagesListView1->resize(ImagesListView1->width(), kMinimumGridHeight);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Image1) {
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
    } else if (watched == FolderTreeView->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto* e = static_cast<QMouseEvent*>(event);
        FolderTreeViewMouseDown(e->position().toPoint());
        // A right-click opens the menu for the node under the mouse but leaves the selection.
        if (e->button() == Qt::RightButton)
            return true;
    }
    if (event->type() == QEvent::Resize) {
        if (watched == ImagesListView1)
            ImagesListView1Resize();
        else if (watched == SeeBox)
            LayoutSeeBox();
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::LayoutSeeBox() {
    for (QWidget* client : {static_cast<QWidget*>(RichEdit1), static_cast<QWidget*>(HtmlPanel), static_cast<QWidget*>(AviPanel)})
        client->setGeometry(SeeBox->rect());
    if (IsPictureKind(dispatch_.contentKind) && SeePanel->isVisible())
        UpdateImageView(true);
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
    form->Fill(PhotoFolder, ImagesListView1->flags());
    form->TrashCheckBox->setChecked(MoveDeletedToTrash);
    CentreOnScreen(form);
    form->exec();
}

std::string TMainForm::BrowseForFolder() {
    const std::optional<std::string> picked = prompts_.pickFolder(
        "Select a folder", QStandardPaths::writableLocation(QStandardPaths::DesktopLocation).toStdString());
    if (!picked || picked->empty())
        return {};
    return WithTrailingSlash(*picked);
}

// --- content views ---------------------------------------------------------------------

TXfAlbum* TMainForm::OpenAlbumInStrip(const std::string& /*path*/) {
    // The page strip opens albums once it exists; until then no album is open.
    XFListBox1->show();
    return nullptr;
}

void TMainForm::SetPageStripVisible(bool visible) { XFListBox1->setVisible(visible); }

void TMainForm::ShowXfToolBarFor(TXfAlbum& /*album*/) { XfToolBar->show(); }

void TMainForm::SetXfToolBarVisible(bool visible) { XfToolBar->setVisible(visible); }

void TMainForm::ShowNewImage(const Bitmap& /*picture*/) { RefreshImageView(); }

void TMainForm::SetImageFrameVisible(bool visible) { SeePanel->setVisible(visible); }

bool TMainForm::MediaPanelVisible() const { return AviPanel->isVisibleTo(SeeBox); }

void TMainForm::SetMediaPanelVisible(bool visible) {
    AviPanel->setVisible(visible);
    AviCtrlPanel->setVisible(visible);
}

void TMainForm::StopMedia() { Action("MediaStop")->trigger(); }

void TMainForm::OpenMediaFile(const std::string& /*path*/) {}

void TMainForm::SetWebPanelVisible(bool visible) { HtmlPanel->setVisible(visible); }

void TMainForm::NavigateWeb(const std::string& /*url*/) {}

void TMainForm::SetTextViewVisible(bool visible) { RichEdit1->setVisible(visible); }

void TMainForm::LoadTextView(const std::string& /*path*/, int /*kind*/) {}

void TMainForm::SetStatusText(const std::string& text) {
    StatusPanel0->setText(QString::fromStdString(text));
    StatusPanel0->setAccessibleDescription(StatusPanel0->text());
}

}  // namespace vs
