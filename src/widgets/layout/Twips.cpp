#include "widgets/layout/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {

// 96 dpi gives the familiar 15 twips per pixel.
int perPixel(const QWidget *widget, qreal (QScreen::*dpi)() const)
{
    const QScreen *screen = widget && widget->screen() ? widget->screen() : QGuiApplication::primaryScreen();
    const int value = screen && (screen->*dpi)() > 0 ? qRound(1440.0 / (screen->*dpi)()) : 15;
    return value > 0 ? value : 1;
}

} // namespace

namespace Twips {

int PerPixelX(const QWidget *widget)
{
    return perPixel(widget, &QScreen::logicalDotsPerInchX);
}

int PerPixelY(const QWidget *widget)
{
    return perPixel(widget, &QScreen::logicalDotsPerInchY);
}

void SetGeometry(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(ToPixelsX(left, widget), ToPixelsY(top, widget), ToPixelsX(width, widget),
                        ToPixelsY(height, widget));
}

} // namespace Twips
