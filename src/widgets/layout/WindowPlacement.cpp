#include "widgets/layout/WindowPlacement.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QWidget>

#include <algorithm>

namespace {

constexpr int PlainCaptionHeight = 19;

struct Request
{
    QPointer<QWidget> window;
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
    bool moves = false;
    bool sizes = false;
};

struct Batches
{
    QHash<WindowPlacement::HDWP, QList<Request>> open;
    WindowPlacement::HDWP next = 1;
};

// Everything runs on the UI thread, as the platform batch does.
Batches &batches()
{
    static Batches instance;
    return instance;
}

void apply(const Request &request)
{
    QWidget *window = request.window;
    if (!window)
        return;
    const int cx = std::max(request.cx, 0);
    const int cy = std::max(request.cy, 0);
    if (request.moves && request.sizes)
        window->setGeometry(request.x, request.y, cx, cy);
    else if (request.moves)
        window->move(request.x, request.y);
    else if (request.sizes)
        window->resize(cx, cy);
}

} // namespace

namespace WindowPlacement {

HDWP BeginDeferWindowPos(int count)
{
    if (count < 0)
        return 0;
    Batches &all = batches();
    const HDWP handle = all.next++;
    all.open[handle].reserve(count);
    return handle;
}

HDWP DeferWindowPos(HDWP batch, QWidget *window, QWidget *insertAfter, int x, int y, int cx, int cy,
                    unsigned flags)
{
    Q_UNUSED(insertAfter)
    Batches &all = batches();
    const auto found = all.open.find(batch);
    if (found == all.open.end())
        return 0;
    if (!window) {
        all.open.erase(found);
        return 0;
    }
    QList<Request> &requests = *found;
    auto request = std::find_if(requests.begin(), requests.end(),
                                [window](const Request &r) { return r.window == window; });
    if (request == requests.end()) {
        requests.append(Request{window});
        request = requests.end() - 1;
    }
    if (!(flags & SWP_NOMOVE)) {
        request->x = x;
        request->y = y;
        request->moves = true;
    }
    if (!(flags & SWP_NOSIZE)) {
        request->cx = cx;
        request->cy = cy;
        request->sizes = true;
    }
    return batch;
}

bool EndDeferWindowPos(HDWP batch)
{
    auto &open = batches().open;
    const auto found = open.find(batch);
    if (found == open.end())
        return false;
    const QList<Request> requests = std::move(*found);
    open.erase(found);
    for (const Request &request : requests)
        apply(request);
    return true;
}

int GetSystemMetrics(int index, const QWidget *window)
{
    if (index != SM_CYCAPTION)
        return 0;
    if (window) {
        const QWidget *top = window->window();
        const QRect frame = top->frameGeometry();
        const QRect inner = top->geometry();
        // Above the client area lie the caption and a border as wide as the
        // one below it.
        const int caption = (inner.top() - frame.top()) - (frame.bottom() - inner.bottom());
        if (caption > 0)
            return caption;
    }
    return PlainCaptionHeight;
}

} // namespace WindowPlacement
