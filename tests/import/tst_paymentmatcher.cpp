// Matching statement lines to the listed orders, and the ticks, picks and
// receipts of an import built on it.
#include "MatchText.h"

#include "import/PaymentImport.h"
#include "import/MatchKeys.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Open amounts: 101 3,000; 102 and 103 5,000; 104 8,000; 1011 2,200 of
// 4,400, half received. 201 differs from 101's phone in
// its last digit; 202, 203 (by TEL1) and 205 are one customer; 88 and 250
// have one amount; 301 and 302 share a 氏名 but not a phone; 401 and 402 are
// one customer's orders of one amount; 204 has no phone. 206 shares 204's
// 氏名 and 251 250's, each with a phone of its own; 501 to 503 are one
// customer's orders of 600, 600 and 100; 3312345678 has a No. of a phone's length.
QList<ListedOrder> listed()
{
    return {{1, 101, u"山田 太郎"_s, 3000, 0, u"03-1234-5678"_s, {}},
            {2, 102, u"佐藤 花子"_s, 5000, 0, {}, {}},
            {3, 103, u"鈴木 一郎"_s, 5000, 0, {}, {}},
            {4, 104, u"高橋 陽子"_s, 8000, 0, {}, {}},
            {5, 1011, u"田中 健太"_s, 4400, 2200, {}, {}},
            {6, 201, u"伊藤 誠"_s, 2000, 0, u"0312345679"_s, {}},
            {7, 202, u"伊藤 花子"_s, 2500, 0, u"045-222-3333"_s, {}},
            {8, 203, u"伊藤 花子"_s, 3300, 0, {}, u"(045)222-3333"_s},
            {9, 205, u"伊藤 花子"_s, 1200, 0, u"045-222-3333"_s, {}},
            {10, 88, u"田中 次郎"_s, 4000, 0, u"090-8888-0088"_s, {}},
            {11, 250, u"田中 太郎"_s, 4000, 0, u"06-6666-7777"_s, {}},
            {12, 12, u"鈴木 花子"_s, 7000, 0, {}, {}},
            {13, 204, u"渡辺　次郎"_s, 6000, 0, {}, {}},
            {14, 301, u"鈴木 一郎"_s, 9100, 0, u"011-222-3333"_s, {}},
            {15, 302, u"鈴木 一郎"_s, 9200, 0, u"011-222-4444"_s, {}},
            {16, 401, u"小林 修"_s, 1500, 0, u"0111111111"_s, {}},
            {17, 402, u"小林 修"_s, 1500, 0, u"0111111111"_s, {}},
            {18, 206, u"渡辺 次郎"_s, 7200, 0, u"022-111-2222"_s, {}},
            {19, 251, u"田中 太郎"_s, 4000, 0, u"06-1111-2222"_s, {}},
            {20, 501, u"岡田 守"_s, 600, 0, u"022-555-0001"_s, {}},
            {21, 502, u"岡田 守"_s, 600, 0, u"022-555-0001"_s, {}},
            {22, 503, u"岡田 守"_s, 100, 0, u"022-555-0001"_s, {}},
            {23, 3312345678, u"木村 拓"_s, 1300, 0, {}, {}}};
}

// Names the operators taught: two by phone, one by 氏名, one whose 氏名 two
// customers with different phones share, and three written as banks shorten them.
PayerNames taught()
{
    PayerNames names;
    names.teach(PayerNames::normalised(u"ｲﾄｳ ﾊﾅｺ"_s), {MatchKeys::phoneKey(u"045-222-3333"), {}});
    names.teach(PayerNames::normalised(u"ﾜﾀﾅﾍﾞ ｼﾞﾛｳ"_s), {0, u"渡辺 次郎"_s});
    names.teach(PayerNames::normalised(u"ｽｽﾞｷ ｲﾁﾛｳ"_s), {0, u"鈴木 一郎"_s});
    names.teach(PayerNames::normalised(u"ﾀﾅｶ ﾀﾛｳ"_s), {MatchKeys::phoneKey(u"06-6666-7777"), u"田中 太郎"_s});
    names.teach(PayerNames::normalised(u"ｻﾄｰ ﾀﾛｰ"_s), {0, u"高橋 陽子"_s});
    names.teach(PayerNames::normalised(u"ﾔﾏﾀﾞｼﾖｳｼﾞ(ｶ"_s), {0, u"鈴木 花子"_s});
    names.teach(PayerNames::normalised(u"ﾕ) ﾔﾏﾀﾞ"_s), {0, u"佐藤 花子"_s});
    return names;
}

constexpr qint64 Tolerance = 880;

