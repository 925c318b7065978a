#include "formats/Animation.h"

#include "graphics/Errors.h"

#include <algorithm>
#include <string>

namespace vs {

void CheckCanvasAgainstData(std::int64_t width, std::int64_t height, std::size_t fileBytes, const char* format) {
    CheckPictureSize(width, height);
    constexpr std::uint64_t kFreePixels = std::uint64_t{1} << 22;
    const std::uint64_t canPaint = std::max<std::uint64_t>(kFreePixels, std::uint64_t{4096} * fileBytes);
    if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > canPaint)
        throw DecodeError(std::string(format) + ": the canvas is larger than the file's data can fill");
}

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
