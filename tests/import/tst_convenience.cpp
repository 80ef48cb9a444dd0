// The convenience-store collection files: the slip's barcode, the agents' CSV
// and 120-byte form, and one receipt per payment however many records report
// it. Files are written here from the published column order and the 120-byte
// form's default positions.
#include "ZenginSample.h"

#include "core/settings/SuiteSettings.h"
#include "import/ConvenienceStatement.h"
#include "import/PaymentImport.h"
#include "import/PaymentMethods.h"
#include "import/StatementFile.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A slip of company 123456 for the order, due 2026-12-31: the check digit
// weighs the leftmost of the 43 digits 3, as the rightmost.
QString slip(int order, qint64 amount)
{
    const QString digits = u"91123456"_s + u"%1"_s.arg(qint64(order), 21, 10, QChar(u'0')) + u"0261231"_s + u"0"_s
                           + u"%1"_s.arg(amount, 6, 10, QChar(u'0'));
    int sum = 0;
    for (qsizetype i = 0; i < digits.size(); ++i)
        sum += digits.at(i).digitValue() * (i % 2 == 0 ? 3 : 1);
    return digits + QString::number((10 - sum % 10) % 10);
}

// A CSV record in the published column order.
QString row(const char *kind, const QString &barcode, qint64 amount, const char *time = "1005",
            const char *store = "0123456")
{
    return u"%1,20261201,%2,%3,,,0,%4,001,ｺﾝﾋﾞﾆ,%5,20261204,20261202\n"_s.arg(QLatin1StringView(kind),
        QLatin1StringView(time), barcode, QString::number(amount), QLatin1StringView(store));
}

// "line|kind|outcome|amount|order|day", or "line|不正|" and the problem.
QString shown(const StatementLine &line)
{
    if (!line.problem.isEmpty())
        return u"%1|不正|%2"_s.arg(line.lineNumber).arg(line.problem);
    const QString outcome = line.cancels ? u"cancel"_s : line.early ? u"prompt"_s : u"pays"_s;
    return u"%1|%2|%3|%4|%5|%6"_s.arg(line.lineNumber).arg(line.kind, outcome, QString::number(line.amount),
                                                          line.namedOrder, line.date.toString(u"MMdd"));
}

// A 120-byte record: the データ区分 and its fields at their positions from 1.
QByteArray record(char kind, const QList<std::pair<int, QByteArray>> &fields)
{
    return ZenginSample::record(kind, fields, ConvenienceSettings::RecordSize);
}

QByteArray data(const char *kind, const QString &barcode, qint64 amount)
{
    return record('2', {{2, kind}, {4, "20261201"}, {12, "1005"}, {16, barcode.toLatin1()}, {60, "0123456"},
                        {67, "20261204"}, {75, "20261202"}, {83, "000001"}, {89, ZenginSample::digits(amount, 10)}});
}

QByteArray trailer(int count, qint64 total)
{
    return record('8', {{2, ZenginSample::digits(count, 6)}, {8, ZenginSample::digits(total, 12)}});
}

} // namespace

