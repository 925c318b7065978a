// The main window's frame: the top bar above, the left panel and the right area side by side
// in a splitter, the grid panel above the lower area, the status bar and the timers. Each area
// comes from its own builder (MainLayout*.cpp).

#include "app/Artwork.h"
#include "app/MainLayoutParts.h"
#include "app/TMainForm.h"
#include "controls/TImagesListView.h"
#include "viewer/FileKinds.h"

#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

namespace vs {

void TMainForm::BuildLayout() {
    resize(572, 514);
    setFont(ProgramFont());
    setWindowIcon(ProgramIcon());

    ui_.Central = new QWidget(this);
    ui_.Central->setObjectName("Central");
    ui_.CentralColumn = new QVBoxLayout(ui_.Central);
    ui_.CentralColumn->setContentsMargins(0, 0, 0, 0);
    ui_.CentralColumn->setSpacing(0);
    setCentralWidget(ui_.Central);

    ui_.CentralColumn->addWidget(BuildTopBar(ui_.Central));

    ui_.Splitter1 = new QSplitter(Qt::Horizontal, ui_.Central);
    NameControl(ui_.Splitter1, "Splitter1");
    ui_.Splitter1->setHandleWidth(3);
    ui_.Splitter1->setChildrenCollapsible(false);
    ui_.CentralColumn->addWidget(ui_.Splitter1, 1);
    ui_.Splitter1->addWidget(BuildLeftPanel(ui_.Splitter1));

    ui_.RightSplitter = new QSplitter(Qt::Vertical, ui_.Splitter1);
    NameControl(ui_.RightSplitter, "Splitter3");
    ui_.RightSplitter->setHandleWidth(3);
    ui_.RightSplitter->setChildrenCollapsible(false);
    ui_.RightSplitter->addWidget(BuildGridPanel(ui_.RightSplitter));
    ui_.RightSplitter->addWidget(BuildLowerArea(ui_.RightSplitter));
    ui_.RightSplitter->setSizes({190, 250});
    ui_.RightSplitter->setStretchFactor(1, 1);
    ui_.Splitter1->addWidget(ui_.RightSplitter);
    ui_.Splitter1->setSizes({177, 392});
    ui_.Splitter1->setStretchFactor(1, 1);

    BuildStatusBar();

    ui_.XfautoPlayTimer = new QTimer(this);
    ui_.XfautoPlayTimer->setObjectName("XfautoPlayTimer");
    ui_.XfautoPlayTimer->setInterval(100);
    ui_.Timer3 = new QTimer(this);
    ui_.Timer3->setObjectName("Timer3");
    ui_.Timer3->setInterval(200);

    connect(ui_.ImagesListView1, &TImagesListView::Change, this, &TMainForm::ImagesListView1Change);
    // The picture may be shown before its thumbnail, and with it the size text, is made.
    connect(ui_.ImagesListView1, &TImagesListView::SizeTextReady, this, [this](const GridItem& item) {
        const QString path = (ui_.ImagesListView1->ItemsPath() + item->text()).toLower();
        if (IsPicture(dispatch_.contentKind) && path.toStdString() == dispatch_.shownFilePath)
            SetStatusText(TImagesListView::ItemSizeText(item).toStdString());
    });
}

}  // namespace vs
