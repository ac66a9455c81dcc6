#pragma once
// Lengths of the button are twips: 15 to a screen pixel. The library keeps its
// own conversion and rounding so that it depends on nothing but Qt.
#include <cmath>

namespace brixel {

constexpr int TwipsPerPixel = 15;

// Nearest integer, halves to the even neighbour (292.5 -> 292, 67.5 -> 68).
// Written out rather than left to the floating-point rounding mode.
inline int roundHalfEven(double value)
{
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction > 0.5)
        return static_cast<int>(below) + 1;
    if (fraction < 0.5)
        return static_cast<int>(below);
    return std::fmod(below, 2.0) == 0.0 ? static_cast<int>(below) : static_cast<int>(below) + 1;
}

inline int pixelsToTwips(int pixels)
{
    return pixels * TwipsPerPixel;
}

inline int twipsToPixels(double twips)
{
    return roundHalfEven(twips / TwipsPerPixel);
}

} // namespace brixel
