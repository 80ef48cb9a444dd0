// Matching statement lines to the listed orders, and the ticks, picks and
// receipts of an import built on it.
#include "core/data/CellText.h"
#include "core/import/PaymentImport.h"
#include "core/import/PaymentMatcher.h"

#include <QTest>

#include <numeric>

using namespace Qt::StringLiterals;

namespace {

const int May1 = CellText::parseDate(u"2024/05/01");

// Open amounts: 101 3,000; 102 and 103 5,000; 104 8,000 (8,000.5 rounds to
// even); 1011 2,200 of 4,400, half received.
QList<ListedOrder> listed()
{
    return {{1, 101, u"山田 太郎"_s, 3000, 0},
            {2, 102, u"佐藤 花子"_s, 5000, 0},
            {3, 103, u"鈴木 一郎"_s, 5000, 0},
            {4, 104, u"高橋 陽子"_s, 8000.5, 0},
            {5, 1011, u"田中 健太"_s, 4400, 2200}};
}

// "text/amount", several texts joined by "|"; "text/amount/named" names an
// order by its own field; "!" marks a line that could not be read, a leading
// "~" a cancellation whose original is not in the file.
StatementLine lineOf(const QString &written, int number)
{
    const QStringList fields = written.split(u'/');
    StatementLine line;
    line.lineNumber = number;
    line.cancels = fields.at(0).startsWith(u'~');
    line.julianDay = May1;
    line.searched = fields.at(0).split(u'|');
    line.text = line.searched.join(u' ');
    line.amount = fields.at(1).toLongLong();
    line.namedOrder = fields.value(2);
    if (line.text == u"!")
        line.problem = u"unreadable"_s;
    return line;
}

QList<StatementLine> linesOf(const QStringList &written)
{
    QList<StatementLine> lines;
    for (const QString &line : written)
        lines.append(lineOf(line, int(lines.size()) + 2));
    return lines;
}

} // namespace

