#include "formats/Animation.h"
#include "formats/ModernReaders.h"

#include "graphics/Errors.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gif_lib.h>

namespace vs {

namespace {

struct Source {
    std::span<const std::uint8_t> data;
    std::size_t pos = 0;
};

int ReadBytes(GifFileType* gif, GifByteType* out, int length) {
    auto* src = static_cast<Source*>(gif->UserData);
    const std::size_t n =
        std::min<std::size_t>(static_cast<std::size_t>(std::max(length, 0)), src->data.size() - src->pos);
    if (n > 0)  // an empty file has no bytes to point at
        std::memcpy(out, src->data.data() + src->pos, n);
    src->pos += n;
    return static_cast<int>(n);
}

[[noreturn]] void Fail(int code) {
    const char* text = GifErrorString(code);
    throw DecodeError(std::string("GIF: ") + (text ? text : "damaged file"));
}

void Fill(Bitmap& bitmap, int left, int top, int right, int bottom, Rgb colour) {
    for (int y = top; y < bottom; ++y)
        for (std::uint8_t* px = bitmap.row(y) + 3 * static_cast<std::size_t>(left);
             px != bitmap.row(y) + 3 * static_cast<std::size_t>(right); px += 3) {
            px[0] = colour.b;
            px[1] = colour.g;
            px[2] = colour.r;
        }
}

// Reads the frames of a GIF one by one and lays each over the canvas the earlier ones left,
// after the previous frame's disposal: 0 and 1 leave it, 2 clears its area to the matte
// (GIF's background is transparent in every viewer today), 3 restores what was under it.
class GifComposer {
public:
    GifComposer(std::span<const std::uint8_t> data, Rgb matte) : source_{data, 0}, matte_(matte) { Open(); }

    bool Next(AnimationFrame& frame) {
        Control control;
        for (;;) {
            GifRecordType type = UNDEFINED_RECORD_TYPE;
            if (DGifGetRecordType(gif_.get(), &type) == GIF_ERROR)
                Fail(gif_->Error);
            if (type == TERMINATE_RECORD_TYPE) {
                if (canvas_.empty())
                    throw DecodeError("GIF: no picture in the file");
                return false;
            }
            if (type == EXTENSION_RECORD_TYPE) {
                ReadExtension(control);
                continue;
            }
            if (type != IMAGE_DESC_RECORD_TYPE)
                continue;
            if (DGifGetImageDesc(gif_.get()) == GIF_ERROR)
                Fail(gif_->Error);
            DrawFrame(control);
            frame.picture = canvas_;
            frame.delayMs = ShownFrameDelay(control.delayCs * 10);
            return true;
        }
    }

    void Rewind() {
        source_.pos = 0;
        canvas_ = Bitmap();
        saved_ = Bitmap();
        disposal_ = 0;
        Open();
    }

private:
    // What a graphic control block says about the picture after it.
    struct Control {
        int transparent = -1;
        int disposal = 0;
        int delayCs = 0;
    };
    struct Close {
        void operator()(GifFileType* g) const {
            int ignored = 0;
            DGifCloseFile(g, &ignored);
        }
    };

    void Open() {
        int error = 0;
        gif_.reset(DGifOpen(&source_, ReadBytes, &error));
        if (!gif_)
            Fail(error);
    }

    void ReadExtension(Control& control) {
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(gif_.get(), &code, &block) == GIF_ERROR)
            Fail(gif_->Error);
        if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
            control.transparent = (block[1] & 1) ? block[4] : -1;
            control.disposal = (block[1] >> 2) & 7;
            control.delayCs = block[2] | (block[3] << 8);
        }
        while (block)
            if (DGifGetExtensionNext(gif_.get(), &block) == GIF_ERROR)
                Fail(gif_->Error);
    }

