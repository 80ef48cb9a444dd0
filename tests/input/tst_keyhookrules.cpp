// The rules the key hook applies to the focused control, read from real
// widgets: text-box lines, list-box ends, control kinds.
#include "widgets/grid/vaSpread.h"
#include "widgets/input/ControlKinds.h"
#include "widgets/input/modKeyHook.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Carries the class name of the calendar control the hook looks for.
class MonthView final : public QWidget
{
    Q_OBJECT

public:
    using QWidget::QWidget;
};

// Builds the control to classify inside the given window and returns the
// widget that would hold the focus.
using ControlFactory = std::function<QWidget *(QWidget *window)>;

template<typename Control>
ControlFactory made()
{
    return [](QWidget *window) -> QWidget * { return new Control(window); };
}

} // namespace

Q_DECLARE_METATYPE(ControlFactory)

class tst_KeyHookRules final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void textBoxRules_data();
    void textBoxRules();
    void listBoxRules_data();
    void listBoxRules();
    void controlKinds_data();
    void controlKinds();

private:
    void focus(QWidget *control);

    std::unique_ptr<QWidget> m_screen;
    QPlainTextEdit *m_plain{};
    QTextEdit *m_rich{};
    QListWidget *m_list{};
};

void tst_KeyHookRules::initTestCase()
{
    m_screen = std::make_unique<QWidget>();
    m_screen->setProperty("parlow6Screen", true);
    auto *layout = new QVBoxLayout(m_screen.get());
    m_plain = new QPlainTextEdit(m_screen.get());
    m_rich = new QTextEdit(m_screen.get());
    m_list = new QListWidget(m_screen.get());
    layout->addWidget(m_plain);
    layout->addWidget(m_rich);
    layout->addWidget(m_list);
    m_screen->show();
    QApplication::setActiveWindow(m_screen.get());
    m_screen->activateWindow();
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::activeWindow(), m_screen.get(), 2000);
}

void tst_KeyHookRules::focus(QWidget *control)
{
    control->setFocus(Qt::OtherFocusReason);
    QTRY_COMPARE_WITH_TIMEOUT(ActiveControl(), control, 2000);
}

void tst_KeyHookRules::textBoxRules_data()
{
    QTest::addColumn<bool>("rich");
    QTest::addColumn<QString>("text");      // as Qt holds it, '\n' per break
    QTest::addColumn<int>("anchor");        // -1: no selection
    QTest::addColumn<int>("caret");
    QTest::addColumn<bool>("enterLeaves");
    QTest::addColumn<QString>("textAfterEnter");
    QTest::addColumn<bool>("upLeaves");
    QTest::addColumn<bool>("downLeaves");

    for (const bool rich : {false, true}) {
        const QByteArray box = rich ? "rich: " : "plain: ";
        auto row = [&](const char *name) { return &QTest::newRow(QByteArray(box + name).constData()); };
        *row("empty") << rich << QString() << -1 << 0 << false << QString() << true << true;
        *row("one line, caret at end") << rich << u"abc"_s << -1 << 3 << false << u"abc"_s << true << true;
        *row("one line, caret inside") << rich << u"abc"_s << -1 << 1 << false << u"abc"_s << true << true;
        *row("trailing break, caret at end")
            << rich << u"abc\n"_s << -1 << 4 << true << u"abc"_s << false << true;
        *row("trailing break, caret before it")
            << rich << u"abc\n"_s << -1 << 3 << false << u"abc\n"_s << true << false;
        *row("only a break, caret at end") << rich << u"\n"_s << -1 << 1 << true << QString() << false << true;
        *row("two trailing breaks drop one")
            << rich << u"abc\n\n"_s << -1 << 5 << true << u"abc\n"_s << false << true;
        *row("two lines, caret at end of first")
            << rich << u"ab\ncd"_s << -1 << 2 << false << u"ab\ncd"_s << true << false;
        *row("two lines, caret at start of second")
            << rich << u"ab\ncd"_s << -1 << 3 << false << u"ab\ncd"_s << false << true;
        *row("three lines, caret on middle line")
            << rich << u"ab\ncd\nef"_s << -1 << 4 << false << u"ab\ncd\nef"_s << false << false;
        *row("three lines, caret at end")
            << rich << u"ab\ncd\nef"_s << -1 << 8 << false << u"ab\ncd\nef"_s << false << true;
        *row("selection counts from its start")
            << rich << u"ab\ncd\n"_s << 6 << 1 << false << u"ab\ncd\n"_s << true << false;
        *row("selection up to the end is not the caret at the end")
            << rich << u"ab\n"_s << 1 << 3 << false << u"ab\n"_s << true << false;
    }
}

