#pragma once

#include <cmath>

// Rounds to the nearest whole number, halves to the even neighbour, the way
// every rounding of the layout engine goes.
inline double Nearest(double value)
{
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction > 0.5)
        return below + 1;
    if (fraction < 0.5)
        return below;
    return std::fmod(below, 2.0) == 0 ? below : below + 1;
}
