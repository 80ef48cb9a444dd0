// The columns of a CSV statement the operator assigns, kept in parlow.ini
// under the key of the file's first row and read back; and the unapplied
// lines saved as CSV, read back. A statement read with assigned columns is
// tst_convenience's service file.
#include "core/settings/SuiteSettings.h"
#include "import/CsvColumns.h"
#include "import/CsvWriter.h"
#include "import/StatementFile.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_CsvColumns : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void savedLinesReadBack()
    {
        // As "未反映分を保存..." writes them: a text a spreadsheet would run gets
        // a "'" in front, in whichever column, and loses it on reading; the
        // reason a line was 不正 travels with it.
        const QStringList risky{u"=ﾔﾏﾀﾞ"_s, u"+ｻﾄｳ"_s, u"-ｽｽﾞｷ"_s, u"@ﾀﾅｶ"_s, u"\tｲﾄｳ"_s, u"\rｶﾄｳ"_s};
        QList<QStringList> rows{{u"日付"_s, u"金額"_s, u"振込依頼人名"_s, u"不正理由"_s}};
        QStringList expected;
        for (const QString &payer : risky) {
            rows.append({u"2024/05/01"_s, u"+1,200"_s, payer, QString()});
            expected << u"1200|"_s + payer + u'|';
        }
        rows.append({u"2024/05/02"_s, u"500"_s, u"ｻﾄｳ"_s, u"起算日: 範囲外"_s});
        expected << u"500|ｻﾄｳ|起算日: 範囲外"_s;
        // A line whose date and amount could not be read is saved without them.
        rows.append({QString(), QString(), u"ｲﾄｳ"_s, u"金額「1,2a0」が読めません"_s});
        expected << u"0|ｲﾄｳ|金額「1,2a0」が読めません"_s;
        const QByteArray written = CsvWriter::document(rows);
        for (const QString &text : risky + QStringList{u"+1,200"_s})
            QVERIFY2(QString::fromUtf8(written).contains(u'\'' + text), qPrintable(text));

        const Statement statement = StatementFile::read(written, QDate(2024, 6, 1));
        QVERIFY2(statement.ok(), qPrintable(statement.error));
        QStringList read;
        for (const StatementLine &line : statement.lines)
            read << u"%1|%2|%3"_s.arg(line.amount).arg(line.payerName, line.problem);
        QCOMPARE(read, expected);
    }

    void assignmentText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("whole") << u"date=0;amount=2;withdrawal=3;payer=1;searched=1 4;order=4;header=0"_s << true;
        QTest::newRow("no amount") << u"date=0;withdrawal=2;searched=1"_s << false;
        QTest::newRow("date is the amount") << u"date=1;amount=1"_s << false;
        QTest::newRow("withdrawal is the amount") << u"date=0;amount=1;withdrawal=1"_s << false;
        QTest::newRow("unknown key") << u"date=0;amount=1;colour=2"_s << false;
        QTest::newRow("not a number") << u"date=0;amount=1;payer=x"_s << false;
    }

    void assignmentText()
    {
        QFETCH(QString, text);
        const std::optional<CsvColumns> columns = CsvColumns::fromText(text);
        QTEST(columns.has_value(), "valid");
        if (columns)
            QCOMPARE(columns->toText(), text);
    }

    void keysFollowTheFirstRow()
    {
        // The same bank's next file finds the key; another header does not.
        const QString header = CsvColumns::keyOf({u"Datum"_s, u"Betrag"_s});
        QCOMPARE(CsvColumns::keyOf({u" Datum "_s, u"Betrag"_s}), header);
        QVERIFY(CsvColumns::keyOf({u"Betrag"_s, u"Datum"_s}) != header);
        // Without a header, the shape of the first row: dates and numbers where they stand.
        const QString shape = CsvColumns::keyOf({u"2024/05/01"_s, u"ﾔﾏﾀﾞ"_s, u"3000"_s});
        QCOMPARE(CsvColumns::keyOf({u"2024/06/30"_s, u"ｻﾄｳ 12"_s, u"15"_s}), shape);
        QVERIFY(CsvColumns::keyOf({u"2024/06/30"_s, u"15"_s, u"ｻﾄｳ"_s}) != shape);
    }

    void iniKeepsEverythingElse_data()
    {
        QTest::addColumn<QString>("ini");
        QTest::addColumn<QString>("written");
        QTest::newRow("new file") << QString() << u"[Parlow6]\r\nK=v\r\n"_s;
        QTest::newRow("section added")
            << u"[Other]\nK=x\n"_s << u"[Other]\nK=x\n[Parlow6]\nK=v\n"_s;
        QTest::newRow("key added at the section's end")
            << u"[parlow6]\r\nLockTimeout=5\r\n\r\n[Other]\r\n"_s
            << u"[parlow6]\r\nLockTimeout=5\r\nK=v\r\n\r\n[Other]\r\n"_s;
        QTest::newRow("key replaced, comment kept")
            << u"[Parlow6]\n;K=old\n k = old \nX=1"_s << u"[Parlow6]\n;K=old\nK=v\nX=1"_s;
    }

    void iniKeepsEverythingElse()
    {
        QFETCH(QString, ini);
        QTEST(SuiteSettings::withKey(ini, u"Parlow6"_s, u"K"_s, u"v"_s), "written");
    }
};

QTEST_GUILESS_MAIN(tst_CsvColumns)
#include "tst_csvcolumns.moc"
