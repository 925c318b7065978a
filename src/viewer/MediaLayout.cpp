#include "viewer/MediaLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vs {

VideoLayout ComputeVideoLayout(int videoWidth, int videoHeight, int panelWidth, int panelHeight, ZoomMode mode) {
    int width = 0;
    int height = 0;
    if (videoWidth > 0 && videoHeight > 0) {
        switch (mode) {
            case ZoomMode::AutoSize: {
                const float r = static_cast<float>(videoHeight) / static_cast<float>(videoWidth);
                const float panelW = static_cast<float>(panelWidth);
                const float panelH = static_cast<float>(panelHeight);
                float w = 0;
                float h = 0;
                // A panel not laid out yet (no width) has nothing to fill.
                if (panelWidth > 0 && panelH / panelW > r) {
                    w = panelW;
                    h = r * w;
                } else if (panelWidth > 0) {
                    h = panelH;
                    w = h / r;
                }
                width = static_cast<int>(w);
                height = static_cast<int>(h);
                break;
            }
            case ZoomMode::FullSize:
                width = videoWidth;
                height = videoHeight;
                break;
            case ZoomMode::HalfSize:
                width = videoWidth / 2;
                height = videoHeight / 2;
                break;
            case ZoomMode::QuarterSize:
                width = videoWidth / 4;
                height = videoHeight / 4;
                break;
            case ZoomMode::EighthSize:
                width = videoWidth / 8;
                height = videoHeight / 8;
                break;
        }
    }
    return {(panelWidth - width) / 2, (panelHeight - height) / 2, width, height};
}

int SpeedItemForRate(double rate) {
    switch (static_cast<int>(std::trunc(rate * 2))) {
        case 1:
            return 0;
        case 2:
            return 1;
        case 4:
            return 2;
        default:
            return -1;
    }
}

std::string FormatMediaTime(double seconds) {
    long long total = 0;
    if (std::isfinite(seconds) && seconds > 0)
        total = static_cast<long long>(std::min(seconds, 1e12));
    char text[48];
    if (total >= 3600)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", total / 3600, total / 60 % 60, total % 60);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", total / 60, total % 60);
    return text;
}

}  // namespace vs
