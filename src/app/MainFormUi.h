#pragma once

// Every widget of the main window, grouped by area. Each area is built by one TMainForm
// member in its own file (MainLayout*.cpp); a new area adds its pointers here and its
// builder there, and TMainForm::BuildLayout places what the builder returns.

class QFrame;
class QLabel;
class QSlider;
class QSplitter;
class QStatusBar;
class QTextEdit;
class QTimer;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QVBoxLayout;
class QWidget;

namespace vs {

class TDirTree;
class TFoldPanel;
class PictureView;
class TImagesListView;
class TXFListBox;

struct MainFormUi {
    // Frame (MainLayout.cpp): the top bar above, the left panel beside the right area.
    QWidget* Central = nullptr;
    QVBoxLayout* CentralColumn = nullptr;
    QSplitter* Splitter1 = nullptr;      // left panel | right area
    QSplitter* RightSplitter = nullptr;  // "Splitter3": the grid panel above the lower area

    // Top bar (MainLayoutTopBar.cpp).
    QFrame* TopPanel = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QToolButton* AboutButton = nullptr;  // made when the actions exist (BuildTopBarButtons)
    QToolButton* SettingButton = nullptr;
    QToolButton* ExitButton = nullptr;
    QLabel* Animate1 = nullptr;

    // Left panel (MainLayoutLeftPanel.cpp): the library tree above the directory tree, on a
    // panel that folds to a narrow column.
    TFoldPanel* FoldPanel1 = nullptr;
    QSplitter* Splitter2 = nullptr;
    QTreeWidget* FolderTreeView = nullptr;
    TDirTree* DirTree1 = nullptr;

    // Grid panel (MainLayoutGrid.cpp), on a panel that folds to a thin strip.
    TFoldPanel* FoldPanel2 = nullptr;
    TImagesListView* ImagesListView1 = nullptr;

    // Lower area (MainLayoutContentViews.cpp): XF tool bar, page strip, then the content area.
    QWidget* LowerArea = nullptr;
    QToolBar* XfToolBar = nullptr;
    TXFListBox* XFListBox1 = nullptr;
    QToolButton* PlayToolButton = nullptr;  // the XF tool bar's Play Audio button
    QWidget* SeeBox = nullptr;
    QFrame* SeePanel = nullptr;
    PictureView* Image1 = nullptr;
    QTextEdit* RichEdit1 = nullptr;
    QFrame* HtmlPanel = nullptr;
    QWidget* CppWebBrowser1 = nullptr;  // the browser's host
    QFrame* AviPanel = nullptr;
    QWidget* PlayPanel = nullptr;
    QFrame* AviCtrlPanel = nullptr;
    QLabel* AudioIcon = nullptr;       // the file's type picture where an audio file has no video
    QLabel* MediaTimeLabel = nullptr;  // elapsed / total time beside the track bar
    QToolButton* PlayButton = nullptr;
    QToolButton* PauseButton = nullptr;
    QToolButton* StopButton = nullptr;
    QSlider* TrackBar1 = nullptr;
    QToolButton* SlideShowButton = nullptr;  // over the content area in full screen

    // Status bar (MainLayoutStatusBar.cpp).
    QStatusBar* StatusBar1 = nullptr;
    QLabel* StatusPanel0 = nullptr;
    QLabel* StatusPanel1 = nullptr;

    // Timers (MainLayout.cpp), disabled at start.
    QTimer* XfautoPlayTimer = nullptr;
    QTimer* Timer3 = nullptr;
};

}  // namespace vs
