#include "widgets/input/ControlKinds.h"

#include <QAbstractButton>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextEdit>

namespace {

// Walks from the widget up to its window, so that the inner parts of a
// composite control (editor, viewport, navigation bar) are recognised.
template<typename Test>
bool AnyInWindow(const QWidget *widget, Test test)
{
    for (const QWidget *w = widget; w; w = w->parentWidget()) {
        if (test(w))
            return true;
        if (w->isWindow())
            break;
    }
    return false;
}

bool HasClassName(const QWidget *w, const char *className)
{
    return qstrcmp(w->metaObject()->className(), className) == 0;
}

} // namespace

bool IsCalendarControl(const QWidget *widget)
{
    return AnyInWindow(widget, [](const QWidget *w) {
        return qobject_cast<const QCalendarWidget *>(w) || HasClassName(w, "MonthView");
    });
}

bool IsGridControl(const QWidget *widget)
{
    return AnyInWindow(widget, [](const QWidget *w) { return HasClassName(w, "vaSpread"); });
}

QAbstractButton *AsCommandButton(QWidget *widget)
{
    auto *button = qobject_cast<QAbstractButton *>(widget);
    if (!button || qobject_cast<QCheckBox *>(button) || qobject_cast<QRadioButton *>(button))
        return nullptr;
    return button;
}

bool IsTextBox(const QWidget *widget)
{
    return qobject_cast<const QLineEdit *>(widget) || qobject_cast<const QPlainTextEdit *>(widget)
           || qobject_cast<const QTextEdit *>(widget);
}

QAbstractItemView *AsListBox(QWidget *widget)
{
    return qobject_cast<QListView *>(widget);
}
