#include "GridFixture.h"

#include <QApplication>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

using namespace GridFixture;

// The operator's side of the grid: editors fed with real key events, check
// boxes toggled by mouse and keyboard, header and cell clicks.
class tst_GridInput final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<vaSpread> m_grid;

    QRect cellRect(int col, int row) const
    {
        return m_grid->visualRect(m_grid->model()->index(row - 1, col - 1));
    }

    // Types as the operator would: plain characters as keys, anything else
    // as the input method hands it over, one committed character at a time.
    static void type(QWidget *editor, const QString &typed)
    {
        for (const QChar c : typed) {
            if (c.unicode() < 128) {
                QTest::keyClick(editor, c.toLatin1());
            } else {
                QInputMethodEvent commit;
                commit.setCommitString(QString(c));
                QApplication::sendEvent(editor, &commit);
            }
        }
    }

    // Opens the cell's editor with F2, replaces its text by typing and ends
    // with Enter. An editor still open afterwards (refused input) is
    // cancelled with Escape; returns whether that was needed.
    bool typeInto(int col, int row, const QString &typed)
    {
        m_grid->setFocus();
        m_grid->setCurrentIndex(m_grid->model()->index(row - 1, col - 1));
        QTest::keyClick(m_grid.get(), Qt::Key_F2);
        QPointer<QLineEdit> editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        if (!editor)
            return false;
        editor->selectAll();
        QTest::keyClick(editor, Qt::Key_Delete);
        type(editor, typed);
        QTest::keyClick(editor, Qt::Key_Return);
        // The delegate commits and closes on a queued call.
        QCoreApplication::processEvents();
        if (!editor || !editor->isVisible())
            return false;
        QTest::keyClick(editor, Qt::Key_Escape);
        QCoreApplication::processEvents();
        return true;
    }

private Q_SLOTS:
    void init();
    void cleanup();
    void dateEditor_data();
    void dateEditor();
    void numberEditor_data();
    void numberEditor();
    void textEditorLimitsLength();
    void typingStartsEditing();
    void escapeKeepsTheValue();
    void checkBoxToggles_data();
    void checkBoxToggles();
    void clicks_data();
    void clicks();
};

void tst_GridInput::init()
{
    m_grid = makeGrid();
    attachTester(m_grid.get());
    m_grid->resize(900, 300);
    m_grid->SetMaxRows(3);
    m_grid->SetText(ColPaidDate, 2, u"2014/01/10"_s);
    m_grid->SetText(ColPaidAmount, 2, 100);
    m_grid->SetText(ColId, 2, 7);
    m_grid->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_grid.get()));
    m_grid->activateWindow();
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::activeWindow(), static_cast<QWidget *>(m_grid.get()), 2000);
}

void tst_GridInput::cleanup()
{
    m_grid.reset();
}

void tst_GridInput::dateEditor_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("refused");

    QTest::newRow("valid date") << u"2014/02/21"_s << u"2014/02/21"_s << false;
    QTest::newRow("one-digit month and day") << u"2014/2/3"_s << u"2014/02/03"_s << false;
    QTest::newRow("full-width digits") << u"２０１４／０２／２１"_s << u"2014/02/21"_s << false;
    QTest::newRow("last day of range") << u"2099/12/31"_s << u"2099/12/31"_s << false;
    QTest::newRow("emptied") << QString() << QString() << false;
    QTest::newRow("no such day") << u"2014/02/30"_s << u"2014/01/10"_s << true;
    QTest::newRow("month 13") << u"2014/13/01"_s << u"2014/01/10"_s << true;
    QTest::newRow("before 1900") << u"1899/12/31"_s << u"2014/01/10"_s << true;
    QTest::newRow("after 2099") << u"2100/01/01"_s << u"2014/01/10"_s << true;
    QTest::newRow("unfinished") << u"2014/02"_s << u"2014/01/10"_s << true;
    // Letters and extra digits never reach the editor's text.
    QTest::newRow("letters") << u"2014/0a2/2b1"_s << u"2014/02/21"_s << false;
    QTest::newRow("digits without separators") << u"20140221"_s << u"2014/01/10"_s << true;
    QTest::newRow("dashes") << u"2014-02-21"_s << u"2014/01/10"_s << true;
    QTest::newRow("quote") << u"2014/02/21'"_s << u"2014/02/21"_s << false;
}

void tst_GridInput::dateEditor()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QFETCH(bool, refused);

    // What the screen sees when Change arrives: the stored value.
    QStringList seen;
    connect(m_grid.get(), &vaSpread::Change, this,
            [&](int col, int row) { seen.append(m_grid->Value(col, row)); });
    QSignalSpy change(m_grid.get(), &vaSpread::Change);

    QCOMPARE(typeInto(ColPaidDate, 2, typed), refused);
    QCOMPARE(m_grid->Value(ColPaidDate, 2), stored);
    const bool changed = stored != u"2014/01/10"_s;
    QCOMPARE(change.count(), changed ? 1 : 0);
    if (changed) {
        QCOMPARE(change.at(0).at(0).toInt(), int(ColPaidDate));
        QCOMPARE(change.at(0).at(1).toInt(), 2);
        QCOMPARE(seen, QStringList{stored});
    }
}

