#pragma once

// Animated GIF and WebP, one composed frame at a time: the viewer keeps one canvas, not the
// whole film, so a long animation costs no more memory than a still picture of its size.

#include "graphics/Bitmap.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace vs {

struct AnimationFrame {
    Bitmap picture;   // the whole canvas, 24 bits, transparent parts on the matte
    int delayMs = 0;  // how long the frame stays; under 20 ms counts as 100 ms, as browsers do
};

class AnimationDecoder {
public:
    virtual ~AnimationDecoder() = default;
    // The next frame composed over what the earlier ones left; false after the last.
    // Throws DecodeError on damaged data.
    virtual bool Next(AnimationFrame& frame) = 0;
    // Back to before the first frame.
    virtual void Rewind() = 0;
};

// The decoders keep their own copy of the file's bytes. Both throw DecodeError when the
// data is not a picture of their kind; a still picture is an animation of one frame.
std::unique_ptr<AnimationDecoder> OpenGifAnimation(std::vector<std::uint8_t> data, Rgb matte = kWhite);
std::unique_ptr<AnimationDecoder> OpenWebpAnimation(std::vector<std::uint8_t> data, Rgb matte = kWhite);

// Throws DecodeError("<format>: ...") for a canvas far larger than fileBytes of frames could
// paint: beyond 2^22 pixels, at most 4096 pixels a byte (the most a GIF code yields). The
// uncovered canvas is background nobody stored, and a header claiming a vast one would cost
// gigabytes for a few bytes.
void CheckCanvasAgainstData(std::int64_t width, std::int64_t height, std::size_t fileBytes, const char* format);

// A frame's delay in milliseconds as the file states it to the delay shown.
int ShownFrameDelay(int milliseconds);

// Every frame from the start while their pixels stay within budgetBytes, at most maxFrames.
std::vector<AnimationFrame> DecodeFrames(AnimationDecoder& decoder, std::size_t budgetBytes, int maxFrames);

}  // namespace vs
