#pragma once

#include "app/ActionTable.h"
#include "app/MainFormUi.h"
#include "app/Settings.h"
#include "app/StartUp.h"
#include "app/ViewerDispatch.h"
#include "controls/FileTypes.h"
#include "dib/ImageWorkspace.h"
#include "library/FileCommands.h"
#include "viewer/Fitting.h"

#include "platform/MediaGraph.h"

#include <QCursor>
#include <QHash>
#include <QPalette>
#include <QPoint>
#include <QRect>
#include <QMainWindow>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QBoxLayout;
class QDialog;
class QMimeData;
class QMenu;
class QMovie;
class QTimer;
class QTreeWidgetItem;
class QWheelEvent;
class QWidget;

namespace vs {

class GridItem;
class MountList;
class Prompts;
class SettingsKey;
class ShortcutRouter;
class SoundPlayer;
class TImagesListView;
class ThumbnailCache;
class Wallpaper;
class WebBrowser;
class WaveRecorder;

// Where the main window finds its settings and its default photo folder; tests point these
// at temporary folders.
struct MainFormEnvironment {
    std::string settingsFile;  // empty: DefaultSettingsFileName()
    std::string programFolder; // empty: the folder of the executable
    std::string picturesFolder; // empty: the user's pictures folder (fallback photo folder)
    Wallpaper* wallpaper = nullptr;  // none: the running desktop's
    MediaGraphFactory* mediaGraphs = nullptr;  // none: Qt Multimedia, drawing in PlayPanel
    // Makes the web view's browser inside its host; none: pages are not shown.
    std::function<std::unique_ptr<WebBrowser>(QWidget* host)> webBrowser = nullptr;
    MountList* mounts = nullptr;     // none: the machine's mounted file systems (directory tree)
    WaveRecorder* recorder = nullptr;  // none: the default audio input (QAudioSource)
    SoundPlayer* soundPlayer = nullptr;  // none: the default audio output (QMediaPlayer)
    // The grid lists folders on a worker thread, so the window never waits for a large one.
    bool backgroundListing = false;
};

// The main window: library and directory trees on the left, the thumbnail grid at the top
// right and the content area below it. Behaviour lives in ViewerDispatch, TImagesListView,
// the settings store and ShortcutRouter; this class wires them to the widgets.
class TMainForm : public QMainWindow, private ContentViews {
    Q_OBJECT

public:
    explicit TMainForm(Prompts& prompts, MainFormEnvironment env = {}, QWidget* parent = nullptr);
    ~TMainForm() override;

    // Main-window state.
    std::string PhotoFolder;
    std::string TitlePrefix;
    bool& ChangesEnabled() { return dispatch_.changesEnabled; }
    const std::string& ShownFilePath() const { return dispatch_.shownFilePath; }
    int ContentKind() const { return dispatch_.contentKind; }
    bool PanActive = false;
    int PanStartX = 0;
    int PanStartY = 0;
    // The library node under the mouse at the last press in the tree; the folder commands'
    // target.
    QTreeWidgetItem* ClickedFolderNode = nullptr;
    // The directory tree's node under the mouse at the last press; its menu's target.
    QTreeWidgetItem* ClickedDirNode = nullptr;
    int TextPointSize = 0;
    bool MediaSyncEnabled = false;
    double MediaDuration = 0;  // seconds
    double MediaPosition = 0;  // seconds
    VideoRect VideoClientRect;
    // The private file clipboard: names, ClipboardFolder and ClipboardIsCut.
    FileClipboardState FileClipboard;
    // Deleted files and folders go to the desktop's Trash instead of being removed.
    bool MoveDeletedToTrash = false;
    std::array<QCursor, 10> Cursors;  // slots 1 to 9

    // The window's widgets by area; the named controls carry their names as members.
    const MainFormUi& Ui() const { return ui_; }

    QAction* Action(const QString& name) const { return actions_.value(name, nullptr); }
    QMenu* PopupMenu(int menuId) const { return menus_[static_cast<std::size_t>(menuId)]; }
    ShortcutRouter& Router() { return *router_; }
    QMovie* Banner() const { return banner_; }
    // Always in table order.
    QList<QAction*> ActionList() const;