void tst_GridInput::numberEditor_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("amount") << int(ColPaidAmount) << u"12345"_s << u"12345"_s << u"12,345"_s;
    QTest::newRow("amount with grouping typed") << int(ColPaidAmount) << u"1,234"_s << u"1234"_s << u"1,234"_s;
    QTest::newRow("amount with fraction") << int(ColPaidAmount) << u"1.5"_s << u"1.5"_s << u"1.5"_s;
    QTest::newRow("no minus below zero") << int(ColPaidAmount) << u"-5"_s << u"5"_s << u"5"_s;
    QTest::newRow("no digit past the maximum") << int(ColPaidAmount) << u"99999999999"_s << u"9999999999"_s
                                               << u"9,999,999,999"_s;
    QTest::newRow("letters refused") << int(ColPaidAmount) << u"1x2"_s << u"12"_s << u"12"_s;
    QTest::newRow("full-width digits") << int(ColPaidAmount) << u"３００"_s << u"300"_s << u"300"_s;
    QTest::newRow("emptied") << int(ColPaidAmount) << QString() << QString() << QString();
    QTest::newRow("negative id") << int(ColId) << u"-42"_s << u"-42"_s << u"-42"_s;
    QTest::newRow("lone sign refused") << int(ColId) << u"-"_s << u"7"_s << u"7"_s;
}

void tst_GridInput::numberEditor()
{
    QFETCH(int, col);
    QFETCH(QString, typed);
    QFETCH(QString, value);
    QFETCH(QString, text);

    const QString before = m_grid->Value(col, 2);
    QSignalSpy change(m_grid.get(), &vaSpread::Change);
    typeInto(col, 2, typed);
    QCOMPARE(m_grid->Value(col, 2), value);
    QCOMPARE(m_grid->Text(col, 2), text);
    QCOMPARE(change.count(), value == before ? 0 : 1);
}

void tst_GridInput::textEditorLimitsLength()
{
    QSignalSpy change(m_grid.get(), &vaSpread::Change);
    typeInto(ColName, 1, u"ABCDEFGHIJKLMNO"_s);
    QCOMPARE(m_grid->Value(ColName, 1), u"ABCDEFGHIJ"_s);
    QCOMPARE(change.count(), 1);
    // The same text again is no change.
    typeInto(ColName, 1, u"ABCDEFGHIJ"_s);
    QCOMPARE(change.count(), 1);
}

void tst_GridInput::typingStartsEditing()
{
    QSignalSpy change(m_grid.get(), &vaSpread::Change);
    m_grid->setFocus();
    m_grid->SetText(ColName, 1, u"old"_s);
    m_grid->setCurrentIndex(m_grid->model()->index(0, ColName - 1));
    // The first key opens the editor and lands in it; the rest go there.
    QTest::keyClick(m_grid.get(), 'a');
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(editor);
    QTest::keyClicks(editor, u"bc"_s);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
    QCOMPARE(m_grid->Value(ColName, 1), u"abc"_s);
    QCOMPARE(change.count(), 1);
}

void tst_GridInput::escapeKeepsTheValue()
{
    QSignalSpy change(m_grid.get(), &vaSpread::Change);
    m_grid->setFocus();
    m_grid->setCurrentIndex(m_grid->model()->index(1, ColPaidDate - 1));
    QTest::keyClick(m_grid.get(), Qt::Key_F2);
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, u"2014/05/05"_s);
    QTest::keyClick(editor, Qt::Key_Escape);
    QCoreApplication::processEvents();
    QCOMPARE(m_grid->Value(ColPaidDate, 2), u"2014/01/10"_s);
    QCOMPARE(change.count(), 0);
}

void tst_GridInput::checkBoxToggles_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("click on the box") << u"centre"_s;
    QTest::newRow("click beside the box") << u"edge"_s;
    QTest::newRow("space") << u"space"_s;
}

void tst_GridInput::checkBoxToggles()
{
    QFETCH(QString, how);

    QSignalSpy change(m_grid.get(), &vaSpread::Change);
    auto toggle = [&](int row) {
        const QRect rect = cellRect(ColMark, row);
        if (how == u"space") {
            m_grid->setFocus();
            m_grid->setCurrentIndex(m_grid->model()->index(row - 1, ColMark - 1));
            QTest::keyClick(m_grid.get(), Qt::Key_Space);
        } else {
            const QPoint at = how == u"centre" ? rect.center() : QPoint(rect.left() + 1, rect.center().y());
            QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {}, at);
        }
    };

    toggle(3);
    QCOMPARE(m_grid->Value(ColMark, 3), u"1"_s);
    QCOMPARE(m_grid->Value(ColMark, 2), u"0"_s);
    QCOMPARE(change.count(), 1);
    QCOMPARE(change.at(0).at(0).toInt(), int(ColMark));
    QCOMPARE(change.at(0).at(1).toInt(), 3);

    toggle(3);
    QCOMPARE(m_grid->Value(ColMark, 3), u"0"_s);
    QCOMPARE(change.count(), 2);
}

void tst_GridInput::clicks_data()
{
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");

    QTest::newRow("header of No.") << int(ColId) << 0;
    QTest::newRow("header of 入金額") << int(ColPaidAmount) << 0;
    QTest::newRow("name cell") << int(ColName) << 2;
    QTest::newRow("check box cell") << int(ColMark) << 1;
}

void tst_GridInput::clicks()
{
    QFETCH(int, col);
    QFETCH(int, row);

    QSignalSpy click(m_grid.get(), &vaSpread::Click);
    QSignalSpy change(m_grid.get(), &vaSpread::Change);
    if (row == 0) {
        QHeaderView *header = m_grid->horizontalHeader();
        const int x = header->sectionViewportPosition(col - 1) + header->sectionSize(col - 1) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    } else {
        QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {}, cellRect(col, row).center());
    }
    QCOMPARE(click.count(), 1);
    QCOMPARE(click.at(0).at(0).toInt(), col);
    QCOMPARE(click.at(0).at(1).toInt(), row);
    // Only a check box changes on a single click.
    QCOMPARE(change.count(), col == ColMark && row > 0 ? 1 : 0);
}

QTEST_MAIN(tst_GridInput)
#include "tst_gridinput.moc"
