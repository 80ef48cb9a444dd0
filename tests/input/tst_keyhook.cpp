// Enter and the arrow keys on a screen with the hook installed: real widgets,
// real key events, the window's own focus order.
#include "widgets/grid/vaSpread.h"
#include "widgets/input/modKeyHook.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QCompleter>
#include <QDialog>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Counts what reaches a control after the hook has had its say.
class KeyRecorder final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(KeyRecorder)

public:
    explicit KeyRecorder(QWidget *watched) : QObject(watched) { watched->installEventFilter(this); }
    int presses{};
    int releases{};

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Return)
            ++presses;
        if (event->type() == QEvent::KeyRelease && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Return)
            ++releases;
        return QObject::eventFilter(watched, event);
    }
};

std::unique_ptr<QWidget> MakeWindow(bool dialog, bool ourScreen)
{
    std::unique_ptr<QWidget> window = dialog ? std::make_unique<QDialog>() : std::make_unique<QWidget>();
    if (ourScreen)
        window->setProperty("parlow6Screen", true);
    new QVBoxLayout(window.get());
    return window;
}

template<typename Control>
Control *AddTo(QWidget *window, Control *control)
{
    window->layout()->addWidget(control);
    return control;
}

bool Activate(QWidget *window)
{
    window->show();
    QApplication::setActiveWindow(window);
    window->activateWindow();
    return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; }, 2000);
}

bool Focus(QWidget *control)
{
    control->setFocus(Qt::OtherFocusReason);
    return QTest::qWaitFor([control] { return QApplication::focusWidget() == control->focusWidget(); }, 2000);
}

// Where the window system sends a key: an open popup takes the keyboard.
QWidget *KeyTarget()
{
    if (QWidget *popup = QApplication::activePopupWidget())
        return popup->focusWidget() ? popup->focusWidget() : popup;
    return QApplication::focusWidget();
}

// Presses a key and lets the Tab the hook queued arrive.
void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(KeyTarget(), Qt::Key(key), modifiers);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

void Compose(const QString &preedit, const QString &commit = {})
{
    QInputMethodEvent event(preedit, {});
    event.setCommitString(commit);
    QCoreApplication::sendEvent(QApplication::focusWidget(), &event);
}

} // namespace

class tst_KeyHook final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanupTestCase() { RemoveKeyHook(); }
    void navigation_data();
    void navigation();
    void enterNeverReachesATextBox();
    void compositionKeepsEnter_data();
    void compositionKeepsEnter();
    void compositionEndsWithTheFocus();
    void holdingEnterConvertsEveryRepeat();
    void buttonTakesEnterAsPress_data();
    void buttonTakesEnterAsPress();
    void popupsKeepTheirKeys();
    void windowsOfTheHost_data();
    void windowsOfTheHost();
    void installAndRemove();
    void removalFromAPressedButton();

private:
    QWidget *field(const QString &name) const { return m_screen->findChild<QWidget *>(name); }
    QString focusedField() const;
    QString state(const QString &name) const;
    void prepare(const QString &name, const QString &text, int caret, int row);

    std::unique_ptr<QWidget> m_screen;
    QStringList m_names{u"first"_s, u"text"_s, u"memo"_s, u"combo"_s, u"list"_s,
                        u"button"_s, u"grid"_s, u"calendar"_s, u"spin"_s, u"last"_s};
};

