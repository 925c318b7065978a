// The image view of the main window: zoom modes, hand-drag panning and the wallpaper.

#include "app/TMainForm.h"
#include "app/PictureView.h"
#include "platform/qt/QtText.h"

#include "controls/TImagesListView.h"
#include "graphics/BmpFile.h"
#include "platform/Wallpaper.h"
#include "viewer/FileKinds.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>

namespace vs {

void TMainForm::ConnectImageView() {
    connect(Action("AutoSize"), &QAction::triggered, this, &TMainForm::AutoSizeExecute);
    connect(Action("FullSize"), &QAction::triggered, this, &TMainForm::FullSizeExecute);
    connect(Action("Size2_1"), &QAction::triggered, this, &TMainForm::Size2_1Execute);
    connect(Action("Size4_1"), &QAction::triggered, this, &TMainForm::Size4_1Execute);
    connect(Action("Size8_1"), &QAction::triggered, this, &TMainForm::Size8_1Execute);
    connect(Action("SetWallpaper"), &QAction::triggered, this, &TMainForm::SetWallpaperExecute);
    ui_.Image1->installEventFilter(this);
    animationTimer_ = new QTimer(this);
    animationTimer_->setObjectName("AnimationTimer");
    animationTimer_->setSingleShot(true);
    connect(animationTimer_, &QTimer::timeout, this, [this] { AnimationTick(); });
}

void TMainForm::AnimationTick() {
    // Another file may have been shown since: the dispatch then no longer animates.
    if (!dispatch_.Animating() || !dispatch_.AdvanceFrame())
        return;
    // A frame is a new picture of the same size: it keeps the zoom mode and the place the
    // frame was dragged to.
    UpdateImageView(false, true);
    animationTimer_->start(dispatch_.FrameDelay());
}

void TMainForm::ZoomExecute(ZoomMode mode) {
    static constexpr const char* kNames[] = {"AutoSize", "FullSize", "Size2_1", "Size4_1", "Size8_1"};
    // The exclusive group has already moved the check mark when a menu chose the action.
    Action(Latin1(kNames[static_cast<int>(mode)]))->setChecked(true);
    if (mode == zoom_)
        return;  // choosing the checked mode changes nothing, not even a dragged frame
    zoom_ = mode;
    RefreshImageView();
}

void TMainForm::RefreshImageView() {
    if (IsMedia(dispatch_.contentKind))
        SizeVideo(true);
    else
        UpdateImageView(false);
}

void TMainForm::UpdateImageView(bool reuseRendered, bool keepFramePlace) {
    if (!Zooms(dispatch_.contentKind))
        return;  // video sizing belongs to the media view; other kinds have nothing to place
    const Bitmap& source = dispatch_.sourceImage();
    const ZoomLayout layout =
        ComputeZoomLayout(source.width(), source.height(), ui_.SeeBox->width(), ui_.SeeBox->height(), zoom_);
    // Only a resize may keep the picture: everything else may have changed the source.
    const bool same = reuseRendered && rendered_.width == layout.imageWidth && rendered_.height == layout.imageHeight &&
                      rendered_.mode == zoom_;
    if (!same) {
        // Full Size paints the source's own pixels; the other modes their rendered picture.
        // Either way the view looks at pixels kept here, never at a copy of its own.
        ui_.Image1->SetPicture(QImage());
        renderedPicture_ = Bitmap();
        QImage picture;
        if (layout.imageWidth > 0 && layout.imageHeight > 0) {
            if (zoom_ == ZoomMode::FullSize) {
                if (source.format() == PixelFormat::Bpp24)  // what a 24-bit copy would show
                    picture = ImageOver(source);
            } else if (RenderZoomedImage(source, layout, zoom_, renderedPicture_)) {
                picture = ImageOver(renderedPicture_);
            }
        }
        ui_.Image1->SetPicture(picture);
        rendered_ = {layout.imageWidth, layout.imageHeight, zoom_};
    }
    ui_.Image1->setGeometry(2, 2, layout.imageWidth, layout.imageHeight);
    if (keepFramePlace)
        ui_.SeePanel->resize(layout.frameWidth(), layout.frameHeight());
    else
        ui_.SeePanel->setGeometry(layout.frameLeft, layout.frameTop, layout.frameWidth(), layout.frameHeight());
}

void TMainForm::Image1MouseDown(Qt::MouseButton button, const QPoint& pos) {
    if (button != Qt::LeftButton)
        return;
    PanActive = true;
    PanStartX = pos.x();
    PanStartY = pos.y();
    if (!QApplication::overrideCursor())
        QApplication::setOverrideCursor(Cursors[9]);
}

void TMainForm::Image1MouseMove(const QPoint& pos) {
    if (!PanActive)
        return;
    // The grabbed point stays under the mouse; the frame may leave the content area.
    ui_.SeePanel->move(ui_.SeePanel->x() + pos.x() - PanStartX, ui_.SeePanel->y() + pos.y() - PanStartY);
}

void TMainForm::Image1MouseUp() {
    PanActive = false;
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

void TMainForm::SetWallpaperExecute() {
    if (!SetsWallpaper(dispatch_.contentKind))
        return;
    // Failures are not reported; they must not end the handler either.
    try {
        const std::string file = WallpaperFileName();
        SaveBmpFile(dispatch_.sourceImage(), file);
        wallpaper_->setWallpaper(file);
    } catch (const std::exception&) {
    }
}

}  // namespace vs
