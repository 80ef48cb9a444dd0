#pragma once

#include "core/layout/AnchorTable.h"

#include <optional>

// Where the anchor words put a control, worked out from its design entry and
// the form's size; the widget side only applies the results. Sizes are in
// twips unless a name says pixels.
namespace AnchorArithmetic {

// The form's outer size now and as designed, and their ratios.
struct FormSize
{
    qint64 width = 0;
    qint64 height = 0;
    qint64 designWidth = 0;
    qint64 designHeight = 0;
    double widthRatio = 0;
    double heightRatio = 0;
};

// A placement request for a control with a window of its own, in pixels.
struct PixelRect
{
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
    bool keepsSize = false; // only the position is to change
};

// What to set on a windowless control or the grid; unset fields stay.
struct TwipsRect
{
    std::optional<double> left;
    std::optional<double> top;
    std::optional<double> width;
    std::optional<double> height;
};

// The whole number at the start of a WindowSizeIndex text, halves to even:
// blanks, sign, digits, fraction and an exponent (E or D) that counts only
// when digits follow it. 0 for empty or non-numeric text; none when it does
// not fit 16 bits, which stops the layout.
std::optional<qint16> SizeMode(const QString &text);

// Twips to pixels: to the nearest twip first, then whole-number division.
int ToPixels(double twips, int perPixel);

// The anchor stage.
PixelRect AnchorWindow(const AnchorEntry &entry, const FormSize &form, int twipsPerPixelX, int twipsPerPixelY);
TwipsRect AnchorLabel(const AnchorEntry &entry, const FormSize &form);
TwipsRect AnchorGrid(const AnchorEntry &entry, const FormSize &form);

// The fixed-ratio stage (size mode 2): the suite's small-screen layout, a
// 1024 x 740 design shown in 800 x 600 under the platform's caption.
double FixedWidthRatio();
double FixedHeightRatio(int captionHeight);
// Grid columns shrink a shade more than the grid, so the last one is not cut.
inline constexpr double ColumnMargin = 0.99;
PixelRect ScaledWindow(const AnchorEntry &entry, const FormSize &form, int twipsPerPixelX, int twipsPerPixelY);
TwipsRect ScaledTwips(const AnchorEntry &entry, const FormSize &form);

} // namespace AnchorArithmetic
