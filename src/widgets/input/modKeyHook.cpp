#include "widgets/input/modKeyHook.h"

#include "widgets/ScreenSetup.h"
#include "widgets/input/ControlKinds.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QThread>

using namespace Qt::StringLiterals;

namespace {

// Qt has no thread keyboard hook; an application-wide event filter sees each
// key-down before the focused widget does and can discard it just the same.
// It also follows the input method, whose composition state Qt does not
// report, and it injects Tab and Shift+Tab.
class KeyHookFilter final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(KeyHookFilter)

public:
    using QObject::QObject;

    // Queues Tab (Shift+Tab when backward), press then release, behind the
    // event being handled. Each reaches whatever widget has the focus when
    // it is delivered, as typed keys do.
    void injectTab(bool backward);

    // An input-method composition is in progress in that widget.
    bool isComposingIn(const QWidget *widget) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void followComposition(QWidget *widget, const QInputMethodEvent &event);

    QPointer<QWidget> m_composing;
};

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

void KeyHookFilter::injectTab(bool backward)
{
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QMetaObject::invokeMethod(
            this,
            [type, backward] {
                QWidget *target = QApplication::focusWidget();
                if (!target)
                    return;
                // Qt reports Shift+Tab as Backtab with Shift held, and a widget's
                // own Tab handling (QWidget::event) then walks the focus chain.
                QKeyEvent key(type, backward ? Qt::Key_Backtab : Qt::Key_Tab,
                              backward ? Qt::ShiftModifier : Qt::NoModifier, u"\t"_s);
                QCoreApplication::sendEvent(target, &key);
            },
            Qt::QueuedConnection);
    }
}

bool KeyHookFilter::isComposingIn(const QWidget *widget) const
{
    return widget && m_composing == widget;
}

bool KeyHookFilter::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        // An ignored key travels on to the parents; only its first stop, the
        // focused widget, is the keystroke itself.
        if (watched->isWidgetType() && watched == QApplication::focusWidget())
            return KeyboardHookProc(*static_cast<QKeyEvent *>(event));
        break;
    case QEvent::InputMethod:
        if (watched->isWidgetType() && watched == QApplication::focusWidget())
            followComposition(static_cast<QWidget *>(watched), *static_cast<QInputMethodEvent *>(event));
        break;
    case QEvent::FocusOut:
        // Input methods finish or drop a composition when the focus leaves.
        if (watched == m_composing)
            m_composing.clear();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void KeyHookFilter::followComposition(QWidget *widget, const QInputMethodEvent &event)
{
    if (event.preeditString().isEmpty()) {
        if (m_composing == widget)
            m_composing.clear();
    } else {
        m_composing = widget;
    }
}

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

QWidget *ActiveScreen()
{
    // Qt has an active window only while the application holds the
    // foreground, so this also answers whether our screen is in front.
    QWidget *window = QApplication::activeWindow();
    if (ScreenSetup::IsScreen(window))
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
    if (IsTextBox(control)) {
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

#include "modKeyHook.moc"