void tst_KeyHook::initTestCase()
{
    m_screen = MakeWindow(false, true);
    auto *memo = new QPlainTextEdit;
    memo->setTabChangesFocus(true); // as on our screens: Tab leaves a memo
    auto *combo = new QComboBox;
    combo->setEditable(true);
    combo->addItems({u"現金"_s, u"代引"_s, u"振込"_s});
    auto *list = new QListWidget;
    list->addItems({u"A"_s, u"B"_s, u"C"_s});
    auto *grid = new vaSpread;
    grid->setColumns({vaSpread::ColumnSpec{u"氏名"_s}, vaSpread::ColumnSpec{u"入金日"_s}});
    grid->SetMaxRows(3);
    const QList<QWidget *> fields{new QLineEdit, new QLineEdit, memo, combo, list, new QPushButton(u"登録"_s),
                                  grid, new QCalendarWidget, new QSpinBox, new QLineEdit};
    for (qsizetype i = 0; i < fields.size(); ++i) {
        AddTo(m_screen.get(), fields[i])->setObjectName(m_names[i]);
        if (i > 0)
            QWidget::setTabOrder(fields[i - 1], fields[i]);
    }
}

void tst_KeyHook::init()
{
    InstallKeyHook();
    QVERIFY(KeyHookHandle() != 0);
    QVERIFY(Activate(m_screen.get()));
}

QString tst_KeyHook::focusedField() const
{
    for (QWidget *w = QApplication::focusWidget(); w; w = w->parentWidget()) {
        if (m_names.contains(w->objectName()))
            return w->objectName();
    }
    return {};
}

QString tst_KeyHook::state(const QString &name) const
{
    QWidget *w = field(name);
    if (auto *line = qobject_cast<QLineEdit *>(w))
        return line->text();
    if (auto *memo = qobject_cast<QPlainTextEdit *>(w))
        return memo->toPlainText();
    if (auto *combo = qobject_cast<QComboBox *>(w))
        return combo->currentText();
    if (auto *calendar = qobject_cast<QCalendarWidget *>(w))
        return calendar->selectedDate().toString(Qt::ISODate);
    if (auto *spin = qobject_cast<QSpinBox *>(w))
        return QString::number(spin->value());
    if (auto *view = qobject_cast<QAbstractItemView *>(w)) // list and grid: row, column
        return u"%1,%2"_s.arg(view->currentIndex().row()).arg(view->currentIndex().column());
    return {};
}

// Fills the field after it has the focus, since focusing may move the caret.
void tst_KeyHook::prepare(const QString &name, const QString &text, int caret, int row)
{
    QWidget *w = field(name);
    if (auto *memo = qobject_cast<QPlainTextEdit *>(w)) {
        memo->setPlainText(text);
        QTextCursor cursor(memo->document());
        cursor.setPosition(caret);
        memo->setTextCursor(cursor);
    } else if (auto *line = qobject_cast<QLineEdit *>(w)) {
        line->setText(text);
    } else if (auto *combo = qobject_cast<QComboBox *>(w)) {
        combo->setCurrentIndex(0);
    } else if (auto *list = qobject_cast<QListWidget *>(w)) {
        list->setCurrentRow(qMax(row, 0));
        if (row < 0)
            list->clearSelection();
    } else if (auto *grid = qobject_cast<vaSpread *>(w)) {
        grid->setCurrentIndex(grid->model()->index(row, 0));
    } else if (auto *calendar = qobject_cast<QCalendarWidget *>(w)) {
        calendar->setSelectedDate(QDate(2024, 5, 15));
    } else if (auto *spin = qobject_cast<QSpinBox *>(w)) {
        spin->setValue(5);
    }
}

