#include "formats/Animation.h"

namespace vs {

int ShownFrameDelay(int milliseconds) { return milliseconds < 20 ? 100 : milliseconds; }

std::vector<AnimationFrame> DecodeFrames(AnimationDecoder& decoder, std::size_t budgetBytes, int maxFrames) {
    std::vector<AnimationFrame> frames;
    std::size_t used = 0;
    AnimationFrame frame;
    while (static_cast<int>(frames.size()) < maxFrames && decoder.Next(frame)) {
        used += frame.picture.stride() * static_cast<std::size_t>(frame.picture.height());
        if (used > budgetBytes)
            break;
        frames.push_back(std::move(frame));
    }
    return frames;
}

}  // namespace vs