PaymentImport importOf(const QStringList &written, qint64 tolerance = 0, const PayerNames &names = {})
{
    return PaymentImport(Statement{Statement::Format::Csv, TextEncoding::Utf8, linesOf(written), 0, 0, {}, {}},
                         listed(), tolerance, names);
}

} // namespace

class tst_PaymentMatcher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void statuses_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("matched"); // "status@key:No.s-fee" per line

        const auto row = [](const char *name, const QStringList &lines, const QStringList &matched) {
            QTest::newRow(name) << lines << matched;
        };
        row("number in a later text, zero-padded", {u"ﾔﾏﾀﾞ|000101#3000"_s}, {u"一致@No.:101"_s});
        row("number inside words", {u"NO101ﾃﾞｽ#3000"_s}, {u"一致@No.:101"_s});
        row("a longer run is another number", {u"1011#2200"_s}, {u"一致@No.:1011"_s});
        row("open is billed less received", {u"1011#4400"_s}, {u"金額相違@No.:1011"_s});
        row("the run whose amount agrees wins", {u"102 ｶﾞ 101#3000"_s}, {u"一致@No.:101"_s});
        row("the full payment beats an earlier short one", {u"101#2000"_s, u"101#3000"_s},
            {u"重複@No.:101"_s, u"一致@No.:101"_s});
        row("paid twice", {u"101#3000"_s, u"101#3000"_s}, {u"一致@No.:101"_s, u"重複@No.:101"_s});
        row("the amount's order already taken", {u"ﾔﾏﾀﾞ#3000"_s, u"101#3000"_s}, {u"重複:101"_s, u"一致@No.:101"_s});
        row("several have the amount", {u"ｻﾄｳ#5000"_s}, {u"複数候補:102,103"_s});
        row("one left of several", {u"ｻﾄｳ#5000"_s, u"102#5000"_s}, {u"候補:103"_s, u"一致@No.:102"_s});
        row("nothing has the amount", {u"ﾘｿｸ#7"_s}, {u"不一致"_s});
        row("names an order the list lacks", {u"555#3000#555"_s}, {u"一覧外:555"_s});
        row("unreadable line takes nothing", {u"!#3000"_s, u"ﾔﾏﾀﾞ#3000"_s}, {u"不正"_s, u"候補:101"_s});

        // The order-number column decides over any run in the texts.
        row("the column beats a membership number", {u"ﾀﾅｶ ﾀﾛｳ ｶｲｲﾝ88#4000#250"_s}, {u"一致@No.:250"_s});
        row("the column's order short, the text's fits", {u"ｶｲｲﾝ88#4000#1011"_s}, {u"金額相違@No.:1011"_s});
        row("the column lists no order, the text does", {u"ｶｲｲﾝ88#4000#555"_s}, {u"一覧外:555"_s});
        row("the column holds no number: no text stands in", {u"ﾀﾅｶ ｶｲｲﾝ88#4000#A-250"_s},
            {u"複数候補:88,250,251"_s});
        row("a date is no order number", {u"ｽｽﾞｷ 12/01ﾌﾞﾝ#7000"_s}, {u"候補:12"_s});
        row("a western date", {u"ｽｽﾞｷ 2026/12/05#7000"_s}, {u"候補:12"_s});
        row("a written date", {u"ｽｽﾞｷ 12月1日ﾌﾞﾝ#7000"_s}, {u"候補:12"_s});
        row("a grouped amount", {u"ﾘｿｸ 12,000#7000"_s}, {u"候補:12"_s});
        row("a time", {u"ｽｽﾞｷ 12:30ﾌﾘｺﾐ#7000"_s}, {u"候補:12"_s});
        // Phones start with 0 and have at most 11 digits: these runs are numbers.
        row("a number of ten digits", {u"3312345678#1300"_s}, {u"一致@No.:3312345678"_s});
        row("a number of twelve digits", {u"000000000101#3000"_s}, {u"一致@No.:101"_s});
        row("two named orders of one amount", {u"88 250#4000"_s}, {u"複数候補@No.:88,250"_s});
        row("keys naming different orders", {u"ｶｲｲﾝ88 06-6666-7777#4000"_s}, {u"複数候補@No.:250,88"_s});

        // Phone numbers, compared whole as digits.
        row("phone in brackets", {u"ｲﾄｳ (03)1234-5679#2000"_s}, {u"一致@TEL:201"_s});
        row("phone in full-width digits", {u"ｲﾄｳ ０３１２３４５６７９#2000"_s}, {u"一致@TEL:201"_s});
        row("phone with spaces", {u"ｲﾄｳ 03 1234 5679#2000"_s}, {u"一致@TEL:201"_s});
        row("another phone with the same start", {u"ｲﾄｳ 03-1234-5670#2000"_s}, {u"候補:201"_s});
        row("phone by TEL1, the amount picks the order", {u"045-222-3333#3300"_s}, {u"一致@TEL:203"_s});
        row("phone, two orders fit", {u"0111111111#1500"_s}, {u"複数候補@TEL:401,402"_s});

        // Fees, combined and split payments.
        row("short by a fee", {u"201#1120"_s}, {u"手数料差@No.:201-880"_s});
        row("short beyond the tolerance", {u"201#1119"_s}, {u"金額相違@No.:201"_s});
        row("a little more is no fee", {u"201#2100"_s}, {u"金額相違@No.:201"_s});
        row("all of a customer's orders", {u"045-222-3333#7000"_s}, {u"合算@TEL:202,203,205"_s});
        row("all of them less a fee", {u"045-222-3333#6340"_s}, {u"合算@TEL:202,203,205-660"_s});
        row("one of the customer's orders missing", {u"045-222-3333#5800"_s}, {u"金額相違@TEL:202"_s});
        row("more than all of them", {u"045-222-3333#7001"_s}, {u"金額相違@TEL:202"_s});
        row("a fee an order cannot bear", {u"022-555-0001#700"_s}, {u"金額相違@TEL:501"_s});
        row("the fee on an order that can bear it", {u"022-555-0001#1150"_s}, {u"合算@TEL:501,503,502-150"_s});
        row("the orders the text names", {u"202・203#5800"_s}, {u"合算@No.:202,203"_s});
        row("an order paid in two halves", {u"250#2000#250"_s, u"ﾀﾅｶ 06-6666-7777#2000"_s},
            {u"分割@No.:250"_s, u"分割@TEL:250"_s});
        row("halves less a fee", {u"250#2000#250"_s, u"250#1560#250"_s}, {u"分割@No.:250"_s, u"分割@No.:250-440"_s});
        row("halves that fall short", {u"250#2000#250"_s, u"250#1000#250"_s},
            {u"金額相違@No.:250"_s, u"重複@No.:250"_s});
        row("halves of an order a full payment took", {u"250#2000#250"_s, u"250#4000#250"_s, u"250#2000#250"_s},
            {u"重複@No.:250"_s, u"一致@No.:250"_s, u"重複@No.:250"_s});

        // Learned payer names.
        row("a name taught by phone", {u"ｲﾄｳ ﾊﾅｺ#3300##ｲﾄｳ ﾊﾅｺ"_s}, {u"一致@名義:203"_s});
        row("the name written another way", {u"x#3300##イトウ　ハナコ"_s}, {u"一致@名義:203"_s});
        row("a name taught by 氏名", {u"x#6000##ﾜﾀﾅﾍﾞｼﾞﾛｳ"_s}, {u"一致@名義:204"_s});
        row("long vowels as dashes", {u"x#8000##サト-タロ‐"_s}, {u"一致@名義:104"_s});
        row("株式会社 after the name", {u"x#7000##ヤマダショウジ株式会社"_s}, {u"一致@名義:12"_s});
        row("有限会社 before the name", {u"x#5000##有限会社ヤマダ"_s}, {u"一致@名義:102"_s});
        row("a name taught without a phone is not the namesake with one", {u"x#7200##ﾜﾀﾅﾍﾞｼﾞﾛｳ"_s},
            {u"金額相違@名義:204"_s});
        row("a namesake owes the amount too", {u"x#4000##ﾀﾅｶ ﾀﾛｳ"_s}, {u"複数候補@名義:250,251"_s});
        row("a 氏名 with phones and without", {u"x#9100##ｽｽﾞｷ ｲﾁﾛｳ"_s}, {u"金額相違@名義:103"_s});
        row("a cancellation names its order and takes nothing", {u"~101#3000"_s, u"101#3000"_s},
            {u"取消:101"_s, u"一致@No.:101"_s});
        row("a cancellation without a key names no order", {u"~ﾔﾏﾀﾞ#3000"_s, u"ﾔﾏﾀﾞ#3000"_s},
            {u"取消"_s, u"候補:101"_s});
    }

    void statuses()
    {
        QFETCH(QStringList, lines);
        const PaymentMatcher matcher(listed(), Tolerance, taught());
        const QList<StatementLine> statement = linesOf(lines);
        const QList<MatchResult> results = matcher.match(statement);
        QStringList matched;
        for (qsizetype i = 0; i < results.size(); ++i)
            matched << matchText(matcher, results.at(i), statement.at(i));
        QTEST(matched, "matched");
    }

    void feeTolerance_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<qint64>("yen");
        QTest::addColumn<bool>("refused");
        QTest::newRow("the most") << u"1000"_s << qint64(1000) << false;
        QTest::newRow("more than any fee") << u"1001"_s << qint64(0) << true;
        QTest::newRow("negative") << u"-5"_s << qint64(0) << true;
        QTest::newRow("no number") << u"880円"_s << qint64(0) << true;
    }

    void feeTolerance()
    {
        QFETCH(QString, setting);
        QString refusal;
        QTEST(PaymentMatcher::feeToleranceOf(setting, refusal), "yen");
        QTEST(!refusal.isEmpty(), "refused");
    }

    void ticksPicksAndReceipts()
    {
        // 一致 101, 複数候補 102/103, 金額相違 1011, 不一致, 重複 101.
        PaymentImport import = importOf({u"101#3000"_s, u"ｻﾄｳ#5000"_s, u"1011#1000"_s, u"ﾘｿｸ#7"_s, u"101#3000"_s});
        QCOMPARE(import.unticked(), (QList<int>{1, 2, 3, 4}));
        QVERIFY(!import.setTicked(3, true));
        QVERIFY(!import.setTicked(1, true));
        QVERIFY(!import.choose(1, 0));
        QVERIFY(import.choose(1, 2));
        QVERIFY(import.setTicked(1, true));
        QVERIFY(import.setTicked(2, true));
        QVERIFY(import.conflict().isEmpty());
        QVERIFY(import.setTicked(4, true));
        QVERIFY2(import.conflict().startsWith(u"2行目と6行目が同じ No.101"_s), qPrintable(import.conflict()));
        QVERIFY(import.setTicked(4, false));
        PaymentImport cancelled = importOf({u"~101#3000"_s});
        QVERIFY(!cancelled.isTicked(0));
        QVERIFY(!cancelled.setTicked(0, true));
        QVERIFY(!cancelled.assign(0, 0));

        QStringList receipts;
        for (const PaymentImport::Receipt &receipt : import.receipts())
            receipts << u"%1:%2:%3"_s.arg(receipt.row).arg(receipt.date.toString(u"yyyy/MM/dd")).arg(receipt.paidAmount);
        QCOMPARE(receipts, (QStringList{u"1:2024/05/01:3000"_s, u"3:2024/05/01:5000"_s, u"5:2024/05/01:3200"_s}));
        QVERIFY(import.choose(1, -1));
        QVERIFY(!import.isTicked(1));
        QCOMPARE(import.totals()[size_t(MatchStatus::Duplicate)].amount, 3000);
    }

    void appliedAmountsAndLessons()
    {
        // 手数料差 201, 合算 202/203/205 less a fee, 分割 250 in two lines,
        // 候補 12 by amount alone, 複数候補 401/402 by phone, 不一致 given by hand.
        PaymentImport import = importOf({u"201#1120"_s, u"045-222-3333#6340"_s, u"250#2000#250"_s, u"ｽｽﾞｷ#7000"_s,
                                         u"0111111111#1500"_s, u"250#2000#250"_s, u"x#7##ｵｶﾞﾜ ｼﾞﾛｳ"_s},
                                        Tolerance, taught());
        QCOMPARE(import.unticked(), (QList<int>{3, 4, 6}));
        QVERIFY(import.conflict().isEmpty());
        QCOMPARE(import.fee(1), 660);
        QVERIFY(!import.assign(6, -1));
        QVERIFY(import.assign(6, 12)); // the list's 204, by hand
        QVERIFY(import.choose(4, 16));
        QVERIFY(import.setTicked(4, true));

        QStringList receipts;
        for (const PaymentImport::Receipt &receipt : import.receipts())
            receipts << u"%1:%2"_s.arg(receipt.row).arg(receipt.paidAmount);
        QCOMPARE(receipts, (QStringList{u"6:1120"_s, u"7:2500"_s, u"8:3300"_s, u"9:540"_s, u"11:4000"_s,
                                        u"17:1500"_s, u"13:7"_s}));

        const QList<PayerNames::Lesson> lessons = import.lessons();
        QCOMPARE(lessons.size(), 1);
        QCOMPARE(lessons.constFirst().orderId, 204);
        QCOMPARE(lessons.constFirst().payer, PayerNames::normalised(u"ｵｶﾞﾜｼﾞﾛｳ"_s));
        QCOMPARE(lessons.constFirst().name, u"渡辺　次郎"_s);

        // A split line given by hand is a payment of its own beside the other half.
        QVERIFY(import.assign(2, 10));
        QVERIFY2(import.conflict().startsWith(u"4行目と7行目が同じ No.250"_s), qPrintable(import.conflict()));
    }
};

QTEST_GUILESS_MAIN(tst_PaymentMatcher)
#include "tst_paymentmatcher.moc"
