// The payment management dialog: marks from CONTROL, storing the exempt
// methods, the in-memory payment table and failures of the database.
#include "DialogFixture.h"

#include "widgets/grid/vaSpread.h"
#include "screens/dialogs/frmKanri.h"

#include <QPushButton>

using namespace Qt::StringLiterals;
using F = DialogFixture;

namespace {

// The list's methods, all managed in the payment table.
vaSpread *openWith(F &fixture, const QString &methods, QPointer<frmKanri> &dialog)
{
    fixture.owner->pstrSiharaiString = methods;
    for (const QString &method : methods.split(u'\t', Qt::SkipEmptyParts))
        gstrSiharaiTable.append({method, u"1"_s, u"1"_s});
    dialog = fixture.open<frmKanri>();
    return dialog ? F::child<vaSpread>(dialog, u"sprPayment"_s) : nullptr;
}

QStringList marks(const vaSpread *grid)
{
    QStringList values;
    for (int row = 1; row <= grid->MaxRows(); ++row)
        values.append(grid->Value(frmKanri::ColManaged, row));
    return values;
}

QStringList managedFlags()
{
    QStringList flags;
    for (const auto &entry : std::as_const(gstrSiharaiTable))
        flags.append(entry.managed);
    return flags;
}

QString stored(const F &fixture)
{
    return fixture.db.scalar(u"SELECT [NYUKIN_NOMANAGE] FROM [CONTROL]"_s).toString();
}

const QStringList AllManaged{u"1"_s, u"1"_s, u"1"_s};

} // namespace

