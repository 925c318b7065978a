#include "formats/Animation.h"
#include "formats/ModernReaders.h"

#include "graphics/Alpha.h"
#include "graphics/Errors.h"

#include <memory>
#include <vector>

#include <webp/decode.h>
#include <webp/demux.h>

namespace vs {

namespace {

// The frames of an animation, composed on their canvas by libwebp's animation decoder.
class WebpComposer {
public:
    WebpComposer(std::span<const std::uint8_t> data, Rgb matte) : matte_(matte) {
        WebPAnimDecoderOptions options;
        if (!WebPAnimDecoderOptionsInit(&options))
            throw DecodeError("WebP: animation decoder unavailable");
        options.color_mode = MODE_BGRA;
        const WebPData webp{data.data(), data.size()};
        decoder_.reset(WebPAnimDecoderNew(&webp, &options));
        WebPAnimInfo info;
        if (!decoder_ || !WebPAnimDecoderGetInfo(decoder_.get(), &info))
            throw DecodeError("WebP: damaged animation");
        CheckPictureSize(info.canvas_width, info.canvas_height);
        width_ = static_cast<int>(info.canvas_width);
        height_ = static_cast<int>(info.canvas_height);
    }

    bool Next(AnimationFrame& frame) {
        if (!WebPAnimDecoderHasMoreFrames(decoder_.get()))
            return false;
        std::uint8_t* pixels = nullptr;
        int timestamp = 0;
        if (!WebPAnimDecoderGetNext(decoder_.get(), &pixels, &timestamp) || !pixels)
            throw DecodeError("WebP: damaged animation");
        frame.picture = BgraOver(pixels, width_, height_, static_cast<std::size_t>(width_) * 4, matte_);
        // Timestamps are where each frame ends.
        frame.delayMs = ShownFrameDelay(timestamp - timestamp_);
        timestamp_ = timestamp;
        return true;
    }

    void Rewind() {
        WebPAnimDecoderReset(decoder_.get());
        timestamp_ = 0;
    }

private:
    struct Delete {
        void operator()(WebPAnimDecoder* d) const { WebPAnimDecoderDelete(d); }
    };
    Rgb matte_;
    std::unique_ptr<WebPAnimDecoder, Delete> decoder_;
    int width_ = 0, height_ = 0;
    int timestamp_ = 0;
};

// The decoder reads from the bytes it was made with: they live here, before it.
class WebpAnimation : public AnimationDecoder {
public:
    WebpAnimation(std::vector<std::uint8_t> data, Rgb matte) : data_(std::move(data)), composer_(data_, matte) {}
    bool Next(AnimationFrame& frame) override { return composer_.Next(frame); }
    void Rewind() override { composer_.Rewind(); }

private:
    std::vector<std::uint8_t> data_;
    WebpComposer composer_;
};

WebPBitstreamFeatures Features(std::span<const std::uint8_t> data) {
    WebPBitstreamFeatures features;
    if (WebPGetFeatures(data.data(), data.size(), &features) != VP8_STATUS_OK)
        throw DecodeError("WebP: not a WebP picture");
    // The canvas size, before any decoder allocates for it.
    if (features.has_animation)
        CheckCanvasAgainstData(features.width, features.height, data.size(), "WebP");
    else
        CheckPictureSize(features.width, features.height);
    return features;
}

}  // namespace

Bitmap DecodeWebp(std::span<const std::uint8_t> data, Rgb matte) {
    const WebPBitstreamFeatures features = Features(data);
    if (features.has_animation) {
        AnimationFrame frame;
        if (!WebpComposer(data, matte).Next(frame))
            throw DecodeError("WebP: no frame in the animation");
        return std::move(frame.picture);
    }
    // libwebp allocates the picture itself, once the coded data behind the header has been
    // found: a header alone cannot make us take a gigabyte.
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config))
        throw DecodeError("WebP: decoder unavailable");
    config.output.colorspace = MODE_BGRA;
    if (WebPDecode(data.data(), data.size(), &config) != VP8_STATUS_OK)
        throw DecodeError("WebP: damaged picture");
    struct FreeOutput {
        WebPDecBuffer* buffer;
        ~FreeOutput() { WebPFreeDecBuffer(buffer); }
    } owner{&config.output};
    const WebPRGBABuffer& out = config.output.u.RGBA;
    if (config.output.width != features.width || config.output.height != features.height || !out.rgba)
        throw DecodeError("WebP: damaged picture");
    return BgraOver(out.rgba, config.output.width, config.output.height, static_cast<std::size_t>(out.stride), matte);
}

std::unique_ptr<AnimationDecoder> OpenWebpAnimation(std::vector<std::uint8_t> data, Rgb matte) {
    Features(data);
    // libwebp's animation decoder reads still pictures too, as a single frame.
    return std::make_unique<WebpAnimation>(std::move(data), matte);
}

}  // namespace vs
