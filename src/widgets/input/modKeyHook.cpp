#include "widgets/input/modKeyHook.h"

#include "widgets/ScreenSetup.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QThread>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

// The kinds of control the hook tells apart by the focused widget. Composite
// controls count as a whole: a grid's cell editor is the grid, a calendar's
// day table is the calendar. So the tests walk from the widget up to its
// window, and the inner parts of a composite control (editor, viewport,
// navigation bar) are recognised.
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

// A calendar: Qt's calendar widget or a control whose class is "MonthView".
bool IsCalendarControl(const QWidget *widget)
{
    return AnyInWindow(widget, [](const QWidget *w) {
        return qobject_cast<const QCalendarWidget *>(w) || HasClassName(w, "MonthView");
    });
}

// The grid: a control whose class is exactly "vaSpread".
bool IsGridControl(const QWidget *widget)
{
    return AnyInWindow(widget, [](const QWidget *w) { return HasClassName(w, "vaSpread"); });
}

// A push-style button; check boxes and option buttons are ordinary controls.
QAbstractButton *AsCommandButton(QWidget *widget)
{
    auto *button = qobject_cast<QAbstractButton *>(widget);
    if (!button || qobject_cast<QCheckBox *>(button) || qobject_cast<QRadioButton *>(button))
        return nullptr;
    return button;
}

// A one-line or multi-line text box: Qt's line, plain-text and text edits.
bool IsTextBox(const QWidget *widget)
{
    return qobject_cast<const QLineEdit *>(widget) || qobject_cast<const QPlainTextEdit *>(widget)
           || qobject_cast<const QTextEdit *>(widget);
}

// One of our screens when it is the active window, else null. Our screens
// carry the dynamic property "parlow6Screen" = true on their top-level widget.
QWidget *ActiveScreen()
{
    // Qt has an active window only while the application holds the
    // foreground, so this also answers whether our screen is in front.
    QWidget *window = QApplication::activeWindow();
    return window && window->property(ScreenSetup::ScreenProperty).toBool() ? window : nullptr;
}

QWidget *ActiveControl()
{
    QWidget *screen = ActiveScreen();
    return screen ? screen->focusWidget() : nullptr;
}

// A multi-line box's text, with '\n' between lines, and where its selection
// (or the caret) starts; a document position counts a line break as one.
struct MultiLineBox
{
    QTextDocument *document;
    QString text;
    int selStart;
};

std::optional<MultiLineBox> multiLineBox(QWidget *widget)
{
    if (auto *plain = qobject_cast<QPlainTextEdit *>(widget))
        return MultiLineBox{plain->document(), plain->toPlainText(), plain->textCursor().selectionStart()};
    if (auto *rich = qobject_cast<QTextEdit *>(widget))
        return MultiLineBox{rich->document(), rich->toPlainText(), rich->textCursor().selectionStart()};
    return std::nullopt;
}

// The selected item's index, -1 when nothing is selected.
int ListIndex(const QAbstractItemView *list)
{
    const QModelIndex current = list->currentIndex();
    const QItemSelectionModel *selection = list->selectionModel();
    if (!current.isValid() || !selection || !selection->isSelected(current))
        return -1;
    return current.row();
}


bool IsComboDroppedDown(const QComboBox *combo)
{
    return combo && combo->view() && combo->view()->isVisible();
}

// True when the key is to leave the focused text box: always for a one-line
// box; Up from a multi-line box's first line, Down from its last, Enter on
// its empty last line, which TextBoxEnterLeaves then drops.
bool TextBoxEnterLeaves()
{
    const std::optional<MultiLineBox> box = multiLineBox(ActiveControl());
    if (!box)
        return true;
    // Only the second Enter on an empty last line leaves, taking that line
    // with it; the rest of the box (formatting, undo history) stays as it was.
    if (box->selStart != box->text.size() || !box->text.endsWith(u'\n'))
        return false;
    QTextCursor edit(box->document);
    edit.movePosition(QTextCursor::End);
    edit.deletePreviousChar();
    return true;
}

bool TextBoxUpLeaves()
{
    // From the first line.
    const std::optional<MultiLineBox> box = multiLineBox(ActiveControl());
    return !box || !box->text.first(box->selStart).contains(u'\n');
}

bool TextBoxDownLeaves()
{
    // From the last line.
    const std::optional<MultiLineBox> box = multiLineBox(ActiveControl());
    return !box || !box->text.sliced(box->selStart).contains(u'\n');
}

// True when the arrow is to leave the focused list box.
bool ListBoxUpLeaves()
{
    const QAbstractItemView *list = qobject_cast<QListView *>(ActiveControl());
    return !list || ListIndex(list) <= 0;
}

bool ListBoxDownLeaves()
{
    const QAbstractItemView *list = qobject_cast<QListView *>(ActiveControl());
    return !list || ListIndex(list) == (list->model() ? list->model()->rowCount(list->rootIndex()) : 0) - 1;
}
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
    bool isComposingIn(const QWidget *widget) const { return widget && m_composing == widget; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> m_composing;
};

// The installed hook; owned by the application object, so it also goes when
// the application does.
QPointer<KeyHookFilter> g_keyHook;

enum class Move { Next, Previous };

bool Convert(Move move)
{
    if (!g_keyHook)
        return false;
    g_keyHook->injectTab(move == Move::Previous);
    return true;
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

// An input-method composition is in progress in the active control.
bool IsImeComposing()
{
    return g_keyHook && g_keyHook->isComposingIn(ActiveControl());
}

// Looks at one key-down on its way to the focused control. True when the key
// has been dealt with here (converted into Tab or Shift+Tab, or a button
// pressed) and must not reach the control.
bool KeyboardHookProc(const QKeyEvent &event)
{
    // An open menu, drop-down list or completer has the keyboard to itself.
    if (event.type() != QEvent::KeyPress || !ActiveScreen() || QApplication::activePopupWidget()
        || (event.modifiers() & (Qt::ControlModifier | Qt::ShiftModifier)))
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
        return (isDown ? TextBoxDownLeaves() : TextBoxUpLeaves()) && Convert(forward);
    }
    if (auto *combo = qobject_cast<QComboBox *>(control)) {
        if (IsComboDroppedDown(combo) || (isEnter && IsImeComposing()))
            return false;
        return Convert(forward);
    }
    if (qobject_cast<QListView *>(control) && !isEnter)
        return (isDown ? ListBoxDownLeaves() : ListBoxUpLeaves()) && Convert(forward);
    if (isEnter && IsImeComposing())
        return false;
    return Convert(forward);
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
        if (watched->isWidgetType() && watched == QApplication::focusWidget()) {
            auto *widget = static_cast<QWidget *>(watched);
            if (!static_cast<QInputMethodEvent *>(event)->preeditString().isEmpty())
                m_composing = widget;
            else if (m_composing == widget)
                m_composing.clear();
        }
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

#include "modKeyHook.moc"
