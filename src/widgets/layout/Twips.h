#pragma once

class QWidget;

// Screen geometry is designed in twips (1/1440 inch). Pixels are whole-number
// divisions by the screen's twips per pixel, as the suite's other screens do.
namespace Twips {

int PerPixelX(const QWidget *widget = nullptr);
int PerPixelY(const QWidget *widget = nullptr);
inline int ToPixelsX(int twips, const QWidget *widget = nullptr) { return twips / PerPixelX(widget); }
inline int ToPixelsY(int twips, const QWidget *widget = nullptr) { return twips / PerPixelY(widget); }
// Places widget at a design rectangle given in twips.
void SetGeometry(QWidget *widget, int left, int top, int width, int height);

} // namespace Twips
