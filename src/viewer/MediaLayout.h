#pragma once

#include "viewer/Fitting.h"

#include <string>

namespace vs {

// Where the video host sits in the media panel.
struct VideoLayout {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const VideoLayout&, const VideoLayout&) = default;
};

// The video host's place for a videoWidth x videoHeight stream in a panelWidth x
// panelHeight media panel. Auto Size fills the panel in one direction, scaling up as well as
// down; Full Size is the native size; the fractions divide it (integer division). The host
// is centred (integer halves, so it may start left of or above the panel). Single-precision
// arithmetic, truncation toward zero. A stream without a size gives an empty host.
VideoLayout ComputeVideoLayout(int videoWidth, int videoHeight, int panelWidth, int panelHeight, ZoomMode mode);

// The speed item a playback rate checks: 0 for "0.5 X", 1 for "1 X", 2 for "2 X", -1 for none
// (by trunc(rate x 2) being 1, 2 or 4).
int SpeedItemForRate(double rate);

// A media time as shown beside the track bar: "m:ss", or "h:mm:ss" from an hour on; whole
// seconds, truncated. Negative or unknown times show as "0:00".
std::string FormatMediaTime(double seconds);

}  // namespace vs
