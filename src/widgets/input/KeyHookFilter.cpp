#include "widgets/input/KeyHookFilter.h"

#include "widgets/input/modKeyHook.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace {

const QEvent::Type InjectedKeyType = static_cast<QEvent::Type>(QEvent::registerEventType());

// One queued key event of an injected Tab or Shift+Tab.
class InjectedKey final : public QEvent
{
public:
    InjectedKey(QEvent::Type keyType, bool backward)
        : QEvent(InjectedKeyType), keyType(keyType), backward(backward)
    {
    }

    const QEvent::Type keyType;
    const bool backward;
};

} // namespace

KeyHookFilter::KeyHookFilter(QObject *parent)
    : QObject(parent)
{
}

void KeyHookFilter::injectTab(bool backward)
{
    QCoreApplication::postEvent(this, new InjectedKey(QEvent::KeyPress, backward));
    QCoreApplication::postEvent(this, new InjectedKey(QEvent::KeyRelease, backward));
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

void KeyHookFilter::customEvent(QEvent *event)
{
    if (event->type() != InjectedKeyType)
        return;
    QWidget *target = QApplication::focusWidget();
    if (!target)
        return;
    const auto *injected = static_cast<const InjectedKey *>(event);
    // Qt reports Shift+Tab as Backtab with Shift held, and a widget's own
    // Tab handling (QWidget::event) then walks the focus chain.
    QKeyEvent key(injected->keyType, injected->backward ? Qt::Key_Backtab : Qt::Key_Tab,
                  injected->backward ? Qt::ShiftModifier : Qt::NoModifier, u"\t"_s);
    QCoreApplication::sendEvent(target, &key);
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

// Keeps the meta-object with this class, so that linking the hook does not
// pull in every other widget of the library.
#include "moc_KeyHookFilter.cpp"
