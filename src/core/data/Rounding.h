#pragma once

#include <QtGlobal>

#include <cmath>
#include <limits>
#include <optional>

// Halves go to the even neighbour, the way the suite rounds both amounts and
// layout figures; the plain std::round would move every half up.
inline double RoundHalfEven(double value)
{
    // Rounding to nearest, ties to even, is the default mode, and nothing
    // here changes it.
    return std::nearbyint(value);
}

// Whole yen from an amount that may carry a fraction, halves to the even
// neighbour; nothing for NaN. An amount past what qint64 holds stays past
// every range the program checks, rather than becoming no amount.
inline std::optional<qint64> YenOf(double amount)
{
    constexpr double Limit = 9.2e18;
    if (std::isnan(amount))
        return std::nullopt;
    if (std::fabs(amount) >= Limit)
        return amount > 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
    return qint64(RoundHalfEven(amount));
}
