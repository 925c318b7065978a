// The media view: a media graph per file, the video host sized for the zoom mode, the
// position timer and track bar, transport and speed, and the elapsed / total time.

#include "app/MainLayoutParts.h"
#include "app/TMainForm.h"

#include "controls/TImagesListView.h"
#include "platform/MediaGraph.h"
#include "platform/qt/QtMediaGraph.h"
#include "viewer/FileKinds.h"
#include "viewer/MediaLayout.h"

#include <QAction>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace vs {

namespace {

void FillBlack(QWidget* widget) {
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, Qt::black);
    widget->setPalette(palette);
}

constexpr const char* kSpeedActions[] = {"Speed_05", "Speed_1", "Speed_2"};
constexpr double kSpeedRates[] = {0.5, 1.0, 2.0};

}  // namespace

void TMainForm::BuildMediaPanel() {
    ui_.AviPanel = new QFrame(ui_.SeeBox);
    NameControl(ui_.AviPanel, "AviPanel");
    FillBlack(ui_.AviPanel);
    // The video host is placed by the video sizing, not by a layout; the control bar keeps
    // to the bottom, above the host.
    ui_.PlayPanel = new QWidget(ui_.AviPanel);
    NameControl(ui_.PlayPanel, "PlayPanel");
    FillBlack(ui_.PlayPanel);
    ui_.AudioIcon = new QLabel(ui_.AviPanel);
    NameControl(ui_.AudioIcon, "AudioIcon");
    ui_.AudioIcon->setAlignment(Qt::AlignCenter);
    ui_.AudioIcon->hide();
    auto* column = new QVBoxLayout(ui_.AviPanel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(ui_.AudioIcon, 1);
    ui_.AviCtrlPanel = new QFrame(ui_.AviPanel);
    NameControl(ui_.AviCtrlPanel, "AviCtrlPanel");
    ui_.AviCtrlPanel->setFixedHeight(22);
    ui_.AviCtrlPanel->setAutoFillBackground(true);
    auto* row = new QHBoxLayout(ui_.AviCtrlPanel);
    row->setContentsMargins(0, 0, 4, 0);
    row->setSpacing(0);
    for (QToolButton** button : {&ui_.PlayButton, &ui_.PauseButton, &ui_.StopButton}) {
        *button = new QToolButton(ui_.AviCtrlPanel);
        row->addWidget(*button);
    }
    NameControl(ui_.PlayButton, "PlayButton");
    NameControl(ui_.PauseButton, "PauseButton");
    NameControl(ui_.StopButton, "StopButton");
    ui_.TrackBar1 = new QSlider(Qt::Horizontal, ui_.AviCtrlPanel);
    NameControl(ui_.TrackBar1, "TrackBar1");
    ui_.TrackBar1->setTickPosition(QSlider::NoTicks);
    ui_.TrackBar1->setSingleStep(1);
    ui_.TrackBar1->setPageStep(1);
    ui_.TrackBar1->setRange(0, 0);
    row->addWidget(ui_.TrackBar1, 1);
    ui_.MediaTimeLabel = new QLabel(ui_.AviCtrlPanel);
    NameControl(ui_.MediaTimeLabel, "MediaTimeLabel");
    row->addWidget(ui_.MediaTimeLabel);
    column->addWidget(ui_.AviCtrlPanel);
    ui_.AviPanel->hide();
}

void TMainForm::ConnectMediaView() {
    if (env_.mediaGraphs) {
        mediaGraphs_ = env_.mediaGraphs;
    } else {
        qtMediaGraphs_ = std::make_unique<QtMediaGraphFactory>(ui_.PlayPanel);
        mediaGraphs_ = qtMediaGraphs_.get();
    }
    Action("MediaPause")->setCheckable(true);
    connect(Action("MediaPlay"), &QAction::triggered, this, &TMainForm::MediaPlayExecute);
    connect(Action("MediaPause"), &QAction::triggered, this, &TMainForm::MediaPauseExecute);
    connect(Action("MediaStop"), &QAction::triggered, this, &TMainForm::MediaStopExecute);
    for (int i = 0; i < 3; ++i) {
        QAction* a = Action(Latin1(kSpeedActions[i]));
        const double rate = kSpeedRates[i];
        connect(a, &QAction::triggered, this, [this, a, rate](bool checked) {
            a->setChecked(!checked);  // only the content menu's opening moves the check marks
            SpeedExecute(rate);
        });
    }
    connect(ui_.Timer3, &QTimer::timeout, this, &TMainForm::Timer3Timer);
    connect(ui_.TrackBar1, &QSlider::valueChanged, this, &TMainForm::TrackBar1Change);
    connect(PopupMenu(kContentMenu), &QMenu::aboutToShow, this, &TMainForm::PopupMenu4Popup);
    ShowMediaTime();
}

void TMainForm::ReleaseMediaGraph() {
    if (mediaGraph_)
        mediaGraph_->SetChangeHandler(nullptr);
    mediaGraph_.reset();
}

int TMainForm::VideoWidth() {
    if (!mediaGraph_)
        return 0;
    const auto size = mediaGraph_->HasBasicVideo() ? mediaGraph_->NativeVideoSize() : std::nullopt;
    return size && size->width > 0 ? size->width : 1;
}

int TMainForm::VideoHeight() {
    if (!mediaGraph_)
        return 0;
    const auto size = mediaGraph_->HasBasicVideo() ? mediaGraph_->NativeVideoSize() : std::nullopt;
    return size && size->height > 0 ? size->height : 1;
}

void TMainForm::OpenMediaFile(const std::string& path) {
    ReleaseMediaGraph();
    std::unique_ptr<MediaGraph> graph = mediaGraphs_->CreateGraph();
    if (graph)
        graph->RenderFile(path);  // a file that cannot be rendered simply does not play
    mediaGraph_ = std::move(graph);
    SizeVideo(false);
    if (mediaGraph_ && mediaGraph_->HasVideoWindow()) {
        VideoClientRect = {0, 0, ui_.PlayPanel->width(), ui_.PlayPanel->height()};
        mediaGraph_->ShowVideoWindow(VideoClientRect);
    }
    ReadMediaDuration();
    if (mediaGraph_) {
        mediaGraph_->SetChangeHandler([this] { MediaGraphChanged(); });
        if (mediaGraph_->HasControl())
            mediaGraph_->Run();
    }
    ShowAudioIcon();
    ShowMediaTime();
}

void TMainForm::ReadMediaDuration() {
    const std::optional<double> duration =
        mediaGraph_ && mediaGraph_->HasPosition() ? mediaGraph_->Duration() : std::nullopt;
    // The thumb starts again at 0 without the stream taking it as a move.
    MediaSyncEnabled = false;
    if (!duration) {
        ui_.TrackBar1->setEnabled(false);
        ui_.Timer3->stop();
    } else {
        MediaDuration = *duration;
        ui_.TrackBar1->setEnabled(true);
        ui_.TrackBar1->setRange(0, static_cast<int>(std::trunc(MediaDuration)));
        ui_.Timer3->start();
    }
    ui_.TrackBar1->setValue(0);
    MediaSyncEnabled = true;
}

// The player learnt the duration, the video size or whether there is video after the file
// was opened (a bare MP3 stream tells its length only while it plays).
void TMainForm::MediaGraphChanged() {
    if (!mediaGraph_)
        return;
    const std::optional<double> duration = mediaGraph_->HasPosition() ? mediaGraph_->Duration() : std::nullopt;
    if (duration && (!ui_.TrackBar1->isEnabled() || *duration != MediaDuration)) {
        MediaDuration = *duration;
        MediaSyncEnabled = false;
        ui_.TrackBar1->setEnabled(true);
        ui_.TrackBar1->setRange(0, static_cast<int>(std::trunc(MediaDuration)));
        MediaSyncEnabled = true;
        ui_.Timer3->start();
    }
    if (IsMedia(ContentKind()))
        SizeVideo(true);
    ShowAudioIcon();
    ShowMediaTime();
}

void TMainForm::SizeVideo(bool moveWindow) {
    const VideoLayout layout =
        ComputeVideoLayout(VideoWidth(), VideoHeight(), ui_.AviPanel->width(), ui_.AviPanel->height(), zoom_);
    ui_.PlayPanel->setGeometry(layout.left, layout.top, layout.width, layout.height);
    ui_.AviCtrlPanel->raise();
    if (moveWindow) {
        VideoClientRect = {0, 0, layout.width, layout.height};
        if (mediaGraph_ && mediaGraph_->HasVideoWindow())
            mediaGraph_->SetVideoWindowPosition(VideoClientRect);
    }
}

void TMainForm::ShowAudioIcon() {
    const bool audio = mediaGraph_ && !mediaGraph_->HasVideo() && IsMedia(ContentKind());
    const FileKindRow* row = FileKindRowOf(ContentKind());
    if (audio && row && row->typeIcon >= 0)
        ui_.AudioIcon->setPixmap(
            QPixmap::fromImage(ui_.ImagesListView1->TypeIcons[static_cast<std::size_t>(row->typeIcon)]));
    ui_.AudioIcon->setVisible(audio);
    ui_.PlayPanel->setVisible(!audio);
}

void TMainForm::ShowMediaTime() {
    const bool known = ui_.TrackBar1->isEnabled() && mediaGraph_;
    const QString total = known ? QString::fromStdString(FormatMediaTime(MediaDuration)) : QStringLiteral("--:--");
    ui_.MediaTimeLabel->setText(QString::fromStdString(FormatMediaTime(known ? MediaPosition : 0)) + " / " + total);
}

void TMainForm::Timer3Timer() {
    if (!mediaGraph_ || !mediaGraph_->HasPosition() || !MediaSyncEnabled)
        return;
    const std::optional<double> position = mediaGraph_->CurrentPosition();
    if (!position)
        return;
    MediaPosition = *position;
    if (MediaPosition == MediaDuration) {
        // The stream ended: it loops from the start.
        MediaPosition = 0;
        mediaGraph_->SetCurrentPosition(0);
        if (mediaGraph_->HasControl())
            mediaGraph_->Run();
    }
    MediaSyncEnabled = false;
    ui_.TrackBar1->setValue(static_cast<int>(std::trunc(MediaPosition)));
    MediaSyncEnabled = true;
    ShowMediaTime();
}

void TMainForm::TrackBar1Change() {
    if (!MediaSyncEnabled || !mediaGraph_ || !mediaGraph_->HasControl())
        return;
    MediaSyncEnabled = false;
    MediaPosition = ui_.TrackBar1->value();
    if (mediaGraph_->HasPosition())
        mediaGraph_->SetCurrentPosition(MediaPosition);
    MediaSyncEnabled = true;
    ShowMediaTime();
}

void TMainForm::MediaPlayExecute() {
    if (!mediaGraph_ || !mediaGraph_->HasControl())
        return;
    mediaGraph_->Run();
    Action("MediaPause")->setChecked(false);
}

void TMainForm::MediaPauseExecute() {
    // The action has toggled its check mark already.
    QAction* pause = Action("MediaPause");
    if (!mediaGraph_ || !mediaGraph_->HasControl()) {
        pause->setChecked(false);
        return;
    }
    if (pause->isChecked())
        mediaGraph_->Pause();
    else
        mediaGraph_->Run();
}

void TMainForm::MediaStopExecute() {
    if (!mediaGraph_ || !mediaGraph_->HasControl())
        return;
    mediaGraph_->Stop();
    Action("MediaPause")->setChecked(false);
}

void TMainForm::SpeedExecute(double rate) {
    if (mediaGraph_ && mediaGraph_->HasPosition())
        mediaGraph_->SetRate(rate);
}

void TMainForm::PopupMenu4Popup() {
    if (!mediaGraph_ || !mediaGraph_->HasPosition())
        return;
    const int checked = SpeedItemForRate(mediaGraph_->Rate().value_or(0));
    for (int i = 0; i < 3; ++i) Action(Latin1(kSpeedActions[i]))->setChecked(i == checked);
}

}  // namespace vs