void tst_KeyHook::navigation_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("text"); // line or memo text; the memo's caret follows
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("row");      // list or grid row; list -1: nothing selected
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QString>("focusAfter");
    QTest::addColumn<QString>("stateAfter"); // of the start field; null: not looked at

    const int enter = Qt::Key_Return, up = Qt::Key_Up, down = Qt::Key_Down;
    const Qt::KeyboardModifiers none, shift(Qt::ShiftModifier), ctrl(Qt::ControlModifier);
    const QString name = u"田中"_s, first = u"first"_s, text = u"text"_s, memo = u"memo"_s, combo = u"combo"_s,
                  list = u"list"_s, button = u"button"_s, grid = u"grid"_s, calendar = u"calendar"_s;
    auto row = [](const char *title) -> QTestData & { return QTest::newRow(title); };

    row("text box: Enter moves on") << first << name << 0 << 0 << enter << none << text << name;
    row("text box: keypad Enter moves on") << first << name << 0 << 0 << int(Qt::Key_Enter)
                                           << Qt::KeyboardModifiers(Qt::KeypadModifier) << text << name;
    row("text box: Down moves on") << first << name << 0 << 0 << down << none << text << name;
    row("text box: Up moves back") << text << name << 0 << 0 << up << none << first << name;
    row("Shift+Enter is left alone") << first << name << 0 << 0 << enter << shift << first << name;
    row("Ctrl+Enter is left alone") << first << name << 0 << 0 << enter << ctrl << first << name;
    row("Shift+Down is left alone") << text << name << 0 << 0 << down << shift << text << name;
    row("Ctrl+Up is left alone") << text << name << 0 << 0 << up << ctrl << text << name;
    row("Alt is not looked at") << first << name << 0 << 0 << down << Qt::KeyboardModifiers(Qt::AltModifier)
                                << text << name;

    row("memo: Enter at the end of a line adds a line") << memo << u"abc"_s << 3 << 0 << enter << none << memo
                                                        << u"abc\n"_s;
    row("memo: Enter on the empty last line leaves, dropping it") << memo << u"abc\n"_s << 4 << 0 << enter << none
                                                                   << combo << u"abc"_s;
    row("memo: Enter inside the text breaks the line") << memo << u"abcd"_s << 2 << 0 << enter << none << memo
                                                       << u"ab\ncd"_s;
    row("memo: Up below the first line stays") << memo << u"ab\ncd"_s << 4 << 0 << up << none << memo << u"ab\ncd"_s;
    row("memo: Up on the first line moves back") << memo << u"ab\ncd"_s << 1 << 0 << up << none << text << u"ab\ncd"_s;
    row("memo: Down above the last line stays") << memo << u"ab\ncd"_s << 1 << 0 << down << none << memo
                                                << u"ab\ncd"_s;
    row("memo: Down on the last line moves on") << memo << u"ab\ncd"_s << 4 << 0 << down << none << combo
                                                << u"ab\ncd"_s;
    row("memo: Up without line breaks moves back") << memo << u"abc"_s << 1 << 0 << up << none << text << u"abc"_s;
    row("memo: Down without line breaks moves on") << memo << u"abc"_s << 1 << 0 << down << none << combo << u"abc"_s;

    row("closed combo: Down moves on, choice kept") << combo << QString() << 0 << 0 << down << none << list
                                                    << u"現金"_s;
    row("closed combo: Enter moves on") << combo << QString() << 0 << 0 << enter << none << list << u"現金"_s;
    row("closed combo: Up moves back") << combo << QString() << 0 << 0 << up << none << memo << u"現金"_s;

    row("list: Down inside moves the selection") << list << QString() << 0 << 0 << down << none << list << u"1,0"_s;
    row("list: Down on the last item moves on") << list << QString() << 0 << 2 << down << none << button << u"2,0"_s;
    row("list: Up inside moves the selection") << list << QString() << 0 << 2 << up << none << list << u"1,0"_s;
    row("list: Up on the first item moves back") << list << QString() << 0 << 0 << up << none << combo << u"0,0"_s;
    row("list: Up with nothing selected moves back") << list << QString() << 0 << -1 << up << none << combo
                                                     << u"0,0"_s;
    row("list: Enter moves on") << list << QString() << 0 << 1 << enter << none << button << u"1,0"_s;

    row("button: Down moves on") << button << QString() << 0 << 0 << down << none << grid << QString();
    row("button: Up moves back") << button << QString() << 0 << 0 << up << none << list << QString();

    // A Tab inside the grid would go on to the next cell of the row.
    row("grid keeps Enter") << grid << QString() << 0 << 1 << enter << none << grid << u"1,0"_s;
    row("grid keeps Down") << grid << QString() << 0 << 1 << down << none << grid << u"2,0"_s;
    row("grid keeps Up") << grid << QString() << 0 << 1 << up << none << grid << u"0,0"_s;

    row("calendar keeps Enter") << calendar << QString() << 0 << 0 << enter << none << calendar << u"2024-05-15"_s;
    row("calendar keeps Down") << calendar << QString() << 0 << 0 << down << none << calendar << u"2024-05-22"_s;
    row("calendar keeps Up") << calendar << QString() << 0 << 0 << up << none << calendar << u"2024-05-08"_s;

    row("other control: Down moves on, value kept") << u"spin"_s << QString() << 0 << 0 << down << none << u"last"_s
                                                    << u"5"_s;
    row("other control: Up moves back, value kept") << u"spin"_s << QString() << 0 << 0 << up << none << calendar
                                                    << u"5"_s;
    row("other control: Enter moves on") << u"spin"_s << QString() << 0 << 0 << enter << none << u"last"_s << u"5"_s;
}

