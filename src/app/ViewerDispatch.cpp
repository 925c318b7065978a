#include "app/ViewerDispatch.h"

#include "app/AppInfo.h"
#include "viewer/FileKinds.h"
#include "viewer/PictureLoader.h"

#include <filesystem>

namespace vs {

void ViewerDispatch::LeaveMediaPanel() {
    if (views_.MediaPanelVisible()) {
        views_.StopMedia();
        views_.SetMediaPanelVisible(false);
    }
}

void ViewerDispatch::Show(const std::string& shownPath, const std::string& realPath, const std::string& sizeText) {
    if (shownPath == shownFilePath)
        return;
    shownFilePath = shownPath;

    const int kind = ContentKindFromPath(shownPath);
    if (kind == kKindNone)
        return;
    std::error_code ec;
    if (!std::filesystem::exists(realPath, ec)) {
        prompts_.message("Could not find " + shownPath + "!", std::string(kApplicationTitle), Buttons::Ok, Icon::None);
        return;
    }
    animation_.Stop();

    if (IsPicture(kind)) {
        contentKind = kind;
        TXfAlbum* album = nullptr;
        if (kind == kKindAlbum)
            album = views_.OpenAlbumInStrip(realPath);
        else
            views_.SetPageStripVisible(false);
        if (!LoadImageByKind(realPath, kind, album, sourceImage_, views_.ImageBackground())) {
            prompts_.message("Could not open " + shownPath, std::string(kApplicationTitle), Buttons::Ok, Icon::None);
            return;
        }
        if (kind == kKindAlbum && album)
            views_.ShowXfToolBarFor(*album);
        else
            views_.SetXfToolBarVisible(false);
        animation_.Start(realPath, kind, views_.ImageBackground());
        views_.ShowNewImage(sourceImage_);
        LeaveMediaPanel();
        views_.SetWebPanelVisible(false);
        views_.SetTextViewVisible(false);
        views_.SetImageFrameVisible(true);
        views_.SetStatusText(sizeText);
        return;
    }

    contentKind = kind;
    if (IsMedia(kind)) {
        views_.SetPageStripVisible(false);
        views_.SetXfToolBarVisible(false);
        views_.SetImageFrameVisible(false);
        views_.SetTextViewVisible(false);
        views_.SetWebPanelVisible(false);
        views_.SetMediaPanelVisible(true);
        views_.OpenMediaFile(realPath);
    } else if (IsWeb(kind)) {
        views_.NavigateWeb("file://" + realPath);
        views_.SetPageStripVisible(false);
        views_.SetXfToolBarVisible(false);
        views_.SetImageFrameVisible(false);
        LeaveMediaPanel();
        views_.SetTextViewVisible(false);
        views_.SetWebPanelVisible(true);
    } else if (IsText(kind)) {
        views_.LoadTextView(realPath, kind);
        views_.SetPageStripVisible(false);
        views_.SetXfToolBarVisible(false);
        views_.SetImageFrameVisible(false);
        LeaveMediaPanel();
        views_.SetWebPanelVisible(false);
        views_.SetTextViewVisible(true);
    }
}

bool ViewerDispatch::AdvanceFrame() {
    Bitmap frame;
    if (!animation_.Advance(frame))
        return false;
    sourceImage_ = std::move(frame);
    return true;
}

}  // namespace vs
