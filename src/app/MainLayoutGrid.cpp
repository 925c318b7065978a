// The grid panel at the top of the right area: the thumbnail grid.

#include "app/MainLayoutParts.h"
#include "app/TMainForm.h"
#include "controls/TImagesListView.h"

#include <QFrame>
#include <QVBoxLayout>

namespace vs {

QWidget* TMainForm::BuildGridPanel(QWidget* parent) {
    ui_.TopFoldPanel = new QFrame(parent);
    NameControl(ui_.TopFoldPanel, "TopFoldPanel");
    auto* box = new QVBoxLayout(ui_.TopFoldPanel);
    box->setContentsMargins(0, 0, 0, 0);
    ui_.ImagesListView1 = new TImagesListView(ui_.TopFoldPanel);
    NameControl(ui_.ImagesListView1, "ImagesListView1");
    ui_.ImagesListView1->SetPrompts(&prompts_);
    ui_.ImagesListView1->setMinimumHeight(kMinimumGridHeight);
    ui_.ImagesListView1->installEventFilter(this);
    box->addWidget(ui_.ImagesListView1);
    return ui_.TopFoldPanel;
}

}  // namespace vs
