#pragma once

#include <QtGlobal>

class QWidget;

// Deferred window placement and the caption height. The layout pass keeps
// the platform's calling shape so the same pass runs over user32 on Windows;
// here the batch is our own list, applied to the widgets in one go at its
// end so that a container's children never show half moved.
namespace WindowPlacement {

using HDWP = quintptr;

inline constexpr unsigned SWP_NOSIZE = 0x0001;
inline constexpr unsigned SWP_NOMOVE = 0x0002;
inline constexpr unsigned SWP_NOZORDER = 0x0004;
inline constexpr unsigned SWP_NOACTIVATE = 0x0010;
inline constexpr int SM_CYCAPTION = 4;

// Opens a batch sized for count requests; 0 when count is negative.
HDWP BeginDeferWindowPos(int count);
// Adds a request (pixels, relative to the parent's inner area) and returns
// the batch handle, or 0 when the batch or the window is not valid; a failed
// request drops the whole batch. A later request for the same window
// replaces what it sets: position unless SWP_NOMOVE, size unless SWP_NOSIZE.
// Requests never change the stacking order: insertAfter is not used.
HDWP DeferWindowPos(HDWP batch, QWidget *window, QWidget *insertAfter, int x, int y, int cx, int cy,
                    unsigned flags);
// Applies every request of the batch together; false for an unknown batch.
bool EndDeferWindowPos(HDWP batch);
// Only SM_CYCAPTION is answered (0 otherwise): the title height of window's
// top-level frame, or 19 where the platform draws no title (offscreen, or
// not yet shown), the height the fixed-ratio figures are based on.
int GetSystemMetrics(int index, const QWidget *window);

} // namespace WindowPlacement