void tst_KeyHookRules::textBoxRules()
{
    QFETCH(bool, rich);
    QFETCH(QString, text);
    QFETCH(int, anchor);
    QFETCH(int, caret);
    QFETCH(bool, enterLeaves);
    QFETCH(QString, textAfterEnter);
    QFETCH(bool, upLeaves);
    QFETCH(bool, downLeaves);

    QWidget *box = rich ? static_cast<QWidget *>(m_rich) : static_cast<QWidget *>(m_plain);
    QTextDocument *document = rich ? m_rich->document() : m_plain->document();
    document->setPlainText(text);
    QTextCursor cursor(document);
    if (anchor >= 0)
        cursor.setPosition(anchor);
    cursor.setPosition(caret, anchor >= 0 ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
    if (rich)
        m_rich->setTextCursor(cursor);
    else
        m_plain->setTextCursor(cursor);
    focus(box);

    QCOMPARE(TextBoxUpLeaves(), upLeaves);
    QCOMPARE(TextBoxDownLeaves(), downLeaves);
    QCOMPARE(document->toPlainText(), text);

    QCOMPARE(TextBoxEnterLeaves(), enterLeaves);
    QCOMPARE(document->toPlainText(), textAfterEnter);
    if (enterLeaves) {
        // The dropped break is an ordinary edit the operator can undo.
        document->undo();
        QCOMPARE(document->toPlainText(), text);
    }
}

void tst_KeyHookRules::listBoxRules_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("current"); // the item with the focus mark
    QTest::addColumn<bool>("selected");
    QTest::addColumn<bool>("upLeaves");
    QTest::addColumn<bool>("downLeaves");

    QTest::newRow("first of three") << 3 << 0 << true << true << false;
    QTest::newRow("middle of three") << 3 << 1 << true << false << false;
    QTest::newRow("last of three") << 3 << 2 << true << false << true;
    QTest::newRow("nothing selected") << 3 << 0 << false << true << false;
    QTest::newRow("nothing selected, mark on the last item") << 3 << 2 << false << true << false;
    QTest::newRow("only item") << 1 << 0 << true << true << true;
    QTest::newRow("empty list") << 0 << -1 << false << true << true;
}

void tst_KeyHookRules::listBoxRules()
{
    QFETCH(int, count);
    QFETCH(int, current);
    QFETCH(bool, selected);
    QFETCH(bool, upLeaves);
    QFETCH(bool, downLeaves);

    m_list->clear();
    for (int i = 0; i < count; ++i)
        m_list->addItem(u"支払方法 %1"_s.arg(i + 1));
    focus(m_list);
    if (current >= 0)
        m_list->setCurrentRow(current);
    if (!selected)
        m_list->clearSelection();
    QCOMPARE(m_list->currentRow(), current);

    QCOMPARE(ListBoxUpLeaves(), upLeaves);
    QCOMPARE(ListBoxDownLeaves(), downLeaves);
}

void tst_KeyHookRules::controlKinds_data()
{
    QTest::addColumn<ControlFactory>("make");
    QTest::addColumn<bool>("calendar");
    QTest::addColumn<bool>("button");
    QTest::addColumn<bool>("grid");
    QTest::addColumn<bool>("list");

    auto newGrid = [](QWidget *w) {
        auto *grid = new vaSpread(w);
        grid->setColumns({vaSpread::ColumnSpec{u"氏名"_s}});
        grid->SetMaxRows(2);
        return grid;
    };

    QTest::newRow("tool button") << made<QToolButton>() << false << true << false << false;
    QTest::newRow("check box is no command button") << made<QCheckBox>() << false << false << false << false;
    QTest::newRow("option button is no command button")
        << made<QRadioButton>() << false << false << false << false;
    QTest::newRow("list") << made<QListWidget>() << false << false << false << true;
    QTest::newRow("tree view is another control") << made<QTreeView>() << false << false << false << false;
    QTest::newRow("grid") << ControlFactory(newGrid) << false << false << true << false;
    QTest::newRow("grid's cell editor") << ControlFactory([newGrid](QWidget *w) -> QWidget * {
        return new QLineEdit(newGrid(w)->viewport());
    }) << false << false << true << false;
    QTest::newRow("button inside the grid") << ControlFactory([newGrid](QWidget *w) -> QWidget * {
        return new QPushButton(newGrid(w)->viewport());
    }) << false << true << true << false;
    QTest::newRow("calendar's day table") << ControlFactory([](QWidget *w) -> QWidget * {
        return (new QCalendarWidget(w))->findChild<QTableView *>();
    }) << true << false << false << false;
    QTest::newRow("control of class MonthView") << made<MonthView>() << true << false << false << false;
    QTest::newRow("date box is another control") << made<QDateEdit>() << false << false << false << false;
}

void tst_KeyHookRules::controlKinds()
{
    QFETCH(ControlFactory, make);
    QFETCH(bool, calendar);
    QFETCH(bool, button);
    QFETCH(bool, grid);
    QFETCH(bool, list);

    QWidget window;
    QWidget *control = make(&window);
    QVERIFY(control);
    QCOMPARE(IsCalendarControl(control), calendar);
    QCOMPARE(AsCommandButton(control) != nullptr, button);
    QCOMPARE(IsGridControl(control), grid);
    QCOMPARE(AsListBox(control) != nullptr, list);
}

QTEST_MAIN(tst_KeyHookRules)
#include "tst_keyhookrules.moc"
