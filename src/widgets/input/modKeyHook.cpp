#include "widgets/input/modKeyHook.h"

#include "widgets/input/ControlKinds.h"
#include "widgets/input/KeyHookFilter.h"
#include "widgets/input/TextBoxAccess.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QThread>

namespace {

// The installed hook; owned by the application object, so it also goes when
// the application does.
QPointer<KeyHookFilter> g_keyHook;

enum class Move { PassOn, Next, Previous };

bool Convert(Move move)
{
    if (move == Move::PassOn || !g_keyHook)
        return false;
    g_keyHook->injectTab(move == Move::Previous);
    return true;
}

Move ArrowMove(bool isDown, bool leaves)
{
    if (!leaves)
        return Move::PassOn;
    return isDown ? Move::Next : Move::Previous;
}

// A focused button takes Enter as a press. Qt's push buttons do that on
// their own only as (auto-)default buttons, so the others are pressed here.
bool PressButton(QAbstractButton *button)
{
    if (auto *push = qobject_cast<QPushButton *>(button); push && (push->autoDefault() || push->isDefault()))
        return false;
    button->click();
    return true;
}

} // namespace

void InstallKeyHook()
{
    // One hook per thread: a second would move two fields per key.
    if (g_keyHook)
        return;
    auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
    // Without a widget application on this thread there is nothing to hook;
    // the screens then work without the conversion.
    if (!app || app->thread() != QThread::currentThread())
        return;
    g_keyHook = new KeyHookFilter(app);
    app->installEventFilter(g_keyHook);
}

void RemoveKeyHook()
{
    if (!g_keyHook)
        return;
    KeyHookFilter *hook = g_keyHook;
    g_keyHook.clear();
    if (QCoreApplication *app = QCoreApplication::instance())
        app->removeEventFilter(hook);
    // The removal may come from a button the hook itself is pressing.
    hook->deleteLater();
}

quintptr KeyHookHandle()
{
    return reinterpret_cast<quintptr>(g_keyHook.data());
}

QWidget *ActiveScreen()
{
    // Qt has an active window only while the application holds the
    // foreground, so this also answers whether our screen is in front.
    QWidget *window = QApplication::activeWindow();
    if (window && window->property("parlow6Screen").toBool())
        return window;
    return nullptr;
}

QWidget *ActiveControl()
{
    QWidget *screen = ActiveScreen();
    return screen ? screen->focusWidget() : nullptr;
}

bool IsImeComposing()
{
    return g_keyHook && g_keyHook->isComposingIn(ActiveControl());
}

bool KeyboardHookProc(const QKeyEvent &event)
{
    if (event.type() != QEvent::KeyPress || !ActiveScreen())
        return false;
    // An open menu, drop-down list or completer has the keyboard to itself.
    if (QApplication::activePopupWidget())
        return false;
    if (event.modifiers() & (Qt::ControlModifier | Qt::ShiftModifier))
        return false;
    const int key = event.key();
    const bool isEnter = key == Qt::Key_Return || key == Qt::Key_Enter;
    const bool isDown = key == Qt::Key_Down;
    if (!isEnter && !isDown && key != Qt::Key_Up)
        return false;

    QWidget *control = ActiveControl();
    if (!control)
        return false;
    const Move forward = isEnter || isDown ? Move::Next : Move::Previous;

    // The order of these tests decides for controls that are more than one kind.
    if (IsCalendarControl(control))
        return false;
    if (QAbstractButton *button = AsCommandButton(control); button && isEnter)
        return PressButton(button);
    if (IsGridControl(control))
        return false;
    if (TextBoxAccess box(control); box.isTextBox()) {
        if (isEnter)
            return !IsImeComposing() && TextBoxEnterLeaves() && Convert(Move::Next);
        return Convert(ArrowMove(isDown, isDown ? TextBoxDownLeaves() : TextBoxUpLeaves()));
    }
    if (auto *combo = qobject_cast<QComboBox *>(control)) {
        if (IsComboDroppedDown(combo) || (isEnter && IsImeComposing()))
            return false;
        return Convert(forward);
    }
    if (AsListBox(control) && !isEnter)
        return Convert(ArrowMove(isDown, isDown ? ListBoxDownLeaves() : ListBoxUpLeaves()));
    if (isEnter && IsImeComposing())
        return false;
    return Convert(forward);
}