    void DrawFrame(const Control& control) {
        const GifImageDesc& desc = gif_->Image;
        const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif_->SColorMap;
        if (!map)
            throw DecodeError("GIF: no colour table");
        CheckPictureSize(desc.Width, desc.Height);
        if (desc.Width <= 0 || desc.Height <= 0)
            throw DecodeError("GIF: empty picture");
        if (canvas_.empty()) {
            // The logical screen; one too small for the first picture grows.
            const int screenW = std::max(gif_->SWidth, desc.Left + desc.Width);
            const int screenH = std::max(gif_->SHeight, desc.Top + desc.Height);
            CheckCanvasAgainstData(screenW, screenH, source_.data.size(), "GIF");
            canvas_ = Bitmap(screenW, screenH, PixelFormat::Bpp24);
            Fill(canvas_, 0, 0, screenW, screenH, matte_);
        } else {
            Dispose();
        }
        // Later pictures are clipped to the screen.
        left_ = std::clamp(desc.Left, 0, canvas_.width());
        top_ = std::clamp(desc.Top, 0, canvas_.height());
        right_ = std::clamp(desc.Left + desc.Width, left_, canvas_.width());
        bottom_ = std::clamp(desc.Top + desc.Height, top_, canvas_.height());
        disposal_ = control.disposal;
        // A picture clipped away entirely has nothing to save.
        if (disposal_ == 3 && right_ > left_ && bottom_ > top_) {
            saved_ = Bitmap(right_ - left_, bottom_ - top_, PixelFormat::Bpp24);
            for (int y = top_; y < bottom_; ++y)
                std::memcpy(saved_.row(y - top_), canvas_.row(y) + 3 * static_cast<std::size_t>(left_),
                            3 * static_cast<std::size_t>(right_ - left_));
        }
        std::vector<GifPixelType> line(static_cast<std::size_t>(desc.Width));
        const auto put = [&](int y) {
            if (DGifGetLine(gif_.get(), line.data(), desc.Width) == GIF_ERROR)
                Fail(gif_->Error);
            if (desc.Top + y < top_ || desc.Top + y >= bottom_)
                return;
            std::uint8_t* dst = canvas_.row(desc.Top + y) + 3 * static_cast<std::size_t>(left_);
            for (int x = left_ - desc.Left; x < right_ - desc.Left; ++x, dst += 3) {
                const int index = line[static_cast<std::size_t>(x)];
                if (index == control.transparent)
                    continue;
                if (index < map->ColorCount) {
                    const GifColorType& c = map->Colors[index];
                    dst[0] = c.Blue;
                    dst[1] = c.Green;
                    dst[2] = c.Red;
                } else {
                    dst[0] = dst[1] = dst[2] = 0;  // an index past a short table
                }
            }
        };
        if (desc.Interlace) {
            // Rows come in four passes: every 8th from 0, every 8th from 4, every 4th from 2,
            // every 2nd from 1.
            static constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass)
                for (int y = kStart[pass]; y < desc.Height; y += kStep[pass]) put(y);
        } else {
            for (int y = 0; y < desc.Height; ++y) put(y);
        }
    }

    // Undoes the previous picture as its disposal asks.
    void Dispose() {
        if (disposal_ == 2) {
            Fill(canvas_, left_, top_, right_, bottom_, matte_);
        } else if (disposal_ == 3 && !saved_.empty()) {
            for (int y = top_; y < bottom_; ++y)
                std::memcpy(canvas_.row(y) + 3 * static_cast<std::size_t>(left_), saved_.row(y - top_),
                            3 * static_cast<std::size_t>(right_ - left_));
        }
        saved_ = Bitmap();
    }

    Source source_;
    Rgb matte_;
    std::unique_ptr<GifFileType, Close> gif_;
    Bitmap canvas_;
    Bitmap saved_;  // under the previous picture, for disposal 3
    int disposal_ = 0;
    int left_ = 0, top_ = 0, right_ = 0, bottom_ = 0;  // the previous picture on the canvas
};

class GifAnimation : public AnimationDecoder {
public:
    GifAnimation(std::vector<std::uint8_t> data, Rgb matte) : data_(std::move(data)), composer_(data_, matte) {}
    bool Next(AnimationFrame& frame) override { return composer_.Next(frame); }
    void Rewind() override { composer_.Rewind(); }

private:
    std::vector<std::uint8_t> data_;
    GifComposer composer_;
};

}  // namespace

Bitmap DecodeGif(std::span<const std::uint8_t> data, Rgb matte) {
    GifComposer composer(data, matte);
    AnimationFrame frame;
    composer.Next(frame);
    return std::move(frame.picture);
}

std::unique_ptr<AnimationDecoder> OpenGifAnimation(std::vector<std::uint8_t> data, Rgb matte) {
    return std::make_unique<GifAnimation>(std::move(data), matte);
}

}  // namespace vs
