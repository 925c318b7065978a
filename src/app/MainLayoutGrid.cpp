// The grid panel at the top of the right area: the thumbnail grid, folding upwards.

#include "app/MainLayoutParts.h"
#include "app/TMainForm.h"
#include "controls/TFoldPanel.h"
#include "controls/TImagesListView.h"

#include <QVBoxLayout>

namespace vs {

QWidget* TMainForm::BuildGridPanel(QWidget* parent) {
    ui_.FoldPanel2 = new TFoldPanel(parent);
    NameControl(ui_.FoldPanel2, "FoldPanel2");
    ui_.FoldPanel2->SetCaption(QStringLiteral("Files"));
    QWidget* client = ui_.FoldPanel2->GetClientWindow();
    auto* box = new QVBoxLayout(client);
    box->setContentsMargins(0, 0, 0, 0);
    ui_.ImagesListView1 = new TImagesListView(client);
    NameControl(ui_.ImagesListView1, "ImagesListView1");
    ui_.ImagesListView1->SetPrompts(&prompts_);
    ui_.ImagesListView1->SetBackgroundListing(env_.backgroundListing);
    ui_.ImagesListView1->setMinimumHeight(kMinimumGridHeight);
    ui_.ImagesListView1->installEventFilter(this);
    box->addWidget(ui_.ImagesListView1);
    return ui_.FoldPanel2;
}

}  // namespace vs
