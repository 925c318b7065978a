#pragma once

#include "graphics/Bitmap.h"
#include "platform/Prompts.h"
#include "viewer/PictureAnimation.h"

#include <string>

namespace vs {

class TXfAlbum;

// The views of the content area as the dispatch drives them; the main window implements
// this, tests record the calls.
class ContentViews {
public:
    virtual ~ContentViews() = default;
    // Opens the album in the page strip and shows the strip; the open album or null.
    virtual TXfAlbum* OpenAlbumInStrip(const std::string& path) = 0;
    virtual void SetPageStripVisible(bool visible) = 0;
    // Enables the album buttons for the album and shows the XF tool bar.
    virtual void ShowXfToolBarFor(TXfAlbum& album) = 0;
    virtual void SetXfToolBarVisible(bool visible) = 0;
    // Fits the new picture into the content area for the checked zoom mode.
    virtual void ShowNewImage(const Bitmap& picture) = 0;
    // The image frame's colour: transparent parts of a picture are laid over it.
    virtual Rgb ImageBackground() const = 0;
    virtual void SetImageFrameVisible(bool visible) = 0;
    virtual bool MediaPanelVisible() const = 0;
    // The media panel together with its control bar.
    virtual void SetMediaPanelVisible(bool visible) = 0;
    virtual void StopMedia() = 0;
    virtual void OpenMediaFile(const std::string& path) = 0;
    virtual void SetWebPanelVisible(bool visible) = 0;
    virtual void NavigateWeb(const std::string& url) = 0;
    virtual void SetTextViewVisible(bool visible) = 0;
    virtual void LoadTextView(const std::string& path, int kind) = 0;
    virtual void SetStatusText(const std::string& text) = 0;
};

// Turns the grid's selected file into the shown file: picks the viewer by the ending of the
// lower-cased path and switches the content area to it.
class ViewerDispatch {
public:
    ViewerDispatch(ContentViews& views, Prompts& prompts) : views_(views), prompts_(prompts) {}

    // shownPath: folder + caption in lower case, used for comparison and messages;
    // realPath: the same file under its on-disk name, used to test and open it;
    // sizeText: the grid item's dimension text for the status bar.
    void Show(const std::string& shownPath, const std::string& realPath, const std::string& sizeText);

    bool changesEnabled = true;
    std::string shownFilePath;
    int contentKind = 0;

    const Bitmap& sourceImage() const { return sourceImage_; }
    // A page command's new picture (24 bits per pixel).
    // Image1 paints these very pixels at Full Size: refresh the image view right after.
    void SetSourceImage(Bitmap picture) { sourceImage_ = std::move(picture); }

    // The shown picture is an animation: its frames replace the source image in turn.
    bool Animating() const { return animation_.Running(); }
    int FrameDelay() const { return animation_.Delay(); }
    // The next frame becomes the source image; false when the animation has ended.
    // Refresh the image view right after, as for SetSourceImage.
    bool AdvanceFrame();

private:
    void LeaveMediaPanel();

    ContentViews& views_;
    Prompts& prompts_;
    Bitmap sourceImage_;
    PictureAnimation animation_;
};

}  // namespace vs
