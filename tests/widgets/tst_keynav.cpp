// Enter and the arrow keys on a small screen with the hook installed: real
// widgets, real key events, the window's own focus order.
#include "GridFixture.h"
#include "widgets/ScreenSetup.h"
#include "widgets/input/modKeyHook.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

class tst_KeyNav final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanupTestCase() { RemoveKeyHook(); }
    void navigation_data();
    void navigation();
    void compositionKeepsEnter();

private:
    QWidget *field(const QString &name) const { return m_screen.findChild<QWidget *>(name); }
    QString focusedField() const;
    bool focus(const QString &name);
    static void press(QKeyCombination key);

    QWidget m_screen;
    int m_presses = 0;
};

void tst_KeyNav::initTestCase()
{
    ScreenSetup::PrepareScreen(&m_screen, u"frmTest"_s, u"入金"_s);
    auto *memo = new QPlainTextEdit;
    memo->setTabChangesFocus(true); // as on our screens
    auto *combo = new QComboBox;
    combo->addItems({u"現金"_s, u"代引"_s});
    auto *list = new QListWidget;
    list->addItems({u"A"_s, u"B"_s, u"C"_s});
    auto *button = new QPushButton(u"登録"_s);
    connect(button, &QPushButton::clicked, this, [this] { ++m_presses; });
    const QList<QWidget *> fields{new QLineEdit, memo, combo, list, button, makeReceiptGrid(3).release(),
                                  new QCalendarWidget, new QLineEdit};
    const QStringList names{u"first"_s, u"memo"_s, u"combo"_s, u"list"_s,
                            u"button"_s, u"grid"_s, u"calendar"_s, u"last"_s};
    auto *layout = new QVBoxLayout(&m_screen);
    for (qsizetype i = 0; i < fields.size(); ++i) {
        layout->addWidget(fields[i]);
        fields[i]->setObjectName(names[i]);
    }
    m_screen.show();
}

void tst_KeyNav::init()
{
    InstallKeyHook();
    m_screen.activateWindow();
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::activeWindow(), &m_screen, 2000);
}

QString tst_KeyNav::focusedField() const
{
    for (QWidget *w = QApplication::focusWidget(); w; w = w->parentWidget()) {
        if (w->parentWidget() == &m_screen)
            return w->objectName();
    }
    return {};
}

bool tst_KeyNav::focus(const QString &name)
{
    field(name)->setFocus(Qt::OtherFocusReason);
    return QTest::qWaitFor([&] { return focusedField() == name; }, 2000);
}

