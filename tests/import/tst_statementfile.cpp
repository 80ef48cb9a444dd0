// Reading statements: both formats, both encodings, dates, amounts, and the
// reasons a file is refused, each naming its line.
#include "ZenginSample.h"

#include "core/data/CellText.h"
#include "core/import/StatementFile.h"
#include "core/import/ZenginReader.h"

#include <QTest>

using namespace Qt::StringLiterals;
using Format = Statement::Format;
using Encoding = TextEncoding;

namespace {

const QDate Today(2024, 6, 1);

QString dateOf(const StatementLine &line)
{
    return line.julianDay ? CellText::dateText(line.julianDay) : u"problem"_s;
}

QByteArray utf8(const QString &text)
{
    return text.toUtf8();
}

} // namespace

class tst_StatementFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsFormatsAndEncodings_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Format>("format");
        QTest::addColumn<Encoding>("encoding");
        QTest::addColumn<QStringList>("lines"); // "line|date|amount|text|named order"

        QTest::newRow("csv utf-8 with byte-order mark")
            << QByteArray("\xEF\xBB\xBF") + utf8(u"取引日,入金額,振込依頼人名\r\n2024/05/01,\"1,200\",ﾔﾏﾀﾞ 12\r\n"_s)
            << Format::Csv << Encoding::Utf8 << QStringList{u"2|2024/05/01|1200|ﾔﾏﾀﾞ 12|"_s};
        QTest::newRow("csv utf-8, quotes, columns anywhere")
            << utf8(u"No,備考,金額,日付,注文番号\n1,\"ご注文\n\"\"12\"\"\",¥3000,20240501,0012\n"
                    "2,\"a,b\",3000円,2024-05-02,ｱ12\n"_s)
            << Format::Csv << Encoding::Utf8
            << QStringList{u"2|2024/05/01|3000|ご注文\n\"12\" 0012|0012"_s, u"4|2024/05/02|3000|a,b ｱ12|"_s};
        QTest::newRow("csv shift_jis, blank and withdrawal lines skipped")
            << ZenginSample::sjis(u"勘定日, 預入金額 ,依頼人名\r\n\r\n2024/05/01,,ｶﾞｽﾀﾞｲ\r\n2024/05/01,3000,ﾔﾏﾀﾞ ﾀﾛｳ\r\n"_s)
            << Format::Csv << Encoding::Cp932 << QStringList{u"4|2024/05/01|3000|ﾔﾏﾀﾞ ﾀﾛｳ|"_s};

        const QList<ZenginSample::Deposit> deposits{
            {"060501", 3000, u"ﾔﾏﾀﾞ ﾀﾛｳ 101"_s, QString(), false},
            {"060502", 500, u"ｶﾞｽﾀﾞｲ"_s, QString(), true},
            {"060503", 12345678, u"ｶ)ｻｸﾗｷｶｸ"_s, u"0000000102"_s, false}};
        const QStringList zenginLines{u"2|2024/05/01|3000|ﾔﾏﾀﾞ ﾀﾛｳ 101|"_s,
                                      u"4|2024/05/03|12345678|ｶ)ｻｸﾗｷｶｸ 0000000102|0000000102"_s};
        QTest::newRow("fixed-length with line breaks")
            << ZenginSample::file(deposits) << Format::Zengin << Encoding::Cp932 << zenginLines;
        QTest::newRow("fixed-length without line breaks")
            << ZenginSample::file(deposits, "") << Format::Zengin << Encoding::Cp932 << zenginLines;
    }

    void readsFormatsAndEncodings()
    {
        QFETCH(QByteArray, bytes);
        const Statement statement = StatementFile::read(bytes, Today);
        QVERIFY2(statement.ok(), qPrintable(statement.error));
        QTEST(statement.format, "format");
        QTEST(statement.encoding, "encoding");
        QStringList lines;
        for (const StatementLine &line : statement.lines) {
            QVERIFY2(line.problem.isEmpty(), qPrintable(line.problem));
            lines << u"%1|%2|%3|%4|%5"_s.arg(line.lineNumber).arg(dateOf(line)).arg(line.amount).arg(line.text,
                                                                                                   line.namedOrder);
        }
        QTEST(lines, "lines");
    }

    void readsDatesAndAmounts_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("read"); // "date|amount", "problem", or "skipped"

        QTest::newRow("grouped") << u"2024/05/01"_s << u"1,234"_s << u"2024/05/01|1234"_s;
        QTest::newRow("yen sign, dashes") << u"2024-5-1"_s << u"¥1,234"_s << u"2024/05/01|1234"_s;
        QTest::newRow("full width, yen after") << u"２０２４／０５／０１"_s << u"１，２３４円"_s << u"2024/05/01|1234"_s;
        QTest::newRow("digits only") << u"20240501"_s << u"1234"_s << u"2024/05/01|1234"_s;
        QTest::newRow("before the cell's range") << u"1899/12/31"_s << u"1234"_s << u"problem"_s;
        QTest::newRow("no such day") << u"2024/02/30"_s << u"1234"_s << u"problem"_s;
        QTest::newRow("no date") << QString() << u"1234"_s << u"problem"_s;
        QTest::newRow("fraction of a yen") << u"2024/05/01"_s << u"12.5"_s << u"problem"_s;
        QTest::newRow("text") << u"2024/05/01"_s << u"abc"_s << u"problem"_s;
        QTest::newRow("withdrawal") << u"2024/05/01"_s << u"-500"_s << u"skipped"_s;
        QTest::newRow("empty deposit") << u"2024/05/01"_s << QString() << u"skipped"_s;
    }

    void readsDatesAndAmounts()
    {
        QFETCH(QString, date);
        QFETCH(QString, amount);
        const Statement statement =
            StatementFile::read(utf8(u"日付,金額,摘要\n%1,\"%2\",x\n"_s.arg(date, amount)), Today);
        QVERIFY2(statement.ok(), qPrintable(statement.error));
        QString read = u"skipped"_s;
        if (!statement.lines.isEmpty()) {
            const StatementLine &line = statement.lines.constFirst();
            read = line.problem.isEmpty() ? u"%1|%2"_s.arg(dateOf(line)).arg(line.amount) : u"problem"_s;
        }
        QTEST(read, "read");
    }

    void readsRecordDates_data()
    {
        QTest::addColumn<QByteArray>("yymmdd");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QDate>("date");

        QTest::newRow("reiwa") << QByteArray("060115") << QDate(2025, 3, 1) << QDate(2024, 1, 15);
        QTest::newRow("the description's heisei example") << QByteArray("280503") << QDate(2025, 3, 1)
                                                          << QDate(2016, 5, 3);
        QTest::newRow("last heisei day") << QByteArray("310430") << QDate(2025, 3, 1) << QDate(2019, 4, 30);
        QTest::newRow("first reiwa day") << QByteArray("010501") << QDate(2025, 3, 1) << QDate(2019, 5, 1);
        QTest::newRow("western year") << QByteArray("250301") << QDate(2025, 3, 10) << QDate(2025, 3, 1);
        QTest::newRow("value date just ahead") << QByteArray("070310") << QDate(2025, 3, 1) << QDate(2025, 3, 10);
        QTest::newRow("no such day") << QByteArray("070230") << QDate(2025, 3, 1) << QDate();
        QTest::newRow("not digits") << QByteArray("07 301") << QDate(2025, 3, 1) << QDate();
    }

    void readsRecordDates()
    {
        QFETCH(QByteArray, yymmdd);
        QFETCH(QDate, today);
        QTEST(ZenginReader::dateOf(yymmdd, today), "date");
    }

    void refusesBadFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error"); // the start of the message: line and reason

        QTest::newRow("empty") << QByteArray("\r\n") << u"1行目: ファイルが空"_s;
        QTest::newRow("no statement") << QByteArray("name,price\nfoo,1\n") << u"1行目: 入金データではありません"_s;
        QTest::newRow("no date column") << utf8(u"金額,摘要\n1,a\n"_s) << u"1行目: 日付の列がありません"_s;
        QTest::newRow("no amount column") << utf8(u"日付,摘要\n2024/05/01,a\n"_s) << u"1行目: 金額の列がありません"_s;
        QTest::newRow("quote left open") << utf8(u"日付,金額\n2024/05/01,1\n2024/05/02,\"2\n3\n"_s)
                                         << u"3行目: 引用符"_s;
        QTest::newRow("text after a quote") << utf8(u"日付,金額\n\"2024/05/01\"x,1\n"_s)
                                            << u"2行目: 閉じた引用符の後"_s;
        QTest::newRow("neither encoding") << QByteArray("date,amount\n2024/05/01,1\n\x81\x20,1\n")
                                          << u"3行目: 文字コードを判別できません（UTF-8 でも"_s;
        QTest::newRow("utf-16") << QByteArray("d\0a\0t\0e\0", 8) << u"1行目: 文字コードを判別できません（UTF-16"_s;

        const QList<QByteArray> good = ZenginSample::records({{}, {}});
        auto joined = [](const QList<QByteArray> &records) -> QByteArray { return records.join("\r\n") + "\r\n"; };
        QList<QByteArray> records = good;
        records[0].replace(1, 2, "01");
        QTest::newRow("another kind of bank file") << joined(records) << u"1行目: 入出金取引明細ではありません（種別コード 01）"_s;
        records = good;
        records[2].chop(1);
        QTest::newRow("short record") << joined(records) << u"3行目: レコードが200バイトではありません"_s;
        records = good;
        records[3].replace(54, 7, "0000003");
        QTest::newRow("trailer disagrees") << joined(records) << u"4行目: トレーラ"_s;
        records = good;
        records.removeLast();
        QTest::newRow("end record missing") << joined(records) << u"4行目: エンド・レコードがありません"_s;
        records = good;
        records.insert(4, good.at(1));
        QTest::newRow("data after the trailer") << joined(records) << u"5行目: データ区分「2」"_s;
    }

    void refusesBadFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        const Statement statement = StatementFile::read(bytes, Today);
        QVERIFY2(statement.error.startsWith(error), qPrintable(statement.error));
        QVERIFY(statement.lines.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_StatementFile)
#include "tst_statementfile.moc"
