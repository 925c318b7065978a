#include "viewer/PictureAnimation.h"

#include "graphics/Errors.h"
#include "graphics/FileIo.h"
#include "viewer/FileKinds.h"

#include <exception>

namespace vs {

namespace {

std::unique_ptr<AnimationDecoder> OpenAnimation(const std::string& path, int kind, Rgb matte) {
    if (kind == kKindGif)
        return OpenGifAnimation(ReadFileBytes(path), matte);
    if (kind == kKindWebp)
        return OpenWebpAnimation(ReadFileBytes(path), matte);
    return nullptr;
}

}  // namespace

bool PictureAnimation::Start(const std::string& path, int kind, Rgb matte) {
    Stop();
    try {
        std::unique_ptr<AnimationDecoder> decoder = OpenAnimation(path, kind, matte);
        AnimationFrame frame;
        if (!decoder || !decoder->Next(frame))
            return false;
        const int firstDelay = frame.delayMs;
        AnimationFrame second;
        if (!decoder->Next(second))
            return false;
        delayMs_ = firstDelay;
        next_ = std::move(second);
        decoder_ = std::move(decoder);
        return true;
    } catch (const std::exception&) {  // OpenError, DecodeError, bad_alloc: a still picture
        return false;
    }
}

bool PictureAnimation::Advance(Bitmap& picture) {
    if (!decoder_)
        return false;
    try {
        AnimationFrame frame;
        if (next_) {
            frame = std::move(*next_);
            next_.reset();
        } else if (!decoder_->Next(frame)) {
            decoder_->Rewind();
            if (!decoder_->Next(frame)) {
                Stop();
                return false;
            }
        }
        picture = std::move(frame.picture);
        delayMs_ = frame.delayMs;
        return true;
    } catch (const std::exception&) {
        Stop();
        return false;
    }
}

}  // namespace vs
