#pragma once

#include "graphics/Bitmap.h"

#include <QListWidget>
#include <QPixmap>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace vs {

class Prompts;
class SoundPlayer;
class TXfAlbum;

// The album page strip: one item per page of the album FXFName, named by the page index,
// each drawn as the page's thumbnail in a FunitWidth x FunitHeight cell with a 5-pixel
// margin. The strip owns the album object it opens; thumbnails are made from the album's
// page cache as items are first drawn and kept until the next RefreshImages.
class TXFListBox : public QListWidget {
    Q_OBJECT

public:
    explicit TXFListBox(QWidget* parent = nullptr);
    ~TXFListBox() override;

    const QString& XFName() const { return FXFName; }
    void SetFXFName(const QString& name);
    int UnitWidth() const { return FunitWidth; }
    int UnitHeight() const { return FunitHeight; }
    void SetFunitWidth(int w);
    void SetFunitHeight(int h);
    // Height of every item: the cell and the margin above and below it.
    int ItemHeight() const { return FunitHeight + 10; }

    // -1 without an image list, else the number of thumbnails made.
    int GetbmplistCount() const;
    // Opens FXFName afresh and lists its pages; says "Can not find Mig Image!" and keeps
    // everything when the file is missing.
    void RefreshImages();
    // Makes page index's thumbnail into the image list; its index there, -1 when the page
    // cannot be fetched, 0 without an album or image list.
    int LoadSmallImage(int index);
    // Paints one item: the background (highlighted when selected), then the page's
    // thumbnail, made first when it is missing.
    void DrawItem(QPainter& painter, int index, const QRect& rect, bool selected);

    // The album the strip has open, or null.
    TXfAlbum* Album() const { return album_.get(); }
    // The thumbnail of page index, or null when it is not made yet.
    const QPixmap* PageThumbnail(int index) const;

    // Message boxes (the missing album, the page cache's messages) and the album's sound;
    // both may be null. They apply to albums opened afterwards.
    void SetPrompts(Prompts* prompts) { prompts_ = prompts; }
    void SetSoundPlayer(SoundPlayer* player) { soundPlayer_ = player; }

private:
    void CreateWnd();

    Bitmap WorkBitmap;
    std::optional<std::vector<QPixmap>> imageList_;
    QString FXFName;
    int FunitWidth = 100;
    int FunitHeight = 75;
    std::unique_ptr<TXfAlbum> album_;

    // Per page: its index in the image list, kNotMade, or kFailed (not tried again until the
    // next RefreshImages, so a broken page does not cost a read on every repaint).
    static constexpr int kNotMade = -1;
    static constexpr int kFailed = -2;
    std::vector<int> pageImage_;
    Prompts* prompts_ = nullptr;
    SoundPlayer* soundPlayer_ = nullptr;
};

}  // namespace vs
