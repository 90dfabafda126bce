#pragma once
#include "game/Look.h"

#include <QPaintDevice>
#include <cmath>

// Twips a pixel on the screen a widget shows on: 1440 to a logical inch (15 at 96 dots an inch), so that
// the game's text, sized in points, keeps its proportions to the window at any screen scaling.
inline double twipsPerPixel(const QPaintDevice& device) {
    const int dpi = device.logicalDpiY();
    return dpi > 0 ? 1440.0 / dpi : kTwipsPerPixel;
}

inline int twipsToPixels(double twips, double perPixel) {
    return static_cast<int>(std::lround(twips / perPixel));
}
