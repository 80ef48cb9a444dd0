// Enter and the arrow keys on a small screen with the hook installed: real
// widgets, real key events, the window's own focus order.
#include "GridFixture.h"
#include "widgets/ScreenSetup.h"
#include "widgets/input/modKeyHook.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

// at: memo caret, list item, grid row (row 2 being edited); state: of the start field after the key.
struct Nav { QString start, memoText; int at; QKeyCombination key; QString focusAfter, stateAfter;
             bool marked = true; };

class tst_KeyNav final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanupTestCase() { RemoveKeyHook(); }

    void initTestCase()
    {
        ScreenSetup::PrepareScreen(&m_screen, u"frmTest"_s, u"入金"_s);
        auto *layout = new QVBoxLayout(&m_screen);
        auto add = [&]<class Control>(Control *control, const QString &name) {
            layout->addWidget(control);
            control->setObjectName(name);
            return control;
        };
        add(new QLineEdit, u"text"_s);
        add(new QPlainTextEdit, u"memo"_s)->setTabChangesFocus(true); // as on our screens
        add(new QComboBox, u"combo"_s)->addItems({u"現金"_s, u"代引"_s});
        add(new QListWidget, u"list"_s)->addItems({u"A"_s, u"B"_s, u"C"_s});
        connect(add(new QPushButton, u"button"_s), &QPushButton::clicked, this, [this] { ++m_presses; });
        add(makeTestGrid(3).release(), u"grid"_s);
        add(new QCalendarWidget, u"calendar"_s);
        add(new QCheckBox, u"check"_s);
        InstallKeyHook();
        m_screen.show();
        m_screen.activateWindow();
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::activeWindow(), &m_screen, 2000);
    }

    void navigation_data()
    {
        QTest::addColumn<Nav>("c");
        const QKeyCombination enter(Qt::Key_Return), up(Qt::Key_Up), down(Qt::Key_Down);
        const QString text = u"text"_s, memo = u"memo"_s, combo = u"combo"_s, list = u"list"_s, button = u"button"_s,
                      grid = u"grid"_s, calendar = u"calendar"_s, check = u"check"_s, lines = u"ab\ncd"_s;
        const auto row = [](const char *name, const Nav &nav) { QTest::newRow(name) << nav; };
        row("text box: Enter moves on", {text, {}, 0, enter, memo, {}});
        row("Shift+Enter is left alone", {text, {}, 0, (Qt::ShiftModifier | Qt::Key_Return), text, {}});
        row("window not marked as a screen", {text, {}, 0, enter, text, {}, false});
        row("memo: Enter at the end adds a line", {memo, u"abc"_s, 3, enter, memo, u"abc\n"_s});
        row("memo: Enter on an empty last line leaves, dropping it", {memo, u"abc\n"_s, 4, enter, combo, u"abc"_s});
        row("memo: Up below the first line stays", {memo, lines, 4, up, memo, lines});
        row("memo: Up on the first line moves back", {memo, lines, 1, up, text, lines});
        row("memo: Down above the last line stays", {memo, lines, 1, down, memo, lines});
        row("memo: Down on the last line moves on", {memo, lines, 4, down, combo, lines});
        row("closed combo: Enter moves on", {combo, {}, 0, enter, list, {}});
        row("list: Up from the middle stays", {list, {}, 1, up, list, u"0"_s});
        row("list: Up on the first item moves back", {list, {}, 0, up, combo, u"0"_s});
        row("list: Down on the last item moves on", {list, {}, 2, down, button, u"2"_s});
        row("button: Enter presses it", {button, {}, 0, enter, button, u"1"_s});
        row("button: Down moves on", {button, {}, 0, down, grid, u"0"_s});
        const QString nameColumn = QString::number(TestColumns::ColName - 1);
        row("grid keeps Down", {grid, {}, 0, down, grid, u"1,"_s + nameColumn});
        row("grid's cell editor keeps Enter", {grid, {}, 2, enter, grid, u"2,"_s + nameColumn});
        row("calendar keeps Enter", {calendar, {}, 0, enter, calendar, {}});
        row("check box: Enter moves on, unticked", {check, {}, 0, enter, text, u"0"_s});
    }

    void navigation()
    {
        QFETCH(Nav, c);
        const auto &[start, memoText, at, key, focusAfter, stateAfter, marked] = c;
        m_screen.setProperty(ScreenSetup::ScreenProperty, marked);
        QVERIFY(focus(start));
        auto *memo = field<QPlainTextEdit>(u"memo"_s);
        auto *list = field<QListWidget>(u"list"_s);
        auto *grid = field<vaSpread>(u"grid"_s);
        memo->setPlainText(memoText);
        QTextCursor caret(memo->document());
        caret.setPosition(std::min(at, int(memoText.size())));
        memo->setTextCursor(caret);
        list->setCurrentRow(at);
        grid->setCurrentIndex(grid->model()->index(at, TestColumns::ColName - 1));
        if (start == u"grid" && at == 2)
            grid->edit(grid->currentIndex());
        m_presses = 0;

        press(key);
        m_screen.setProperty(ScreenSetup::ScreenProperty, true);
        QCOMPARE(focusedField(), focusAfter);
        const QModelIndex cell = grid->currentIndex();
        const QHash<QString, QString> state{{u"memo"_s, memo->toPlainText()},
                                            {u"list"_s, QString::number(list->currentRow())},
                                            {u"grid"_s, u"%1,%2"_s.arg(cell.row()).arg(cell.column())},
                                            {u"button"_s, QString::number(m_presses)},
                                            {u"check"_s, QString::number(field<QCheckBox>(u"check"_s)->isChecked())}};
        if (!stateAfter.isNull())
            QCOMPARE(state.value(start), stateAfter);
    }

    void compositionKeepsEnter()
    {
        QInputMethodEvent composing(u"にほん"_s, {}), committed;
        committed.setCommitString(u"日本"_s);
        for (QInputMethodEvent *last : {&composing, &committed}) {
            QVERIFY(focus(u"text"_s));
            QCoreApplication::sendEvent(QApplication::focusWidget(), &composing);
            QCoreApplication::sendEvent(QApplication::focusWidget(), last);
            press(QKeyCombination(Qt::Key_Return));
            QCOMPARE(focusedField(), last == &composing ? u"text"_s : u"memo"_s);
        }
        // A composition the focus took away with it holds nothing back.
        QVERIFY(focus(u"text"_s));
        QCoreApplication::sendEvent(QApplication::focusWidget(), &composing);
        QVERIFY(focus(u"memo"_s) && focus(u"text"_s));
        press(QKeyCombination(Qt::Key_Return));
        QCOMPARE(focusedField(), u"memo"_s);
    }

private:
    QString focusedField() const
    {
        for (QWidget *w = QApplication::focusWidget(); w; w = w->parentWidget()) {
            if (w->parentWidget() == &m_screen)
                return w->objectName();
        }
        return {};
    }
    bool focus(const QString &name)
    {
        field<QWidget>(name)->setFocus(Qt::OtherFocusReason);
        return QTest::qWaitFor([&] { return focusedField() == name; }, 2000);
    }
    static void press(QKeyCombination key)
    {
        QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
        // Let the Tab the hook queued arrive.
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }

    template <class Control>
    Control *field(const QString &name) const { return m_screen.findChild<Control *>(name); }

    QWidget m_screen;
    int m_presses = 0;
};

QTEST_MAIN(tst_KeyNav)
#include "tst_keynav.moc"