class tst_PaymentMatcher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void statuses_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("matched"); // "status:No." per line

        QTest::newRow("number and open amount") << QStringList{u"101 ﾔﾏﾀﾞ/3000"_s} << QStringList{u"一致:101"_s};
        QTest::newRow("number in a later text, zero-padded")
            << QStringList{u"ﾔﾏﾀﾞ|000101/3000"_s} << QStringList{u"一致:101"_s};
        QTest::newRow("number inside words") << QStringList{u"NO101ﾃﾞｽ/3000"_s} << QStringList{u"一致:101"_s};
        QTest::newRow("a longer run is another number") << QStringList{u"1011/2200"_s} << QStringList{u"一致:1011"_s};
        QTest::newRow("open is billed less received") << QStringList{u"1011/4400"_s}
                                                       << QStringList{u"金額相違:1011"_s};
        QTest::newRow("halves round to even") << QStringList{u"104/8000"_s} << QStringList{u"一致:104"_s};
        QTest::newRow("the run whose amount agrees wins")
            << QStringList{u"102 ｶﾞ 101/3000"_s} << QStringList{u"一致:101"_s};
        QTest::newRow("other amount") << QStringList{u"101/2000"_s} << QStringList{u"金額相違:101"_s};
        QTest::newRow("the full payment beats an earlier short one")
            << QStringList{u"101/2000"_s, u"101/3000"_s} << QStringList{u"重複:101"_s, u"一致:101"_s};
        QTest::newRow("paid twice") << QStringList{u"101/3000"_s, u"101/3000"_s}
                                    << QStringList{u"一致:101"_s, u"重複:101"_s};
        QTest::newRow("one order has the amount") << QStringList{u"ﾔﾏﾀﾞ/3000"_s} << QStringList{u"候補:101"_s};
        QTest::newRow("the amount's order already taken")
            << QStringList{u"ﾔﾏﾀﾞ/3000"_s, u"101/3000"_s} << QStringList{u"重複:101"_s, u"一致:101"_s};
        QTest::newRow("several have the amount") << QStringList{u"ｻﾄｳ/5000"_s} << QStringList{u"複数候補:102,103"_s};
        QTest::newRow("one left of several") << QStringList{u"ｻﾄｳ/5000"_s, u"102/5000"_s}
                                             << QStringList{u"候補:103"_s, u"一致:102"_s};
        QTest::newRow("nothing has the amount") << QStringList{u"ﾘｿｸ/7"_s} << QStringList{u"不一致"_s};
        QTest::newRow("names an order the list lacks")
            << QStringList{u"555/3000/555"_s} << QStringList{u"一覧外:555"_s};
        QTest::newRow("a listed number beats a named one")
            << QStringList{u"101|555/3000/555"_s} << QStringList{u"一致:101"_s};
        QTest::newRow("a cancellation names its order and takes nothing")
            << QStringList{u"~101/3000"_s, u"101/3000"_s} << QStringList{u"取消:101"_s, u"一致:101"_s};
        QTest::newRow("a cancellation without a number names the amount's one order")
            << QStringList{u"~ﾔﾏﾀﾞ/3000"_s, u"ﾔﾏﾀﾞ/3000"_s} << QStringList{u"取消:101"_s, u"候補:101"_s};
        QTest::newRow("unreadable line takes nothing")
            << QStringList{u"!/3000"_s, u"ﾔﾏﾀﾞ/3000"_s} << QStringList{u"不正"_s, u"候補:101"_s};
    }

    void statuses()
    {
        QFETCH(QStringList, lines);
        const PaymentMatcher matcher(listed());
        const QList<MatchResult> results = matcher.match(linesOf(lines));
        QStringList matched;
        for (const MatchResult &result : results) {
            QString text = PaymentMatcher::statusText(result.status);
            QStringList ids;
            if (result.order >= 0)
                ids << QString::number(matcher.orders().at(result.order).id);
            for (const int candidate : result.candidates)
                ids << QString::number(matcher.orders().at(candidate).id);
            if (!result.namedOrder.isEmpty())
                ids << result.namedOrder;
            matched << (ids.isEmpty() ? text : text + u':' + ids.join(u','));
        }
        QTEST(matched, "matched");
    }

    void ticksPicksAndReceipts()
    {
        // 一致 101, 複数候補 102/103, 金額相違 1011, 不一致, 重複 101.
        PaymentImport import(Statement{Statement::Format::Csv, TextEncoding::Utf8,
                                       linesOf({u"101/3000"_s, u"ｻﾄｳ/5000"_s, u"1011/1000"_s, u"ﾘｿｸ/7"_s,
                                                u"101/3000"_s}),
                                       0, 0, QString(), QString()},
                             listed());
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
        PaymentImport cancelled(Statement{Statement::Format::Notice, TextEncoding::Cp932,
                                          linesOf({u"~101/3000"_s}), 0, 0, QString(), QString()},
                                listed());
        QVERIFY(!cancelled.isTicked(0));
        QVERIFY(!cancelled.setTicked(0, true));

        QStringList receipts;
        for (const PaymentImport::Receipt &receipt : import.receipts())
            receipts << u"%1:%2:%3"_s.arg(receipt.row).arg(CellText::dateText(receipt.julianDay)).arg(receipt.paidAmount);
        QCOMPARE(receipts, (QStringList{u"1:2024/05/01:3000"_s, u"3:2024/05/01:5000"_s, u"5:2024/05/01:3200"_s}));
        QVERIFY(import.choose(1, -1));
        QVERIFY(!import.isTicked(1));
        QCOMPARE(import.totals()[size_t(MatchStatus::Duplicate)].amount, 3000);
    }

    void candidatesAreCapped_data()
    {
        QTest::addColumn<int>("sharing"); // listed orders with the line's amount
        QTest::addColumn<int>("offered");
        QTest::newRow("two") << 2 << 2;
        QTest::newRow("one below the cap") << PaymentMatcher::MaxCandidates - 1 << PaymentMatcher::MaxCandidates - 1;
        QTest::newRow("the cap") << PaymentMatcher::MaxCandidates << PaymentMatcher::MaxCandidates;
        QTest::newRow("one past the cap") << PaymentMatcher::MaxCandidates + 1 << PaymentMatcher::MaxCandidates;
        QTest::newRow("ten times the cap") << 10 * PaymentMatcher::MaxCandidates << PaymentMatcher::MaxCandidates;
    }

    void candidatesAreCapped()
    {
        QFETCH(int, sharing);
        QFETCH(int, offered);
        QList<ListedOrder> orders;
        for (int i = 0; i < sharing; ++i)
            orders.append({i + 1, 5000 + i, u"顧客"_s, 1200, 0});
        const QList<MatchResult> results = PaymentMatcher(orders).match(linesOf({u"ﾌﾘｺﾐ/1200"_s}));
        QCOMPARE(results.size(), 1);
        QCOMPARE(results[0].status, MatchStatus::MultipleCandidates);
        QCOMPARE(results[0].candidateCount, sharing);
        // The first ones, in list order.
        QList<int> first(offered);
        std::iota(first.begin(), first.end(), 0);
        QCOMPARE(results[0].candidates, first);
    }
};

QTEST_GUILESS_MAIN(tst_PaymentMatcher)
#include "tst_paymentmatcher.moc"