void tst_KeyNav::press(QKeyCombination key)
{
    QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
    // The Tab the hook queued arrives.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

void tst_KeyNav::navigation_data()
{
    QTest::addColumn<bool>("marked");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("memo");
    QTest::addColumn<int>("at"); // memo caret, list or grid row
    QTest::addColumn<QKeyCombination>("key");
    QTest::addColumn<QString>("focusAfter");
    QTest::addColumn<QString>("stateAfter"); // memo text, list or grid row, button presses

    const QKeyCombination enter(Qt::Key_Return), up(Qt::Key_Up), down(Qt::Key_Down);
    auto row = [](const char *name) -> QTestData & { return QTest::newRow(name) << true; };
    row("text box: Enter moves on") << u"first"_s << QString() << 0 << enter << u"memo"_s << QString();
    row("text box: Up moves back") << u"last"_s << QString() << 0 << up << u"calendar"_s << QString();
    row("Shift+Enter is left alone") << u"first"_s << QString() << 0 << (Qt::ShiftModifier | Qt::Key_Return)
                                     << u"first"_s << QString();
    QTest::newRow("window not marked as a screen") << false << u"first"_s << QString() << 0 << enter << u"first"_s
                                                   << QString();
    row("memo: Enter at the end adds a line") << u"memo"_s << u"abc"_s << 3 << enter << u"memo"_s << u"abc\n"_s;
    row("memo: Enter on the empty last line leaves, dropping it") << u"memo"_s << u"abc\n"_s << 4 << enter
                                                                   << u"combo"_s << u"abc"_s;
    row("memo: Up below the first line stays") << u"memo"_s << u"ab\ncd"_s << 4 << up << u"memo"_s << u"ab\ncd"_s;
    row("memo: Up on the first line moves back") << u"memo"_s << u"ab\ncd"_s << 1 << up << u"first"_s
                                                 << u"ab\ncd"_s;
    row("memo: Down above the last line stays") << u"memo"_s << u"ab\ncd"_s << 1 << down << u"memo"_s
                                                << u"ab\ncd"_s;
    row("memo: Down on the last line moves on") << u"memo"_s << u"ab\ncd"_s << 4 << down << u"combo"_s
                                                << u"ab\ncd"_s;
    row("closed combo: Enter moves on") << u"combo"_s << QString() << 0 << enter << u"list"_s << QString();
    row("list: Up from the middle stays") << u"list"_s << QString() << 1 << up << u"list"_s << u"0"_s;
    row("list: Up on the first item moves back") << u"list"_s << QString() << 0 << up << u"combo"_s << u"0"_s;
    row("list: Down on the last item moves on") << u"list"_s << QString() << 2 << down << u"button"_s << u"2"_s;
    row("button: Enter presses it") << u"button"_s << QString() << 0 << enter << u"button"_s << u"1"_s;
    row("button: Down moves on") << u"button"_s << QString() << 0 << down << u"grid"_s << u"0"_s;
    row("grid keeps Down") << u"grid"_s << QString() << 0 << down << u"grid"_s << u"1"_s;
    row("grid keeps Enter") << u"grid"_s << QString() << 1 << enter << u"grid"_s << u"1"_s;
    row("calendar keeps Enter") << u"calendar"_s << QString() << 0 << enter << u"calendar"_s << QString();
}

void tst_KeyNav::navigation()
{
    QFETCH(bool, marked);
    QFETCH(QString, start);
    QFETCH(QString, memo);
    QFETCH(int, at);
    QFETCH(QKeyCombination, key);
    QFETCH(QString, focusAfter);
    QFETCH(QString, stateAfter);

    m_screen.setProperty(ScreenSetup::ScreenProperty, marked);
    QVERIFY(focus(start));
    auto *memoBox = static_cast<QPlainTextEdit *>(field(u"memo"_s));
    auto *list = static_cast<QListWidget *>(field(u"list"_s));
    auto *grid = static_cast<vaSpread *>(field(u"grid"_s));
    memoBox->setPlainText(memo);
    QTextCursor caret(memoBox->document());
    caret.setPosition(at);
    memoBox->setTextCursor(caret);
    list->setCurrentRow(at);
    grid->setCurrentIndex(grid->model()->index(at, 0));
    m_presses = 0;

    press(key);
    m_screen.setProperty(ScreenSetup::ScreenProperty, true);
    QCOMPARE(focusedField(), focusAfter);
    const QHash<QString, QString> state{{u"memo"_s, memoBox->toPlainText()},
                                        {u"list"_s, QString::number(list->currentRow())},
                                        {u"grid"_s, QString::number(grid->currentIndex().row())},
                                        {u"button"_s, QString::number(m_presses)}};
    if (!stateAfter.isNull())
        QCOMPARE(state.value(start), stateAfter);
}

void tst_KeyNav::compositionKeepsEnter()
{
    QVERIFY(focus(u"first"_s));
    QInputMethodEvent composing(u"にほん"_s, {});
    QCoreApplication::sendEvent(QApplication::focusWidget(), &composing);
    press(QKeyCombination(Qt::Key_Return));
    QCOMPARE(focusedField(), u"first"_s);

    QInputMethodEvent committed;
    committed.setCommitString(u"日本"_s);
    QCoreApplication::sendEvent(QApplication::focusWidget(), &committed);
    press(QKeyCombination(Qt::Key_Return));
    QCOMPARE(focusedField(), u"memo"_s);
}

QTEST_MAIN(tst_KeyNav)
#include "tst_keynav.moc"