class tst_frmKanri : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void marksFollowTheStoredList_data()
    {
        QTest::addColumn<bool>("hasRow");
        QTest::addColumn<QVariant>("list");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("no CONTROL row") << false << QVariant() << AllManaged;
        QTest::newRow("Null") << true << QVariant() << AllManaged;
        QTest::newRow("empty") << true << QVariant(u""_s) << AllManaged;
        QTest::newRow("B and C") << true << QVariant(u"B\tC"_s) << QStringList{u"1"_s, u"0"_s, u"0"_s};
        QTest::newRow("other letter case") << true << QVariant(u"b"_s) << QStringList{u"1"_s, u"0"_s, u"1"_s};
        QTest::newRow("stale name ignored") << true << QVariant(u"Z\tA"_s) << QStringList{u"0"_s, u"1"_s, u"1"_s};
    }

    void marksFollowTheStoredList()
    {
        QFETCH(bool, hasRow);
        QFETCH(QVariant, list);
        QFETCH(QStringList, expected);
        F fixture;
        if (hasRow)
            fixture.db.setExempt(list);
        QPointer<frmKanri> dialog;
        vaSpread *grid = openWith(fixture, u"A\tB\tC"_s, dialog);

        QCOMPARE(grid->Text(frmKanri::ColMethod, 2), u"B"_s);
        QCOMPARE(marks(grid), expected);
        QCOMPARE(fixture.messageTexts(), QStringList());
    }

    void closing_data()
    {
        QTest::addColumn<QString>("methods");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QList<int>>("clickedRows");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QStringList>("tableAfter");
        const QString ok = u"cmdEnter"_s;
        QTest::newRow("unmark B and C") << u"A\tB\tC"_s << QString() << QList<int>{3, 2} << ok << u"B\tC"_s
                                        << QStringList{u"1"_s, u"0"_s, u"0"_s};
        QTest::newRow("mark all again") << u"A\tB\tC"_s << u"B"_s << QList<int>{2} << ok << QString() << AllManaged;
        QTest::newRow("stale name dropped") << u"A\tB\tC"_s << u"Z\tC"_s << QList<int>() << ok << u"C"_s
                                            << QStringList{u"1"_s, u"1"_s, u"0"_s};
        QTest::newRow("grid's spelling stored") << u"A\tB\tC"_s << u"b"_s << QList<int>() << ok << u"B"_s
                                                << QStringList{u"1"_s, u"0"_s, u"1"_s};
        QTest::newRow("quote kept") << u"A\tO'Neil\tC"_s << QString() << QList<int>{2} << ok << u"O'Neil"_s
                                    << QStringList{u"1"_s, u"0"_s, u"1"_s};
        QTest::newRow("no methods") << QString() << u"A"_s << QList<int>() << ok << QString() << QStringList();
        QTest::newRow("ｷｬﾝｾﾙ") << u"A\tB\tC"_s << u"C"_s << QList<int>{1} << u"cmdCancel"_s << u"C"_s << AllManaged;
        QTest::newRow("Esc") << u"A\tB\tC"_s << u"C"_s << QList<int>{1} << QString() << u"C"_s << AllManaged;
    }

    void closing()
    {
        QFETCH(QString, methods);
        QFETCH(QString, before);
        QFETCH(QList<int>, clickedRows);
        QFETCH(QString, button);
        QFETCH(QString, after);
        QFETCH(QStringList, tableAfter);
        F fixture;
        fixture.db.setExempt(before);
        QPointer<frmKanri> dialog;
        vaSpread *grid = openWith(fixture, methods, dialog);

        for (int row : clickedRows)
            F::clickCell(grid, frmKanri::ColManaged, row);
        if (button.isEmpty())
            QTest::keyClick(grid, Qt::Key_Escape);
        else
            QTest::mouseClick(F::child<QPushButton>(dialog, button), Qt::LeftButton);

        QTRY_VERIFY_WITH_TIMEOUT(dialog.isNull(), 2000);
        QCOMPARE(stored(fixture), after);
        QCOMPARE(managedFlags(), tableAfter);
        QCOMPARE(fixture.owner->pbytRefresh, quint8(button == u"cmdEnter"_s ? 1 : 0));
        QCOMPARE(fixture.messageTexts(), QStringList());
    }

    void methodNamesCannotBeTypedOver()
    {
        F fixture;
        QPointer<frmKanri> dialog;
        vaSpread *grid = openWith(fixture, u"A\tB"_s, dialog);

        F::clickCell(grid, frmKanri::ColMethod, 1);
        QTest::keyClicks(grid, u"XY"_s);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        F::clickCell(grid, frmKanri::ColMethod, 2);
        QTest::keyClick(grid, Qt::Key_F2);
        QTest::keyClicks(QApplication::focusWidget(), u"Z"_s);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);

        QCOMPARE(grid->Text(frmKanri::ColMethod, 1), u"A"_s);
        QCOMPARE(grid->Text(frmKanri::ColMethod, 2), u"B"_s);
    }

    void databaseFailureStoresNothing_data()
    {
        QTest::addColumn<QString>("sabotage");
        QTest::addColumn<QString>("text");
        QTest::newRow("write refused") << u"CREATE TRIGGER [keep] BEFORE UPDATE ON [CONTROL]"
                                          " BEGIN SELECT RAISE(ABORT, 'CONTROL is read-only today'); END"_s
                                       << u"CONTROL is read-only today"_s;
        // The marks shown would not be the stored ones: the dialog closes unsaved.
        QTest::newRow("list unreadable") << u"DROP TABLE [CONTROL]"_s << u"CONTROL"_s;
    }

    void databaseFailureStoresNothing()
    {
        QFETCH(QString, sabotage);
        QFETCH(QString, text);
        const bool atOpening = sabotage.startsWith(u"DROP"_s);
        F fixture;
        fixture.db.setExempt(u"C"_s);
        fixture.db.exec(sabotage);
        QPointer<frmKanri> dialog;
        vaSpread *grid = openWith(fixture, u"A\tB\tC"_s, dialog);

        if (atOpening) {
            QTRY_VERIFY_WITH_TIMEOUT(dialog.isNull(), 2000);
        } else {
            F::clickCell(grid, frmKanri::ColManaged, 2);
            QTest::mouseClick(F::child<QPushButton>(dialog, u"cmdEnter"_s), Qt::LeftButton);
            QVERIFY(dialog && dialog->isVisible());
            QCOMPARE(marks(grid), (QStringList{u"1"_s, u"0"_s, u"0"_s}));
            QCOMPARE(stored(fixture), u"C"_s);
        }
        QCOMPARE(fixture.messages.size(), 1);
        QVERIFY2(fixture.messages.first().text.contains(text), qPrintable(fixture.messages.first().text));
        QCOMPARE(fixture.messages.first().title, u"入金管理"_s);
        QCOMPARE(fixture.messages.first().icon, QMessageBox::Critical);
        QCOMPARE(managedFlags(), AllManaged);
        QCOMPARE(fixture.owner->pbytRefresh, quint8(0));
    }
};

QTEST_MAIN(tst_frmKanri)
#include "tst_frmkanri.moc"
