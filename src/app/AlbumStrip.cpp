// The album side of the main window: the page strip, the page commands, auto-play and the
// album's sound (recording and playback).

#include "app/TMainForm.h"

#include "app/MainLayoutParts.h"
#include "controls/TXFListBox.h"
#include "formats/XfAlbum.h"
#include "platform/Prompts.h"
#include "platform/qt/QtAudio.h"
#include "viewer/FileKinds.h"

#include <QAction>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace vs {

void TMainForm::ConnectAlbumStrip() {
    if (env_.recorder) {
        MediaPlayer1 = env_.recorder;
    } else {
        ownRecorder_ = std::make_unique<QtWaveRecorder>();
        MediaPlayer1 = ownRecorder_.get();
    }
    if (env_.soundPlayer) {
        soundPlayer_ = env_.soundPlayer;
    } else {
        ownSoundPlayer_ = std::make_unique<QtSoundPlayer>();
        soundPlayer_ = ownSoundPlayer_.get();
    }
    ui_.XFListBox1->SetPrompts(&prompts_);
    ui_.XFListBox1->SetSoundPlayer(soundPlayer_);

    ui_.PlayToolButton = qobject_cast<QToolButton*>(ui_.XfToolBar->widgetForAction(Action("PlayAudio")));
    if (ui_.PlayToolButton)
        NameControl(ui_.PlayToolButton, "PlayToolButton");
    Action("RecordAudio")->setCheckable(true);
    Action("XfAutoPlay")->setCheckable(true);

    connect(Action("PlayAudio"), &QAction::triggered, this, &TMainForm::PlayAudioExecute);
    connect(Action("RecordAudio"), &QAction::triggered, this, &TMainForm::RecordAudioExecute);
    connect(Action("PrevPage"), &QAction::triggered, this, &TMainForm::PrevPageExecute);
    connect(Action("NextPage"), &QAction::triggered, this, &TMainForm::NextPageExecute);
    connect(Action("XfAutoPlay"), &QAction::triggered, this, &TMainForm::XfAutoPlayExecute);
    connect(ui_.XfautoPlayTimer, &QTimer::timeout, this, &TMainForm::XfautoPlayTimerTimer);
    // A click on the selected item changes no selection; a key moves it without a click.
    connect(ui_.XFListBox1, &QListWidget::itemClicked, this, &TMainForm::XFListBox1Click);
    connect(ui_.XFListBox1, &QListWidget::itemSelectionChanged, this, &TMainForm::XFListBox1Click);
}

TXfAlbum* TMainForm::CurrentAlbum() const {
    // The strip keeps its album while another file is shown; the commands act only on the
    // album on screen.
    return dispatch_.contentKind == kKindAlbum ? ui_.XFListBox1->Album() : nullptr;
}

// --- the strip as the dispatch drives it --------------------------------------------------

TXfAlbum* TMainForm::OpenAlbumInStrip(const std::string& path) {
    LeaveAlbum();
    ui_.XFListBox1->SetFXFName(QString::fromStdString(path));
    ui_.XFListBox1->show();
    return ui_.XFListBox1->Album();
}

void TMainForm::SetPageStripVisible(bool visible) {
    if (!visible)
        LeaveAlbum();
    ui_.XFListBox1->setVisible(visible);
}

void TMainForm::ShowXfToolBarFor(TXfAlbum& album) {
    SetPlayToolButtonEnabled(album.HasSound);
    Action("PrevPage")->setEnabled(false);
    Action("NextPage")->setEnabled(album.PageCount > 1);
    Action("XfAutoPlay")->setEnabled(album.PageCount > 1);
    album.CurrentPage = 0;
    ui_.XfToolBar->show();
}

void TMainForm::SetXfToolBarVisible(bool visible) {
    ui_.XfToolBar->setVisible(visible);
}

void TMainForm::LeaveAlbum() {
    // Ticks would otherwise put album pages over the next file shown, and a recording would be
    // saved into whichever album is open when it is stopped: finish it for its own album.
    StopAutoPlay();
    if (recordChecked_)
        StopRecordingAndRewrite(ui_.XFListBox1->Album());
}

void TMainForm::SetPlayToolButtonEnabled(bool enabled) {
    if (ui_.PlayToolButton)
        ui_.PlayToolButton->setEnabled(enabled);
}

// --- page commands -------------------------------------------------------------------

void TMainForm::FetchAlbumPage(TXfAlbum& album, int page, bool recentre) {
    Bitmap picture;
    if (album.GetPage(page, &picture)) {
        picture.convertTo24();
        dispatch_.SetSourceImage(std::move(picture));
    }
    // A failed fetch has said why; the viewer is laid out again with the picture it holds.
    if (recentre)
        RefreshImageView();
    else
        UpdateImageView(false, /*keepFramePlace=*/true);
}