    void LoadSettings();
    // `vantorsee PATH`: the grid shows the target's folder and selects its file, if any.
    void OpenStartPath(const StartTarget& target);
    void SaveSettings();
    // The grid's thumbnails through the desktop's shared thumbnail cache (a value of our own
    // in the settings key).
    void SetThumbnailCacheEnabled(bool on);
    bool ThumbnailCacheEnabled() const { return thumbnailCache_ != nullptr; }

    // The grid's change notification: shows the first selected item when it changed.
    void ImagesListView1Change(const GridItem& item);
    void ImagesListView1Resize();
    void AboutExecute();
    void ExitExecute();
    void SettingExecute();
    // The folder picker of the settings dialog: the chosen folder with a trailing '/', or
    // empty when cancelled.
    std::string BrowseForFolder();

    // Image view: the content area's resize handler, also run by every zoom change.
    void RefreshImageView();
    void AutoSizeExecute() { ZoomExecute(ZoomMode::AutoSize); }
    void FullSizeExecute() { ZoomExecute(ZoomMode::FullSize); }
    void Size2_1Execute() { ZoomExecute(ZoomMode::HalfSize); }
    void Size4_1Execute() { ZoomExecute(ZoomMode::QuarterSize); }
    void Size8_1Execute() { ZoomExecute(ZoomMode::EighthSize); }
    ZoomMode CurrentZoom() const { return zoom_; }
    void Image1MouseDown(Qt::MouseButton button, const QPoint& pos);
    void Image1MouseMove(const QPoint& pos);
    void Image1MouseUp();
    void SetWallpaperExecute();

    // Text view (TextView.cpp).
    void TxtSizeExecute(int points);
    void PopupMenu7Popup();
    void TxtCopyExecute();
    void TxtSelectAllExecute();
    int TextViewDefaultSize() const;

    // Media view (MediaView.cpp).
    void ReleaseMediaGraph();
    int VideoWidth();
    int VideoHeight();
    void Timer3Timer();
    void TrackBar1Change();
    void MediaPlayExecute();
    void MediaPauseExecute();
    void MediaStopExecute();
    void SpeedExecute(double rate);
    void PopupMenu4Popup();
    MediaGraph* CurrentMediaGraph() const { return mediaGraph_.get(); }

    // Library tree.
    void FillFolderTree();
    bool AddFolderChildren(const std::string& path, QTreeWidgetItem* parent);
    std::string NodeFolderPath(const QTreeWidgetItem* node) const;
    void FolderTreeViewMouseDown(const QPoint& viewportPos);
    void FolderTreeViewChange(QTreeWidgetItem* node);
    void FolderTreeViewClick();
    bool FolderTreeViewEditing(const QTreeWidgetItem* node) const;
    void FolderTreeViewEdited(QTreeWidgetItem* node, const QString& newText);
    void PopupMenu2Popup();
    void pNewFolderExecute();
    void pDeleteFolderExecute();
    void pRenameFolderExecute();
    void pRefreshFolderExecute();

    // Directory tree.
    void DirTree1MouseDown(const QPoint& viewportPos);
    void PopupMenu3Popup();
    void DirTree1Change();
    void DirTree1Click();
    bool DirTree1Editing(QTreeWidgetItem* node);
    void DirTree1Edited(QTreeWidgetItem* node, QString& text);
    void RenameWinFolderExecute();
    void DeleteWinFolderExecute();
    void RefreshWinFolderExecute();
    // Album page strip and its commands (AlbumStrip.cpp).
    void PrevPageExecute();
    void NextPageExecute();
    void XFListBox1Click();
    void XfAutoPlayExecute();
    void XfautoPlayTimerTimer();
    void RecordAudioExecute();
    void PlayAudioExecute();
    // The album on screen: the strip's, while an album is shown.
    TXfAlbum* CurrentAlbum() const;
    bool AutoPlayReady = false;

    // File commands of the grid (FileCommands.cpp).
    void PopupMenu1Popup();
    void CutToClipExecute();
    void CopyToClipExecute();
    void PasteFromClipExecute();
    void SelectAllExecute();
    void pRefreshFilesExecute();
    void pRenameFileExecute();
    void pDeleteFilesExecute();
    // Removes a file or a whole folder for good, or into the Trash when the user chose so.
    bool RemoveFile(const std::string& path);
    bool RemoveFolder(const std::string& path);