void tst_KeyHook::navigation()
{
    QFETCH(QString, start);
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(int, row);
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QString, focusAfter);
    QFETCH(QString, stateAfter);

    QVERIFY(Focus(field(start)));
    prepare(start, text, caret, row);
    Press(key, modifiers);

    QCOMPARE(focusedField(), focusAfter);
    if (!stateAfter.isNull())
        QCOMPARE(state(start), stateAfter);
}

void tst_KeyHook::enterNeverReachesATextBox()
{
    auto *box = static_cast<QLineEdit *>(field(u"first"_s));
    QVERIFY(Focus(box));
    QSignalSpy returnPressed(box, &QLineEdit::returnPressed);
    KeyRecorder reached(box);

    Press(Qt::Key_Return);
    QCOMPARE(focusedField(), u"text"_s);
    QCOMPARE(reached.presses, 0);
    QCOMPARE(returnPressed.count(), 0);
}

void tst_KeyHook::compositionKeepsEnter_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stateAfterEnter"); // null: not looked at
    QTest::addColumn<QString>("focusAfterCommit");

    QTest::newRow("text box") << u"first"_s << QString() << QString() << u"text"_s;
    // The break stays: the memo gets Enter and adds another one.
    QTest::newRow("memo on an empty last line") << u"memo"_s << u"abc\n"_s << u"abc\n\n"_s << u"memo"_s;
    QTest::newRow("closed combo") << u"combo"_s << QString() << QString() << u"list"_s;
    QTest::newRow("list") << u"list"_s << QString() << QString() << u"button"_s;
    QTest::newRow("other control") << u"spin"_s << QString() << QString() << u"last"_s;
}

void tst_KeyHook::compositionKeepsEnter()
{
    QFETCH(QString, start);
    QFETCH(QString, text);
    QFETCH(QString, stateAfterEnter);
    QFETCH(QString, focusAfterCommit);

    QVERIFY(Focus(field(start)));
    prepare(start, text, int(text.size()), 0);
    KeyRecorder reached(QApplication::focusWidget());

    Compose(u"にほん"_s);
    Press(Qt::Key_Return);
    QCOMPARE(focusedField(), start);
    QCOMPARE(reached.presses, 1);
    if (!stateAfterEnter.isNull())
        QCOMPARE(state(start), stateAfterEnter);

    Compose(QString(), u"日本"_s);
    Press(Qt::Key_Return);
    QCOMPARE(focusedField(), focusAfterCommit);
}

void tst_KeyHook::compositionEndsWithTheFocus()
{
    // A composition left behind by a click elsewhere must not hold Enter
    // back when the operator comes back to the box.
    QVERIFY(Focus(field(u"first"_s)));
    Compose(u"にほん"_s);
    QVERIFY(Focus(field(u"text"_s)));
    QVERIFY(Focus(field(u"first"_s)));

    Press(Qt::Key_Return);
    QCOMPARE(focusedField(), u"text"_s);
}