void TMainForm::StopAutoPlay() {
    ui_.XfautoPlayTimer->stop();
    Action("XfAutoPlay")->setChecked(false);
}

void TMainForm::PrevPageExecute() {
    TXfAlbum* album = CurrentAlbum();
    if (!album || album->CurrentPage == 0)
        return;
    StopAutoPlay();
    if (album->CurrentPage == 1)
        Action("PrevPage")->setEnabled(false);
    if (!Action("NextPage")->isEnabled())
        Action("NextPage")->setEnabled(true);
    FetchAlbumPage(*album, album->CurrentPage - 1, true);
}

void TMainForm::NextPageExecute() {
    TXfAlbum* album = CurrentAlbum();
    if (!album || album->CurrentPage >= album->PageCount - 1)
        return;
    StopAutoPlay();
    if (album->PageCount == album->CurrentPage + 2)
        Action("NextPage")->setEnabled(false);
    if (!Action("PrevPage")->isEnabled())
        Action("PrevPage")->setEnabled(true);
    FetchAlbumPage(*album, album->CurrentPage + 1, true);
}

void TMainForm::XFListBox1Click() {
    TXfAlbum* album = CurrentAlbum();
    if (!album)
        return;
    int index = -1;
    for (const QModelIndex& selected : ui_.XFListBox1->selectionModel()->selectedRows())
        if (index < 0 || selected.row() < index)
            index = selected.row();
    if (index < 0 || index == album->CurrentPage)
        return;
    FetchAlbumPage(*album, index, true);
    Action("PrevPage")->setEnabled(album->CurrentPage > 0);
    Action("NextPage")->setEnabled(album->CurrentPage < album->PageCount - 1);
}

void TMainForm::XfAutoPlayExecute() {
    if (ui_.XfautoPlayTimer->isActive())
        ui_.XfautoPlayTimer->stop();
    else
        ui_.XfautoPlayTimer->start();
    AutoPlayReady = ui_.XfautoPlayTimer->isActive();
    Action("XfAutoPlay")->setChecked(AutoPlayReady);
}

void TMainForm::XfautoPlayTimerTimer() {
    TXfAlbum* album = CurrentAlbum();
    if (!album || album->PageCount <= 1 || !AutoPlayReady) {
        StopAutoPlay();
        return;
    }
    // A tick arriving while this one still works (a message box of the page cache) ends
    // auto-play.
    AutoPlayReady = false;
    const int page = album->CurrentPage >= album->PageCount - 1 ? 0 : album->CurrentPage + 1;
    Action("NextPage")->setEnabled(page < album->PageCount - 1);
    Action("PrevPage")->setEnabled(page > 0);
    FetchAlbumPage(*album, page, false);
    AutoPlayReady = true;
}

// --- sound ---------------------------------------------------------------------------

void TMainForm::RecordAudioExecute() {
    QAction* record = Action("RecordAudio");
    TXfAlbum* album = CurrentAlbum();
    // The button has toggled the check mark already; it follows the recording, not the click.
    record->setChecked(recordChecked_);
    if (!album)
        return;
    if (!recordChecked_) {
        if (prompts_.message("Record Sound ?", "Record Sound", Buttons::OkCancel, Icon::Question) != Answer::Ok)
            return;
        // Without an input device nothing records and nothing is checked.
        recordChecked_ = album->StartRecording(*MediaPlayer1);
        record->setChecked(recordChecked_);
        return;
    }
    StopRecordingAndRewrite(album);
}

void TMainForm::StopRecordingAndRewrite(TXfAlbum* album) {
    recordChecked_ = false;
    Action("RecordAudio")->setChecked(false);
    if (!album)
        return;
    album->StopRecording(*MediaPlayer1);
    if (!album->RebuildAlbum())
        album->ReplaceAlbumSound();
    SetPlayToolButtonEnabled(album->HasSound);
}

void TMainForm::PlayAudioExecute() {
    TXfAlbum* album = CurrentAlbum();
    if (!album)
        return;
    if (album->Recording)
        RecordAudioExecute();
    album->PlaySoundFile();
}

void TMainForm::CloseAlbumSound() {
    StopAutoPlay();
    // Closing the window closes the recording device; an unfinished recording is dropped.
    if (recordChecked_) {
        MediaPlayer1->stop();
        MediaPlayer1->close();
        recordChecked_ = false;
        Action("RecordAudio")->setChecked(false);
    }
}

}  // namespace vs