    // Drag and drop (DragDrop.cpp): the grid's selection onto a folder of a tree.
    void MoveSelectedFiles(const std::string& targetFolder);
    bool FolderTreeViewDragOver(const QPoint& viewportPos, const QMimeData* mime);
    void FolderTreeViewDragDrop(const QPoint& viewportPos, const QMimeData* mime);
    bool DirTree1DragOver(const QMimeData* mime);
    // Into the folder of the node highlighted as drop target.
    void DirTree1DragDrop(const QMimeData* mime);
    // Files dropped from another program: copied into the folder.
    void CopyDroppedFiles(const QMimeData* mime, const std::string& targetFolder);

    // Comforts of the viewer (ViewerComforts.cpp): a window that remembers itself, full
    // screen, browsing from the picture, wheel zoom and the file details in panel 1.
    // Applies the stored size, place, splitters and zoom; before the first show.
    void RestoreWindowPlace();
    void SetContentFullScreen(bool on);
    bool ContentFullScreen() const { return fullScreen_.active; }
    // Shows the grid's next, previous, first or last file for a browsing key (an album turns
    // its pages first); false when the key is none of them.
    bool BrowseKey(QKeyCombination key);
    // The slide show through the grid's pictures, in full screen; any key or click stops it.
    void StartSlideShow();
    void StopSlideShow();
    bool SlideShowRunning() const;
    // Steps through the zoom modes, positive towards Full Size.
    void StepZoom(int steps);
    // Panel 1's text for a grid item: name, place, size, date and a photo's Exif fields.
    QString ItemDetailsText(const GridItem& item) const;

    // The dialogs start-up creates after this window.
    void SetDialogs(QDialog* settingForm, QDialog* aboutBox, QWidget* comInfoForm);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void FormClose();
    void FormDestroy();
    // Layout, one builder per area (MainLayout*.cpp); each returns the area's outer widget.
    void BuildLayout();
    QWidget* BuildTopBar(QWidget* parent);
    void BuildTopBarButtons();
    QWidget* BuildLeftPanel(QWidget* parent);
    QWidget* BuildGridPanel(QWidget* parent);
    QWidget* BuildLowerArea(QWidget* parent);
    void BuildPageStrip(QBoxLayout* row);
    void BuildImageFrame();
    void BuildTextView();
    void BuildWebPanel();
    void BuildMediaPanel();
    void BuildStatusBar();
    void BuildActions();
    void BuildMenus();
    void LayoutSeeBox();
    // keepFramePlace: the frame takes the new size where it is (auto-play), not re-centred.
    void UpdateImageView(bool reuseRendered, bool keepFramePlace = false);
    void ZoomExecute(ZoomMode mode);
    void ConnectImageView();
    void ConnectTextView();
    void ConnectMediaView();
    void SizeVideo(bool moveWindow);
    void ReadMediaDuration();
    void MediaGraphChanged();
    void ShowAudioIcon();
    void ShowMediaTime();
    void ConnectFolderTree();
    void ConnectDirTree();
    void PointGridAtDirectory();
    void ConnectAlbumStrip();
    void FetchAlbumPage(TXfAlbum& album, int page, bool recentre);
    void StopAutoPlay();
    void LeaveAlbum();
    void StopRecordingAndRewrite(TXfAlbum* album);
    void SetPlayToolButtonEnabled(bool enabled);
    void CloseAlbumSound();
    void ConnectFileCommands();
    void ConnectDragDrop();
    // Stops the media player when it shows path, before the file goes.
    void ReleaseFile(const std::string& path);
    FileCommandContext FileContext(BulkProgress& progress);
    void PointGridAt(const QTreeWidgetItem* node);
    QTreeWidgetItem* AddFolderNode(QTreeWidgetItem* parent, const QString& caption);
    void SetNodeCaption(QTreeWidgetItem* node, const QString& caption);
    void ShowStandardError(const std::exception& e);
    void ConnectComforts();
    bool ComfortsEvent(QObject* watched, QEvent* event);
    bool ContentWheel(const QWheelEvent& event);
    void ShowFileDetails();
    void RestoreLastFolder();
    void StoreWindowMemory(SettingsKey& key) const;
    void ShowCursorForAWhile();
    void SetFullScreenCursorShown(bool shown);
    void SelectGridRow(int row);
    // The grid's next picture after row, round to the start; -1 when it has none.
    int NextGridPicture(int row) const;
    void SlideShowTick();
    void AnimationTick();
    bool SlideShowInput(QObject* watched, QEvent* event);

