#include "widgets/layout/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {

int perPixel(qreal dpi)
{
    // 96 dpi gives the familiar 15 twips per pixel.
    const int value = dpi > 0 ? qRound(1440.0 / dpi) : 15;
    return value > 0 ? value : 1;
}

QScreen *screenOf(const QWidget *widget)
{
    if (widget && widget->screen())
        return widget->screen();
    return QGuiApplication::primaryScreen();
}

} // namespace

namespace Twips {

int PerPixelX(const QWidget *widget)
{
    const QScreen *screen = screenOf(widget);
    return perPixel(screen ? screen->logicalDotsPerInchX() : 96.0);
}

int PerPixelY(const QWidget *widget)
{
    const QScreen *screen = screenOf(widget);
    return perPixel(screen ? screen->logicalDotsPerInchY() : 96.0);
}

int ToPixelsX(int twips, const QWidget *widget)
{
    return twips / PerPixelX(widget);
}

int ToPixelsY(int twips, const QWidget *widget)
{
    return twips / PerPixelY(widget);
}

void SetGeometry(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(ToPixelsX(left, widget), ToPixelsY(top, widget), ToPixelsX(width, widget),
                        ToPixelsY(height, widget));
}

} // namespace Twips
