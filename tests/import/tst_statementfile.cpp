// Reading statements: every format, both encodings, dates, amounts,
// cancellations and corrections, and the reasons a file is refused, each
// naming its line.
#include "ZenginSample.h"

#include "import/BankDate.h"
#include "import/PaymentImport.h"
#include "import/StatementFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>


using namespace Qt::StringLiterals;
using Format = Statement::Format;
using Encoding = TextEncoding;
using ZenginSample::Account;
using ZenginSample::Entry; // date, amount, payer, edi, inOut, transaction, cancel, reference

namespace {

const QDate Today(2024, 6, 1);

QString dateOf(const StatementLine &line)
{
    return line.date.isValid() ? line.date.toString(u"yyyy/MM/dd") : u"problem"_s;
}

Entry withdrawal(qint64 amount, const QByteArray &transaction = "11")
{
    return {"060502", amount, u"ｶﾞｽﾀﾞｲ"_s, {}, '2', transaction};
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
            << QByteArray("\xEF\xBB\xBF") + u"取引日,入金額,振込依頼人名\r\n2024/05/01,\"1,200\",ﾔﾏﾀﾞ 12\r\n"_s.toUtf8()
            << Format::Csv << Encoding::Utf8 << QStringList{u"2|2024/05/01|1200|ﾔﾏﾀﾞ 12|"_s};
        QTest::newRow("csv utf-8, quotes, columns anywhere")
            << u"No,備考,金額,日付,注文番号\n1,\"ご注文\n\"\"12\"\"\",¥3000,20240501,0012\n"
                    "2,\"a,b\",3000円,2024-05-02,ｱ12\n"_s.toUtf8()
            << Format::Csv << Encoding::Utf8
            << QStringList{u"2|2024/05/01|3000|ご注文\n\"12\" 0012|0012"_s, u"4|2024/05/02|3000|a,b ｱ12|ｱ12"_s};
        QTest::newRow("csv shift_jis, blank and withdrawal lines skipped")
            << ZenginSample::sjis(u"勘定日, 預入金額 ,依頼人名\r\n\r\n2024/05/01,,ｶﾞｽﾀﾞｲ\r\n2024/05/01,3000,ﾔﾏﾀﾞ ﾀﾛｳ\r\n"_s)
            << Format::Csv << Encoding::Cp932 << QStringList{u"4|2024/05/01|3000|ﾔﾏﾀﾞ ﾀﾛｳ|"_s};
        QTest::newRow("order numbers as payers write them; one that is none stays as written")
            << u"日付,金額,注文番号\n2024/05/01,1,２５０\n2024/05/01,2,No.250\n2024/05/01,3,250-1\n"
                    "2024/05/01,4,#250\n2024/05/01,5,A-250\n"_s.toUtf8()
            << Format::Csv << Encoding::Utf8
            << QStringList{u"2|2024/05/01|1|２５０|250"_s, u"3|2024/05/01|2|No.250|250"_s,
                           u"4|2024/05/01|3|250-1|250"_s, u"5|2024/05/01|4|#250|250"_s,
                           u"6|2024/05/01|5|A-250|A-250"_s};
        QTest::newRow("net bank's names, a withdrawal column, escaped formula")
            << u"年月日,お取引内容,お引出し,お預入れ,残高\n2024年5月1日,'=ﾔﾏﾀﾞ 101,,3000,9000\n"
                    "R06.05.02,ATM,500,,8500\n"_s.toUtf8()
            << Format::Csv << Encoding::Utf8 << QStringList{u"2|2024/05/01|3000|=ﾔﾏﾀﾞ 101|"_s};

        const QList<Entry> entries{Entry{"060501", 3000, u"ﾔﾏﾀﾞ ﾀﾛｳ 101"_s}, withdrawal(500),
                                   Entry{"060503", 12345678, u"ｶ)ｻｸﾗｷｶｸ"_s, u"0000000102"_s}};
        QTest::newRow("03 without line breaks, EOF mark")
            << ZenginSample::join(ZenginSample::statement({{entries}}), "") + "\x1a" << Format::Zengin << Encoding::Cp932
            << QStringList{u"2|2024/05/01|3000|ﾔﾏﾀﾞ ﾀﾛｳ 101|"_s, u"4|2024/05/03|12345678|ｶ)ｻｸﾗｷｶｸ 0000000102|0000000102"_s};
        const Account second{{Entry{"060520", 700, u"ｽｽﾞｷ"_s}}, '2'};

        const QList<Entry> notices{Entry{"060501", 3000, u"ﾔﾏﾀﾞ ﾀﾛｳ"_s, u"101"_s}, Entry{"060502", 5000, u"ｻﾄｳ"_s}};
        // The records are split as for 03; LF alone here.
        QTest::newRow("01 two accounts, LF")
            << ZenginSample::join(ZenginSample::notice({{notices}, second}), "\n") << Format::Notice << Encoding::Cp932
            << QStringList{u"2|2024/05/01|3000|ﾔﾏﾀﾞ ﾀﾛｳ 101|101"_s, u"3|2024/05/02|5000|ｻﾄｳ|"_s, u"6|2024/05/20|700|ｽｽﾞｷ|"_s};
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
            lines << u"%1|%2|%3|%4|%5"_s.arg(line.lineNumber).arg(dateOf(line)).arg(line.amount).arg(line.text(),
                                                                                                   line.namedOrder);
        }
        QTEST(lines, "lines");
    }

    // The operator's ｷｬﾝｾﾙ stops reading and matching inside their loops:
    // the broken quote at the file's end is never reached, and neither the
    // listed names nor the lines are read on.
    void cancelStopsTheWork()
    {
        QString text = u"日付,金額,摘要\r\n"_s;
        for (int i = 0; i < 5000; ++i)
            text += u"2024/05/01,%1,No.%2\r\n"_s.arg(1000 + i).arg(i);
        const std::atomic_bool stop{true};
        const Statement stopped = StatementFile::read((text + u"2024/05/02,\"1\r\n"_s).toUtf8(), Today, nullptr, &stop);
        QCOMPARE(stopped.error, Statement::Stopped);
        const QByteArray slip = "02,20261201,1005," + QByteArray(44, '1') + ",,,0,1200\n"; // a convenience store's
        QCOMPARE(StatementFile::read(slip, Today, nullptr, &stop).error, Statement::Stopped);
        const Statement statement = StatementFile::read(text.toUtf8(), Today);
        QCOMPARE(statement.lines.size(), 5000);
        const PaymentImport cancelled(statement, {{1, 1, u"田中 太郎"_s, 1000, 0, {}, {}, {}}}, 0, {}, {}, &stop);
        QCOMPARE(cancelled.lineCount(), 0);
        QVERIFY(!cancelled.matcher().names().available());
    }

    // What a file's cancellations and corrections leave: "amount" per line,
    // "amount取消" for one that takes back a deposit not in the file, "不正"
    // after a line that may not be used.
    void cancellationsAndCorrections_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("takenBack");

        const auto row = [](const char *name, const QByteArray &bytes, const QStringList &lines, int takenBack) {
            QTest::newRow(name) << bytes << lines << takenBack;
        };
        const auto notice = [](const QList<Entry> &entries) {
            return ZenginSample::join(ZenginSample::notice({{entries}}));
        };
        const Entry yamada{"060501", 3000, u"ﾔﾏﾀﾞ"_s};
        const Entry cancelled{"060501", 3000, u"ﾔﾏﾀﾞ"_s, {}, '1', "11", true};
        const Entry other{"060501", 3000, u"ｽｽﾞｷ"_s, {}, '1', "11", false, "000043"};
        const Entry unnumbered{"060501", 3000, u"ﾔﾏﾀﾞ"_s, {}, '1', "11", true, "000099"};
        const Entry standing{"060502", 800, u"ｻﾄｳ"_s, {}, '1', "11", false, "000044"};
        const Entry tanaka{"060501", 5400, u"ﾀﾅｶ"_s, {}, '1', "11", false, "000050"};
        const Entry sato{"060501", 12800, u"ｻﾄｳ"_s, {}, '1', "11", false, "000050"};
        Entry satoCancelled = sato;
        satoCancelled.cancel = true;
        row("01 cancel with its original, by 照会番号", notice({yamada, other, cancelled}), {u"3000"_s}, 1);
        row("01 cancel with its original, by amount, date and payer", notice({other, yamada, unnumbered}), {u"3000"_s},
            1);
        row("01 cancel without its original", notice({standing, cancelled}), {u"800"_s, u"3000取消"_s}, 0);
        row("01 cancel before its notice", notice({cancelled, other, yamada}), {u"3000"_s}, 1);
        row("01 two notices of one 照会番号, the cancel agrees with one", notice({tanaka, sato, satoCancelled}),
            {u"5400"_s}, 1);
        row("01 照会番号 agrees, nothing else does", notice({tanaka, satoCancelled}),
            {u"5400不正"_s, u"12800取消不正"_s}, 0);
        const Entry otherPayer{"060501", 3000, u"ｽｽﾞｷ"_s, {}, '1', "11", true, "000099"};
        const Entry otherDay{"060502", 3000, u"ﾔﾏﾀﾞ"_s, {}, '1', "11", true, "000099"};
        row("01 cancel of no 照会番号 here, another payer", notice({yamada, otherPayer}), {u"3000"_s, u"3000取消"_s}, 0);
        row("01 cancel of no 照会番号 here, another 勘定日", notice({yamada, otherDay}), {u"3000"_s, u"3000取消"_s}, 0);
        // The cancel's payer cannot be read: its notice is held back, and the
        // record after it reads as any other.
        QList<QByteArray> damaged = ZenginSample::notice({{{yamada, cancelled, standing}}});
        damaged[2].replace(49, 2, "\x81\x20");
        row("01 damaged cancel", ZenginSample::join(damaged), {u"3000不正"_s, u"3000取消不正"_s, u"800"_s}, 0);

        const Entry suzuki{"060501", 3000, u"ｽｽﾞｷ"_s};
        const Entry correction{"060502", 3000, u"ﾔﾏﾀﾞ"_s, {}, '2', "19"};
        row("03 入金訂正 with its deposit", ZenginSample::file({suzuki, yamada, correction}), {u"3000"_s}, 1);
        row("03 入金訂正 naming another payer", ZenginSample::file({suzuki, correction}), {u"3000"_s, u"3000取消"_s}, 0);
        damaged = ZenginSample::statement({{{suzuki, Entry{"060501", 700, u"ｻﾄｳ"_s}, correction}}});
        damaged[3].replace(81, 2, "\x81\x20");
        row("03 damaged 入金訂正", ZenginSample::join(damaged), {u"3000不正"_s, u"700"_s, u"3000取消不正"_s}, 0);
        const Entry giveBack{"060503", 220, u"ﾃｽｳﾘｮｳ"_s, {}, '1', "19"};
        row("03 出金訂正 is no payment", ZenginSample::file({withdrawal(220), giveBack}), {}, 0);
    }

    void cancellationsAndCorrections()
    {
        QFETCH(QByteArray, bytes);
        const Statement statement = StatementFile::read(bytes, Today);
        QVERIFY2(statement.ok(), qPrintable(statement.error));
        QStringList lines;
        for (const StatementLine &line : statement.lines)
            lines << QString::number(line.amount) + (line.cancels ? u"取消"_s : QString())
                         + (line.problem.isEmpty() ? QString() : u"不正"_s);
        QTEST(lines, "lines");
        QTEST(statement.takenBack, "takenBack");
    }

    void readsDatesAndAmounts_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("read"); // "date|amount", "problem", or "skipped"

        QTest::newRow("full width, yen after") << u"２０２４／０５／０１"_s << u"１，２３４円"_s << u"2024/05/01|1234"_s;
        QTest::newRow("R08.12.05") << u"R08.12.05"_s << u"1"_s << u"2026/12/05|1"_s;
        QTest::newRow("平成31年4月30日") << u"平成31年4月30日"_s << u"1"_s << u"2019/04/30|1"_s;
        QTest::newRow("令和元年5月1日") << u"令和元年5月1日"_s << u"1"_s << u"2019/05/01|1"_s;
        QTest::newRow("令和元年4月30日 is no day") << u"令和元年4月30日"_s << u"1"_s << u"problem"_s;
        QTest::newRow("before the cell's range") << u"1899/12/31"_s << u"1234"_s << u"problem"_s;
        QTest::newRow("fraction of a yen") << u"2024/05/01"_s << u"12.5"_s << u"problem"_s;
        QTest::newRow("text") << u"2024/05/01"_s << u"abc"_s << u"problem"_s;
        QTest::newRow("spreadsheet's long number") << u"2024/05/01"_s << u"1.23457E+06"_s << u"problem"_s;
        QTest::newRow("withdrawal") << u"2024/05/01"_s << u"-500"_s << u"skipped"_s;
        QTest::newRow("nothing deposited") << u"2024/05/01"_s << u"0"_s << u"skipped"_s;
    }

    void readsDatesAndAmounts()
    {
        QFETCH(QString, date);
        QFETCH(QString, amount);
        const Statement statement =
            StatementFile::read(u"日付,金額,摘要\n%1,\"%2\",x\n"_s.arg(date, amount).toUtf8(), Today);
        QVERIFY2(statement.ok(), qPrintable(statement.error));
        QString read = u"skipped"_s;
        if (!statement.lines.isEmpty()) {
            const StatementLine &line = statement.lines.constFirst();
            read = line.problem.isEmpty() ? u"%1|%2"_s.arg(dateOf(line)).arg(line.amount) : u"problem"_s;
        }
        QTEST(read, "read");
    }

    // A bank file's dates are read in the era the header's range gives, the
    // header against its own 作成日: the PC clock does not decide.
    void readsRecordDates_data()
    {
        QTest::addColumn<QByteArray>("header"); // 作成日 自 至
        QTest::addColumn<QByteArray>("yymmdd");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("read"); // the date, or "problem"

        const auto row = [](const char *name, const char *header, const char *yymmdd, QDate today, const char *read) {
            QTest::newRow(name) << QByteArray(header) << QByteArray(yymmdd) << today << QString::fromUtf8(read);
        };
        const char *r8 = "081210 081201 081210", *boundary = "010510 310425 010510", *none = "000000 000000 000000";
        row("clock a month behind", r8, "081205", {2026, 11, 1}, "2026/12/05");
        row("clock years ahead", r8, "081205", {2031, 3, 1}, "2026/12/05");
        row("no 令和8年2月29日", "080305 080201 080305", "080229", {2026, 3, 6}, "problem");
        row("090301 outside the range", r8, "090301", {2026, 12, 11}, "problem");
        row("last 平成 day", boundary, "310430", {2026, 1, 1}, "2019/04/30");
        row("first 令和 day", boundary, "010501", {2026, 1, 1}, "2019/05/01");
        row("平成31年5月 is no day", boundary, "310501", {2026, 1, 1}, "problem");
        row("western years", "261210 261201 261210", "261205", {2026, 12, 11}, "2026/12/05");
        row("no range: the latest year not ahead of today", none, "070310", {2025, 3, 1}, "2025/03/10");
        row("no range, 080229 is not read in another era", none, "080229", {2026, 3, 1}, "problem");
    }

    void readsRecordDates()
    {
        QFETCH(QByteArray, header);
        QFETCH(QByteArray, yymmdd);
        QFETCH(QDate, today);
        const QList<QByteArray> dates = header.split(' ');
        const BankDate::Range range = BankDate::headerRange(dates.at(0), dates.at(1), dates.at(2), today);
        const BankDate::Read read = BankDate::inRange(yymmdd, range, 0, today);
        QCOMPARE(read.date.isValid(), read.problem.isEmpty());
        QTEST(read.date.isValid() ? read.date.toString(u"yyyy/MM/dd"_s) : u"problem"_s, "read");
    }

    void refusesBadFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error"); // the start of the message: line and reason

        QTest::newRow("empty") << QByteArray("\r\n") << u"1行目: ファイルが空"_s;
        QTest::newRow("no statement") << QByteArray("name,price\nfoo,1\n") << u"1行目: 入金データではありません"_s;
        QTest::newRow("no date column") << u"金額,摘要\n1,a\n"_s.toUtf8() << u"1行目: 日付の列がありません"_s;
        QTest::newRow("no amount column") << u"日付,摘要\n2024/05/01,a\n"_s.toUtf8() << u"1行目: 金額の列がありません"_s;
        QTest::newRow("quote left open") << u"日付,金額\n2024/05/01,1\n2024/05/02,\"2\n3\n"_s.toUtf8()
                                         << u"3行目: 引用符"_s;
        QTest::newRow("unknown names, quote left open later")
            << u"Datum,Betrag\n2024/05/01,1\n2024/05/02,\"2\n"_s.toUtf8() << u"3行目: 引用符"_s;
        QTest::newRow("text after a quote") << u"日付,金額\n\"2024/05/01\"x,1\n"_s.toUtf8()
                                            << u"2行目: 閉じた引用符の後"_s;
        QTest::newRow("neither encoding") << QByteArray("date,amount\n2024/05/01,1\n\x81\x20,1\n")
                                          << u"3行目: 文字コードを判別できません（UTF-8 でも"_s;
        QTest::newRow("utf-16") << QByteArray("d\0a\0t\0e\0", 8) << u"1行目: 文字コードを判別できません（UTF-16"_s;
        QTest::newRow("a line of 1,501 columns") << QByteArray(1500, ',') << u"1行目: 列が多すぎます（1501 列"_s;

        const QList<QByteArray> good = ZenginSample::statement({{{Entry{}, Entry{}}}});
        QList<QByteArray> records = good;
        records[0].replace(1, 2, "21");
        QTest::newRow("another kind of bank file") << ZenginSample::join(records)
                                                   << u"1行目: 振込入金通知でも入出金取引明細でもありません（種別コード 21）"_s;
        records = good;
        records[2].chop(1);
        QTest::newRow("short record") << ZenginSample::join(records) << u"3行目: レコードが200バイトではありません"_s;
        records = good;
        records.removeLast();
        QTest::newRow("end record missing") << ZenginSample::join(records) << u"4行目: エンド・レコードがありません"_s;
        records = good;
        records.insert(4, good.at(1));
        QTest::newRow("data after the trailer") << ZenginSample::join(records) << u"5行目: データ区分「2」"_s;
        records = good;
        records[1][21] = '3';
        QTest::newRow("入払区分 neither") << ZenginSample::join(records) << u"2行目: 入払区分「3」"_s;
        for (const char kind : {'3', '5', '6', '7', ' '}) {
            const Account account{{Entry{}}, kind};
            const QString error = u"1行目: 預金種目 %1 の口座は読めません"_s.arg(QChar::fromLatin1(kind));
            QTest::addRow("03 預金種目 %c", kind) << ZenginSample::join(ZenginSample::statement({account})) << error;
            QTest::addRow("01 預金種目 %c", kind) << ZenginSample::join(ZenginSample::notice({account})) << error;
        }

        // Each trailer field wrong once, by one.
        const struct
        {
            const char *name;
            int position, size;
            bool notice; // 01, else 03
        } trailers[] = {{"入金件数", 2, 6, false},  {"入金額合計", 8, 13, false}, {"出金件数", 21, 6, false},
                        {"出金額合計", 27, 13, false}, {"データ・レコード件数", 55, 7, false}, {"合計件数", 2, 6, true},
                        {"合計金額", 8, 12, true},  {"取消件数", 20, 6, true},   {"取消金額", 26, 12, true}};
        for (const auto &field : trailers) {
            records = field.notice ? ZenginSample::notice({{{Entry{}, {"060501", 700, u"ﾔﾏﾀﾞ"_s, {}, '1', "11", true}}}})
                                   : ZenginSample::statement({{{Entry{}, withdrawal(500)}}});
            const qint64 value = records[3].mid(field.position - 1, field.size).toLongLong();
            records[3].replace(field.position - 1, field.size, ZenginSample::digits(value + 1, field.size));
            QTest::addRow("%s trailer %s", field.notice ? "01" : "03", field.name)
                << ZenginSample::join(records, field.notice ? "" : "\r\n")
                << u"4行目: トレーラ・レコードの%1"_s.arg(QString::fromUtf8(field.name));
        }
        // The second account's trailer is checked as the first's.
        QList<QByteArray> two = ZenginSample::statement({{{Entry{}}}, {{Entry{}, withdrawal(9)}}});
        two[6].replace(26, 13, ZenginSample::digits(8, 13));
        QTest::newRow("03 second account's trailer") << ZenginSample::join(two) << u"7行目: トレーラ・レコードの出金額合計"_s;
    }

    void refusesBadFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        const Statement statement = StatementFile::read(bytes, Today);
        QVERIFY2(statement.error.startsWith(error), qPrintable(statement.error));
        QVERIFY(statement.lines.isEmpty());
    }

    // Only regular files up to the limit are read at all.
    void refusesWhatIsNoFile()
    {
        QTemporaryDir dir;
        const QString big = dir.filePath(u"big.csv"_s);
        QFile file(big);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(StatementFile::MaxBytes + 1));
        file.close();
        // A folder is refused on the screen's own test. The reason, before its details:
        const auto reason = [](const QString &path) {
            return StatementFile::readFile(path, Today).error.section(u'（', 0, 0);
        };
        QCOMPARE(reason(big), u"ファイルが大きすぎます"_s);
        QCOMPARE(reason(dir.filePath(u"none.csv"_s)), u"ファイルがありません"_s);
    }
};

QTEST_GUILESS_MAIN(tst_StatementFile)
#include "tst_statementfile.moc"