    // ContentViews
    TXfAlbum* OpenAlbumInStrip(const std::string& path) override;
    void SetPageStripVisible(bool visible) override;
    void ShowXfToolBarFor(TXfAlbum& album) override;
    void SetXfToolBarVisible(bool visible) override;
    void ShowNewImage(const Bitmap& picture) override;
    Rgb ImageBackground() const override;
    void SetImageFrameVisible(bool visible) override;
    bool MediaPanelVisible() const override;
    void SetMediaPanelVisible(bool visible) override;
    void StopMedia() override;
    void OpenMediaFile(const std::string& path) override;
    void SetWebPanelVisible(bool visible) override;
    void NavigateWeb(const std::string& url) override;
    void SetTextViewVisible(bool visible) override;
    void LoadTextView(const std::string& path, int kind) override;
    void SetStatusText(const std::string& text) override;

    MainFormUi ui_;
    Prompts& prompts_;
    MainFormEnvironment env_;
    ViewerDispatch dispatch_;
    std::optional<std::string> registry_;  // the settings accessor: the file it opens
    std::unique_ptr<TImageWorkspace> ImageWorkspace;  // from creation to close; copies Full Size pictures
    QHash<QString, QAction*> actions_;
    std::array<QMenu*, kMenuCount> menus_{};
    ShortcutRouter* router_ = nullptr;
    QMovie* banner_ = nullptr;
    QDialog* settingForm_ = nullptr;
    QDialog* aboutBox_ = nullptr;
    QWidget* comInfoForm_ = nullptr;
    std::unique_ptr<Wallpaper> desktopWallpaper_;
    std::shared_ptr<const ThumbnailCache> thumbnailCache_;  // null: the cache is off
    // The album's recording device ("MediaPlayer1") and sound output.
    std::unique_ptr<WaveRecorder> ownRecorder_;
    WaveRecorder* MediaPlayer1 = nullptr;
    std::unique_ptr<SoundPlayer> ownSoundPlayer_;
    SoundPlayer* soundPlayer_ = nullptr;
    bool recordChecked_ = false;  // RecordAudio's check mark: a recording runs
    Wallpaper* wallpaper_ = nullptr;
    ZoomMode zoom_ = ZoomMode::AutoSize;
    std::unique_ptr<MediaGraphFactory> qtMediaGraphs_;
    MediaGraphFactory* mediaGraphs_ = nullptr;
    std::unique_ptr<MediaGraph> mediaGraph_;  // from the first media file to the next or to destruction
    std::unique_ptr<WebBrowser> webBrowser_;  // made at the first page
    Bitmap renderedPicture_;  // the rendered picture Image1 paints at the zoom modes other than Full Size
    // What Image1 holds, so that a resize that changes only the frame's place does not
    // render the picture again.
    struct Rendered {
        int width = -1;
        int height = -1;
        ZoomMode mode = ZoomMode::AutoSize;
    } rendered_;
    // What full screen hid and must give back.
    struct FullScreenState {
        bool active = false;
        bool wasMaximised = false;
        QRect normalGeometry;
        QList<int> splitter1, splitter3;
        std::vector<QWidget*> hidden;
        bool boxFilled = false;
        QPalette boxPalette;
    } fullScreen_;
    QTimer* cursorTimer_ = nullptr;  // hides the cursor in full screen
    QTimer* slideShowTimer_ = nullptr;
    QTimer* animationTimer_ = nullptr;  // shows an animated picture's next frame
    QObject* slideShowStopper_ = nullptr;  // an application event filter while the show runs
    int slideShowSeconds_ = kSlideShowDefaultSeconds;
    int wheelRest_ = 0;              // Ctrl+wheel angle not yet a whole step
    std::string lastFolder_;         // the stored folder to show at start
    bool editingGuard_ = false;
    bool shown_ = false;
    bool closed_ = false;
};

}  // namespace vs
