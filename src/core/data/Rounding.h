#pragma once

#include <cmath>

// Halves go to the even neighbour, the way the suite rounds both amounts and
// layout figures; the plain std::round would move every half up.
inline double RoundHalfEven(double value)
{
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction > 0.5)
        return below + 1;
    if (fraction < 0.5)
        return below;
    return std::fmod(below, 2.0) == 0 ? below : below + 1;
}