class tst_Convenience : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reads_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("ini"); // key=value;key=value
        // Each line's "line|kind|outcome|amount|order|day" or "line|不正|" and a
        // word of its problem; "!" and a word of the reason a file is refused.
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("takenBack");

        const QString a = slip(101, 1200), b = slip(102, 900), good = slip(4711, 1200);
        const QString header = u"種別,収納日,収納時刻,バーコード情報,ユーザー使用欄1,ユーザー使用欄2,印紙フラグ,金額,"
                               "コンビニ本部コード,コンビニ名,店舗コード,振込日,データ作成日\n"_s;
        const auto csv = [&header](const QString &rows) { return (header + rows).toUtf8(); };
        const auto add = [](const char *name, const QByteArray &bytes, const QStringList &lines,
                            const QString &ini = QString(), int takenBack = 0) {
            QTest::newRow(name) << bytes << ini << lines << takenBack;
        };
        add("EAN prefix", csv(row("02", u"EAN "_s + good, 1200)), {u"2|確報|pays|1200|4711|1201"_s});
        add("order at a position", csv(row("02", slip(123450000, 1200), 1200)), {u"2|確報|pays|1200|12345|1201"_s},
            u"BarcodeOrderStart=13;BarcodeOrderLength=5"_s);
        QString swapped = good;
        std::swap(swapped[30], swapped[31]);
        add("two digits swapped", csv(row("02", swapped, 1200)), {u"2|不正|チェックディジット"_s});
        add("43 digits", csv(row("02", good.first(43), 1200)), {u"2|不正|44 桁"_s});
        add("another identifier", csv(row("02", u"92"_s + good.sliced(2), 1200)), {u"2|不正|91 で"_s});
        add("start beyond the free digits", csv(row("02", good, 1200)), {u"!BarcodeOrderStart"_s},
            u"BarcodeOrderStart=22"_s);
        add("length beyond the free digits", csv(row("02", good, 1200)), {u"!BarcodeOrderLength"_s},
            u"BarcodeOrderStart=12;BarcodeOrderLength=11"_s);

        add("速報 then its 確報: one payment", row("01", a, 1200).append(row("02", a, 1200)).toUtf8(),
            {u"2|確報|pays|1200|101|1201"_s});
        add("the same when the 速報 pays", csv(row("01", a, 1200) + row("02", a, 1200)),
            {u"2|速報|pays|1200|101|1201"_s}, u"ConvenienceDate=速報"_s);
        add("速報 alone when the 速報 pays", csv(row("01", a, 1200)), {u"2|速報|pays|1200|101|1201"_s},
            u"ConvenienceDate=速報"_s);
        add("速報 at another store or time: no pair",
            csv(row("01", a, 1200, "1005", "0999999") + row("01", a, 1200, "1006") + row("02", a, 1200)),
            {u"2|速報|prompt|1200|101|1201"_s, u"3|速報|prompt|1200|101|1201"_s, u"4|確報|pays|1200|101|1201"_s});
        add("速報取消 takes its 速報 back", csv(row("01", a, 1200) + row("03", a, 1200, "1010") + row("02", b, 900)),
            {u"4|確報|pays|900|102|1201"_s}, QString(), 1);
        add("速報取消 without its 速報", csv(row("03", a, 1200)), {u"2|速報取消|cancel|1200|101|1201"_s});
        add("郵便振替 and its 訂正", csv(row("12", b, 900) + row("22", b, 800)), {u"2|郵便振替|pays|800|102|1201"_s});
        add("訂正 without its 郵便振替", csv(row("22", b, 800)), {u"2|郵便振替訂正|cancel|800|102|1201"_s});
        add("columns by the header's names",
            u"金額,種別,バーコード情報,収納日,収納時刻,店舗コード,振込日\n1200,02,%1,2026/12/01,10:05,1,2026/12/04\n"_s
                .arg(a).toUtf8(),
            {u"2|確報|pays|1200|101|1201"_s});
        add("header without a column", u"種別,収納日,バーコード情報,金額\n"_s.toUtf8(), {u"!「収納時刻」の列がありません"_s});
        add("unusable lines pay nothing, nor pair",
            csv(row("01", a, 1200) + row("02", a, 1300) + row("99", b, 900)
                + row("02", b, 900).replace(u"20261201"_s, u"20261301"_s) + u"02,20261201\n"_s),
            {u"2|速報|prompt|1200|101|1201"_s, u"3|不正|バーコードの金額 1200 円"_s, u"4|不正|種別「99」"_s,
             u"5|不正|収納日"_s, u"6|不正|列が足りません"_s});

        const QByteArray start = record('1', {{2, "01"}, {4, "20261202"}}), end = record('9', {});
        const QByteArray file = start + data("01", a, 1200) + data("02", a, 1200) + data("12", b, 900)
                                + trailer(3, 3300) + end;
        add("records one after another", file, {u"3|確報|pays|1200|101|1201"_s, u"4|郵便振替|pays|900|102|1201"_s});
        QByteArray moved = data("02", a, 1200);
        moved.replace(1, 2, "  ").replace(118, 2, "02");
        add("種別 moved by the settings", start + moved + trailer(1, 1200) + end, {u"2|確報|pays|1200|101|1201"_s},
            u"CvsFixedKind=119,2"_s);
        add("a position beyond the record", file, {u"!CvsFixedKind「120,2」"_s}, u"CvsFixedKind=120,2"_s);
        add("trailer's count", start + data("02", a, 1200) + trailer(2, 1200) + end,
            {u"!3行目: トレーラ・レコードの件数「000002」"_s});
        add("trailer's total", start + data("02", a, 1200) + trailer(1, 1300) + end,
            {u"!3行目: トレーラ・レコードの合計金額"_s});
        // Splitting the records and their order is the bank files' own, tested there.
    }
    void reads()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, ini);
        QFETCH(QStringList, lines);
        QTemporaryDir dir;
        const SuiteSettings suite(dir.path());
        for (const QString &setting : ini.split(u';', Qt::SkipEmptyParts))
            QVERIFY(suite.writeIni(setting.section(u'=', 0, 0), setting.section(u'=', 1)));
        const Statement statement = ConvenienceStatement::read(bytes, ConvenienceSettings::read(suite));
        QStringList seen;
        for (const StatementLine &line : statement.lines)
            seen << shown(line);
        if (!statement.ok())
            seen << u"!"_s + statement.error;
        // A problem or a refusal is named by a word of it.
        QCOMPARE(seen.size(), lines.size());
        for (qsizetype i = 0; i < seen.size(); ++i) {
            const QString &expected = lines.at(i);
            const bool word = expected.startsWith(u'!') || expected.contains(u"|不正|");
            const qsizetype cut = expected.startsWith(u'!') ? 1 : expected.indexOf(u"|不正|") + 4;
            QVERIFY2(word ? seen.at(i).first(cut) == expected.first(cut) && seen.at(i).contains(expected.sliced(cut))
                          : seen.at(i) == expected,
                     qPrintable(seen.join(u" / ")));
        }
        QTEST(statement.takenBack, "takenBack");
    }

    void methods_data()
    {
        QTest::addColumn<QString>("ini");
        QTest::addColumn<PaymentMethods::FileKind>("kind");
        QTest::addColumn<QString>("method");
        QTest::addColumn<bool>("pays");
        using K = PaymentMethods::FileKind;
        QTest::newRow("service, card") << QString() << K::Service << u"クレジットカード"_s << true;
        QTest::newRow("slip takes 郵便振替 by the settings")
            << u"コンビニ, 郵便振替"_s << K::Convenience << u"郵便振替"_s << true;
    }
    void methods()
    {
        QFETCH(QString, ini);
        QFETCH(PaymentMethods::FileKind, kind);
        QFETCH(QString, method);
        QTemporaryDir dir;
        const SuiteSettings suite(dir.path());
        if (!ini.isEmpty())
            QVERIFY(suite.writeIni(u"MethodsConvenience"_s, ini));
        QTEST(PaymentMethods::read(suite).pays(kind, method), "pays");
    }

    // Whole files against listed orders: a slip for an order of another
    // method, a 速報, a service's fee, refunds with and without their payment.
    void imports_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("columns"); // assigned, for a service's CSV
        QTest::addColumn<QStringList>("lines"); // "status ticked, ticked when the operator ticks it"
        QTest::addColumn<qint64>("payout");
        QTest::newRow("slips") << (row("02", slip(101, 1200), 1200) + row("02", slip(102, 900), 900)
                                   + row("01", slip(101, 1200), 1200, "1400")).toUtf8()
                               << QString() << QStringList{u"一致 1 1"_s, u"支払方法違い 0 0"_s, u"速報 0 1"_s} << qint64(-1);
        const QString service = u"date=0;amount=2;withdrawal=-1;payer=-1;searched=1;order=1;header=1;fee=3;net=-1;type=4;kind=3"_s;
        // Names a bank's file has too, but a fee column: read as a bank's, the refund would vanish.
        QTest::newRow("service") << u"日付,注文番号,金額,手数料,取引種別\n"
                                    "2026/12/01,103,5000,150,売上\n2026/12/01,104,3000,90,売上\n"
                                    "2026/12/02,104,-3000,-90,返金\n2026/12/02,105,5000,150,キャンセル\n"_s.toUtf8()
                                 << service << QStringList{u"一致 1 1"_s, u"取消 0 0"_s} << qint64(0);
    }
    void imports()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, columns);
        QFETCH(QStringList, lines);
        const QList<ListedOrder> orders{{1, 101, u"山田"_s, 1200, 0, {}, {}, {}, u"コンビニ払い"_s},
                                        {2, 102, u"佐藤"_s, 900, 0, {}, {}, {}, u"銀行振込"_s},
                                        {3, 103, u"鈴木"_s, 5000, 0, {}, {}, {}, u"後払い"_s},
                                        {4, 104, u"田中"_s, 3000, 0, {}, {}, {}, u"後払い"_s}};
        const std::optional<CsvColumns> assigned = CsvColumns::fromText(columns);
        if (assigned)
            QVERIFY(!StatementFile::read(bytes, QDate(2026, 12, 5)).columnsKey.isEmpty());
        PaymentImport import(StatementFile::read(bytes, QDate(2026, 12, 5), assigned ? &*assigned : nullptr),
                                   orders);
        QVERIFY2(import.statement().ok(), qPrintable(import.statement().error));
        QStringList seen;
        for (int i = 0; i < import.lineCount(); ++i) {
            const bool ticked = import.isTicked(i);
            import.setTicked(i, true);
            seen << u"%1 %2 %3"_s.arg(PaymentMatcher::statusText(import.result(i).status)).arg(ticked).arg(import.isTicked(i));
        }
        QCOMPARE(seen, lines);
        QTEST(import.statement().payout, "payout");
    }
};

QTEST_GUILESS_MAIN(tst_Convenience)
#include "tst_convenience.moc"
