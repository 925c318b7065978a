#pragma once

#include "formats/Animation.h"
#include "graphics/Bitmap.h"

#include <memory>
#include <optional>
#include <string>

namespace vs {

// Plays the shown picture's frames in a loop when it is an animation (GIF, WebP) of more
// than one frame. Frames are decoded as they are due, so at most one frame ahead is kept.
class PictureAnimation {
public:
    // Opens path as an animation of kind; false, and stopped, when the kind has none, the
    // file has a single frame or cannot be read. The first frame is then the one shown.
    bool Start(const std::string& path, int kind, Rgb matte);
    void Stop() {
        decoder_.reset();
        next_.reset();
    }
    bool Running() const { return decoder_ != nullptr; }
    // How long the current frame stays, in milliseconds.
    int Delay() const { return delayMs_; }
    // Moves to the next frame, after the last to the first; false, and stopped, when the
    // file turns out damaged there.
    bool Advance(Bitmap& picture);

private:
    std::unique_ptr<AnimationDecoder> decoder_;
    std::optional<AnimationFrame> next_;  // the second frame, read while telling a still picture
    int delayMs_ = 0;
};

}  // namespace vs