void tst_KeyHook::holdingEnterConvertsEveryRepeat()
{
    QVERIFY(Focus(field(u"first"_s)));
    static_cast<QPlainTextEdit *>(field(u"memo"_s))->clear();
    KeyRecorder comboKeys(field(u"combo"_s));

    // Key-down after key-down, each going to whatever has the focus by then.
    const QStringList focusAfterEach{u"text"_s, u"memo"_s, u"memo"_s, u"combo"_s};
    const QStringList memoAfterEach{QString(), QString(), u"\n"_s, QString()};
    for (qsizetype i = 0; i < focusAfterEach.size(); ++i) {
        QKeyEvent down(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, u"\r"_s, i > 0);
        QCoreApplication::sendEvent(QApplication::focusWidget(), &down);
        QCoreApplication::sendPostedEvents();
        QCOMPARE(focusedField(), focusAfterEach[i]);
        QCOMPARE(state(u"memo"_s), memoAfterEach[i]);
    }
    QCOMPARE(comboKeys.presses, 0);

    // The key-up is left alone: it reaches the field that has the focus now.
    QKeyEvent up(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, u"\r"_s);
    QCoreApplication::sendEvent(QApplication::focusWidget(), &up);
    QCOMPARE(comboKeys.releases, 1);
}

void tst_KeyHook::buttonTakesEnterAsPress_data()
{
    QTest::addColumn<bool>("inDialog");
    QTest::addColumn<QString>("kind");

    QTest::newRow("screen: push button") << false << u"push"_s;
    QTest::newRow("screen: tool button") << false << u"tool"_s;
    QTest::newRow("dialog: auto-default button") << true << u"autoDefault"_s;
    QTest::newRow("dialog: button that is no default") << true << u"push"_s;
}

void tst_KeyHook::buttonTakesEnterAsPress()
{
    QFETCH(bool, inDialog);
    QFETCH(QString, kind);

    const auto window = MakeWindow(inDialog, true);
    auto *defaultButton = AddTo(window.get(), new QPushButton(u"OK"_s));
    defaultButton->setDefault(true);
    QAbstractButton *button = AddTo(window.get(), new QToolButton);
    if (kind != u"tool") {
        auto *push = AddTo(window.get(), new QPushButton(u"全選択"_s));
        push->setAutoDefault(kind == u"autoDefault");
        button = push;
    }
    auto *after = AddTo(window.get(), new QLineEdit);
    QSignalSpy pressed(button, &QAbstractButton::clicked);
    QSignalSpy defaultPressed(defaultButton, &QAbstractButton::clicked);
    QVERIFY(Activate(window.get()));
    button->setFocusPolicy(Qt::StrongFocus);
    QVERIFY(Focus(button));

    Press(Qt::Key_Return);
    QCOMPARE(pressed.count(), 1);
    QCOMPARE(defaultPressed.count(), 0);
    QCOMPARE(QApplication::focusWidget(), button);

    Press(Qt::Key_Down);
    QCOMPARE(QApplication::focusWidget(), after);
    QCOMPARE(pressed.count(), 1);
}

void tst_KeyHook::popupsKeepTheirKeys()
{
    auto *combo = static_cast<QComboBox *>(field(u"combo"_s));
    QVERIFY(Focus(combo));
    combo->setCurrentIndex(0);
    combo->showPopup();
    QTRY_VERIFY_WITH_TIMEOUT(IsComboDroppedDown(combo), 2000);
    Press(Qt::Key_Down);
    QVERIFY(IsComboDroppedDown(combo));
    Press(Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(!IsComboDroppedDown(combo), 2000);
    QCOMPARE(combo->currentText(), u"代引"_s);
    QCOMPARE(focusedField(), u"combo"_s);

    // A menu opened over a text box takes Enter as a choice.
    QVERIFY(Focus(field(u"first"_s)));
    QMenu menu(m_screen.get());
    QSignalSpy triggered(menu.addAction(u"全選択"_s), &QAction::triggered);
    menu.popup(m_screen->mapToGlobal(QPoint(10, 10)));
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::activePopupWidget(), &menu, 2000);
    Press(Qt::Key_Down);
    Press(Qt::Key_Return);
    QCOMPARE(triggered.count(), 1);

    // So does the list a completer offers under a text box. (The offscreen
    // platform lets the menu take the activation with it.)
    QVERIFY(Activate(m_screen.get()));
    auto *box = static_cast<QLineEdit *>(field(u"first"_s));
    QVERIFY(Focus(box));
    box->clear();
    // The box deletes a completer of its own when it is replaced.
    auto *completer = new QCompleter(QStringList{u"daibiki"_s, u"daikin"_s}, box);
    box->setCompleter(completer);
    const auto dropCompleter = qScopeGuard([box] { box->setCompleter(nullptr); });
    QTest::keyClicks(box, u"dai"_s);
    QTRY_VERIFY_WITH_TIMEOUT(completer->popup()->isVisible(), 2000);
    Press(Qt::Key_Down);
    Press(Qt::Key_Return);
    QCOMPARE(box->text(), u"daibiki"_s);
    QCOMPARE(focusedField(), u"first"_s);
}

void tst_KeyHook::windowsOfTheHost_data()
{
    QTest::addColumn<bool>("dialog");
    QTest::addColumn<bool>("ourScreen");

    QTest::newRow("our main window") << false << true;
    QTest::newRow("our dialog") << true << true;
    QTest::newRow("host window") << false << false;
    QTest::newRow("host dialog") << true << false;
}

void tst_KeyHook::windowsOfTheHost()
{
    QFETCH(bool, dialog);
    QFETCH(bool, ourScreen);

    const auto window = MakeWindow(dialog, ourScreen);
    auto *from = AddTo(window.get(), new QLineEdit);
    auto *to = AddTo(window.get(), new QLineEdit);
    QSignalSpy returnPressed(from, &QLineEdit::returnPressed);
    QVERIFY(Activate(window.get()));
    QVERIFY(Focus(from));

    Press(Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), ourScreen ? to : from);
    QCOMPARE(returnPressed.count(), ourScreen ? 0 : 1);
}

void tst_KeyHook::installAndRemove()
{
    auto *first = static_cast<QLineEdit *>(field(u"first"_s));
    QSignalSpy returnPressed(first, &QLineEdit::returnPressed);

    // A second install keeps the hook there is.
    const quintptr installed = KeyHookHandle();
    InstallKeyHook();
    QCOMPARE(KeyHookHandle(), installed);

    RemoveKeyHook();
    QCOMPARE(KeyHookHandle(), quintptr(0));
    RemoveKeyHook();
    QCOMPARE(KeyHookHandle(), quintptr(0));
    QVERIFY(Focus(first));
    Press(Qt::Key_Return);
    Press(Qt::Key_Down);
    QCOMPARE(focusedField(), u"first"_s);
    QCOMPARE(returnPressed.count(), 1);

    InstallKeyHook();
    QVERIFY(KeyHookHandle() != 0);
    Press(Qt::Key_Down);
    QCOMPARE(focusedField(), u"text"_s);
}

void tst_KeyHook::removalFromAPressedButton()
{
    // As the main screen does: its close button removes the hook on the way out.
    const auto window = MakeWindow(false, true);
    auto *close = AddTo(window.get(), new QPushButton(u"閉じる"_s));
    AddTo(window.get(), new QLineEdit);
    connect(close, &QPushButton::clicked, window.get(), [w = window.get()] {
        RemoveKeyHook();
        w->close();
    });
    QVERIFY(Activate(window.get()));
    QVERIFY(Focus(close));

    QTest::keyPress(close, Qt::Key_Return);
    QCoreApplication::sendPostedEvents();
    QCOMPARE(KeyHookHandle(), quintptr(0));
    QVERIFY(!window->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QTEST_MAIN(tst_KeyHook)
#include "tst_keyhook.moc"
