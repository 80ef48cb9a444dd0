// Reading payers' names against the listed 氏名 and 会社名: the kana the
// banks print for kanji names, written out by hand, and what the readings
// must never match.
#include "MatchText.h"

#include "import/MatchKeys.h"
#include "import/NameIndex.h"
#include "import/NameReadings.h"

#include <QTest>

#include <numeric>

using namespace Qt::StringLiterals;

namespace {

// 氏名 or, after "C:", 会社名 of one order each; the last ones cannot be read.
const QStringList Listed{
    u"田中 太郎"_s, u"森 亮"_s, u"髙橋 一郎"_s, u"山﨑 健太"_s, u"齋藤 誠"_s, u"渡邊 直美"_s, u"佐々木 翔太"_s,
    u"伊藤　陽子"_s, u"長谷川 真由美"_s, u"小野寺 拓也"_s, u"斉藤 誠"_s, u"ジョン スミス"_s,
    u"マリア・ガルシア"_s, u"さとう はなこ"_s, u"中島 千尋"_s, u"東海林 浩二"_s,
    u"C:株式会社山田商事"_s, u"C:東和物産株式会社"_s, u"C:有限会社さくら企画"_s, u"C:合同会社ミライ"_s,
    u"C:一般社団法人日本茶協会"_s, u"C:医療法人社団青葉会"_s, u"C:㈱光和印刷"_s,
    u"C:株式会社北日本総合設備工業研究開発センター"_s, u"C:株式会社北日本総合設備工業研究開発センター東京営業所"_s,
    u"・・・"_s, u"C:・・・"_s, QString(200, u'田'), u"C:"_s + QString(200, u'田'), u"𪚲 𠮟"_s, u"C:𪚲 𠮟"_s};

QList<ListedOrder> listedOrders()
{
    QList<ListedOrder> orders;
    for (const QString &name : Listed) {
        ListedOrder order;
        order.row = int(orders.size()) + 1;
        order.id = order.row;
        (name.startsWith(u"C:"_s) ? order.company : order.name) = name.startsWith(u"C:"_s) ? name.sliced(2) : name;
        orders.append(order);
    }
    return orders;
}

const NameIndex &index()
{
    static const NameIndex index(listedOrders());
    return index;
}

// "whole:" and the listed names it reads as, "cut:" and the name with the
// whole reading a cut text begins, "family", or "none".
QString verdict(const NameIndex::Found &found)
{
    if (!found.names.isEmpty()) {
        QStringList names;
        for (const NameIndex::Name &name : found.names)
            names.append(found.cut ? name.listed + u'=' + name.reading : name.listed);
        names.sort();
        return (found.cut ? u"cut:"_s : u"whole:"_s) + names.join(u'|');
    }
    return found.familyOnly ? u"family"_s : u"none"_s;
}

// Orders for the rules: 601 and 602 share a family name and an amount; 603
// and 604 are one customer; 605 and 606, and 607 and 608, are two customers
// of one name each; 611 and 612 are one customer of two orders. The
// operators taught 小林 修's reading as 田中 太郎's (601).
QList<ListedOrder> ruleOrders()
{
    return {{1, 601, u"田中 太郎"_s, 5400, 0, u"03-1111-0001"_s, {}, {}},
            {2, 602, u"田中 花子"_s, 5400, 0, u"03-1111-0002"_s, {}, {}},
            {3, 603, u"森 亮"_s, 3000, 0, u"03-1111-0003"_s, {}, {}},
            {4, 604, u"森 亮"_s, 4000, 0, {}, u"0311110003"_s, {}},
            {5, 605, u"鈴木 一郎"_s, 6000, 0, u"011-222-0001"_s, {}, {}},
            {6, 606, u"鈴木 一郎"_s, 7000, 0, u"011-222-0002"_s, {}, {}},
            {7, 607, u"佐藤 健太"_s, 2500, 0, u"06-1111-0007"_s, {}, {}},
            {8, 608, u"佐藤 健太"_s, 2500, 0, u"06-1111-0008"_s, {}, {}},
            {9, 609, u"山田 花子"_s, 12000, 0, u"052-111-0009"_s, {}, u"株式会社山田商事"_s},
            {10, 610, u"ジョン スミス"_s, 8800, 0, {}, {}, {}},
            {11, 611, u"長谷川 真由美"_s, 4400, 0, u"045-111-0011"_s, {}, {}},
            {12, 612, u"長谷川 真由美"_s, 3300, 0, u"045-111-0011"_s, {}, {}},
            {13, 70001, u"中島 千尋"_s, 1100, 0, u"092-111-0013"_s, {}, {}},
            {14, 70002, u"中島 千尋"_s, 2200, 0, u"092-111-0013"_s, {}, {}},
            {15, 615, u"小林 修"_s, 9900, 0, u"03-1111-0015"_s, {}, {}}};
}

} // namespace

class tst_Names : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(index().available(), qPrintable(index().why()));
    }

    void payers_data()
    {
        QTest::addColumn<QString>("payer");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *name, const QString &payer, const QString &expected) {
            QTest::newRow(name) << payer << expected;
        };
        row("without the space", u"ﾀﾅｶﾀﾛｳ"_s, u"whole:田中 太郎"_s);
        row("full-width kana", u"タナカ　タロウ"_s, u"whole:田中 太郎"_s);
        row("small kana written small", u"ｻｻｷ ｼｮｳﾀ"_s, u"whole:佐々木 翔太"_s);
        row("small kana as the banks write them", u"ｻｻｷ ｼﾖｳﾀ"_s, u"whole:佐々木 翔太"_s);
        row("variant 﨑", u"ﾔﾏｻﾞｷ ｹﾝﾀ"_s, u"whole:山﨑 健太"_s);
        row("full-width space in the list", u"ｲﾄｳ ﾖｳｺ"_s, u"whole:伊藤　陽子"_s);
        row("uncommon family name", u"ｼﾖｳｼﾞ ｺｳｼﾞ"_s, u"whole:東海林 浩二"_s);
        row("one reading, two names", u"ｻｲﾄｳ ﾏｺﾄ"_s, u"whole:斉藤 誠|齋藤 誠"_s);
        row("a number before the name", u"317633-317973 ﾅｶｼﾞﾏ ﾁﾋﾛ"_s, u"whole:中島 千尋"_s);
        row("a number after the name", u"ﾅｶｼﾞﾏ ﾁﾋﾛ 090-1234-5678"_s, u"whole:中島 千尋"_s);
        row("a hyphen before a number", u"ﾅｶｼﾞﾏ ﾁﾋﾛ-317633"_s, u"whole:中島 千尋"_s);
        row("foreign name with a dot", u"ﾏﾘｱ ｶﾞﾙｼｱ"_s, u"whole:マリア・ガルシア"_s);
        row("a name registered in kana", u"ｻﾄｳ ﾊﾅｺ"_s, u"whole:さとう はなこ"_s);
        row("family name alone", u"ﾀﾅｶ"_s, u"family"_s);
        row("family name of a variant", u"ﾀｶﾊｼ"_s, u"family"_s);
        row("another given name", u"ﾀﾅｶ ﾊﾅｺ"_s, u"none"_s);
        row("given name alone", u"ﾀﾛｳ"_s, u"none"_s);
        row("a stranger", u"ﾔﾏﾓﾄ ｻﾄｼ"_s, u"none"_s);
        row("a reading no dictionary gives", u"ﾓﾘ ﾏｺﾄ"_s, u"none"_s);

        // Companies: the form before, within or after the name, or written out.
        row("form in brackets", u"(ｶ)ﾔﾏﾀﾞｼﾖｳｼﾞ"_s, u"whole:株式会社山田商事"_s);
        row("form after", u"ﾄｳﾜﾌﾞﾂｻﾝ(ｶ"_s, u"whole:東和物産株式会社"_s);
        row("form after, written before", u"ｶ)ﾄｳﾜﾌﾞﾂｻﾝ"_s, u"whole:東和物産株式会社"_s);
        row("form written out", u"ｶﾌﾞｼｷｶﾞｲｼﾔ ﾔﾏﾀﾞｼﾖｳｼﾞ"_s, u"whole:株式会社山田商事"_s);
        row("form left out", u"ﾔﾏﾀﾞｼﾖｳｼﾞ"_s, u"whole:株式会社山田商事"_s);
        row("another form", u"ﾕ)ﾔﾏﾀﾞｼﾖｳｼﾞ"_s, u"none"_s);
        row("有限会社 in kana", u"ﾕ)ｻｸﾗｷｶｸ"_s, u"whole:有限会社さくら企画"_s);
        row("一般社団法人", u"ｼﾔ)ﾆﾎﾝﾁﾔｷﾖｳｶｲ"_s, u"whole:一般社団法人日本茶協会"_s);
        row("医療法人社団", u"ｲ)ｱｵﾊﾞｶｲ"_s, u"whole:医療法人社団青葉会"_s);
        row("㈱ in the list", u"ｶ)ｺｳﾜｲﾝｻﾂ"_s, u"whole:㈱光和印刷"_s);
        row("a person is no company", u"ｶ)ﾀﾅｶﾀﾛｳ"_s, u"none"_s);

        // Cut at the field width: a prefix only then.
        const QString longName = u"ｶ)ｷﾀﾆﾎﾝｿｳｺﾞｳｾﾂﾋﾞｺｳｷﾞﾖｳｹﾝｷﾕｳｶｲﾊﾂｾﾝﾀ-"_s;
        row("long name and number, cut", QString(longName + u" 1234567890123456"_s).left(48),
            u"whole:株式会社北日本総合設備工業研究開発センター"_s);
        row("cut inside the name", QString(longName + u" ﾄｳｷﾖｳｴｲｷﾞﾖｳｼﾖ"_s).left(48),
            u"cut:株式会社北日本総合設備工業研究開発センター東京営業所=ｷﾀﾆﾎﾝｿｳｺﾞｳｾﾂﾋﾞｺｳｷﾞﾖｳｹﾝｷﾕｳｶｲﾊﾂｾﾝﾀ-ﾄｳｷﾖｳｴｲｷﾞﾖｳｼﾖ"_s);
        row("a short text is no cut", u"ｶ)ｷﾀﾆﾎﾝｿｳｺﾞｳ"_s, u"none"_s);
        row("a short person's name is no cut", u"ﾀﾅｶ ﾀﾛ"_s, u"none"_s);

        // Nothing to read.
        row("empty", QString(), u"none"_s);
        row("punctuation only", u"()-.,/ ・ー"_s, u"none"_s);
        row("digits only", u"1234 5678"_s, u"none"_s);
        row("one kana", u"ﾀ"_s, u"none"_s);
        row("voiced kana", u"ﾀﾞﾀﾞ"_s, u"none"_s);
        row("200 characters", QString(200, u'ﾀ'), u"none"_s);
        row("characters outside the dictionary", u"𪚲𠮟"_s, u"none"_s);
    }

    void payers()
    {
        QFETCH(QString, payer);
        QFETCH(QString, expected);
        QCOMPARE(verdict(index().find(payer)), expected);
    }

    void rules_data()
    {
        QTest::addColumn<QString>("line"); // as linesOf reads it, the first text the payer
        QTest::addColumn<QString>("matched"); // "status@key:No.s-fee"
        QTest::addColumn<QString>("noted");   // what the tooltip on 照合 says, in part
        const auto row = [](const char *name, const QString &line, const QString &matched,
                            const QString &noted = QString()) { QTest::newRow(name) << line << matched << noted; };
        row("whole name and amount", u"ﾀﾅｶ ﾀﾛｳ#5400"_s, u"一致@名義:601"_s, u"名義 ﾀﾅｶﾀﾛｳ（田中 太郎）"_s);
        row("family name alone", u"ﾓﾘ#3000"_s, u"候補:603"_s);
        row("family name alone, two fit", u"ﾀﾅｶ#5400"_s, u"複数候補:601,602"_s);
        row("a stranger's name", u"ﾔﾏﾓﾄ ｻﾄｼ#8800"_s, u"候補:610"_s);
        row("one customer, the amount picks the order", u"ﾓﾘ ｱｷﾗ#4000"_s, u"一致@名義:604"_s);
        row("one customer's orders together", u"ﾓﾘ ﾘﾖｳ#7000"_s, u"合算@名義:603,604"_s);
        row("two customers, one order fits", u"ｽｽﾞｷ ｲﾁﾛｳ#7000"_s, u"一致@名義:606"_s);
        row("two customers are never paid together", u"ｽｽﾞｷ ｲﾁﾛｳ#13000"_s, u"複数候補@名義:605,606"_s);
        row("two customers, both fit", u"ｻﾄｳ ｹﾝﾀ#2500"_s, u"複数候補@名義:607,608"_s);
        row("a company by its legal form", u"ｶ)ﾔﾏﾀﾞｼﾖｳｼﾞ#12000"_s, u"一致@名義:609"_s);
        row("a foreign name", u"ｼﾞﾖﾝ ｽﾐｽ#8800"_s, u"一致@名義:610"_s);
        row("a mistyped number beside the name", u"ﾀﾅｶ ﾀﾛｳ 99999#5400"_s, u"一致@名義:601"_s,
            u"No.99999 は一覧にありません"_s);
        row("a mistyped phone beside the name", u"ﾀﾅｶ ﾀﾛｳ 03-1111-0009#5400"_s, u"一致@名義:601"_s,
            u"TEL 0311110009 は一覧にありません"_s);
        row("a number and a name that disagree", u"ﾀﾅｶ ﾀﾛｳ 602#5400"_s, u"複数候補@No.:601,602"_s);
        row("two numbers joined by a hyphen", u"70001-70002 ﾅｶｼﾞﾏ ﾁﾋﾛ#3300"_s, u"合算@No.:70001,70002"_s);
        row("two numbers joined by a dot", u"ｶｲｲﾝ|70001.70002#3300"_s, u"合算@No.:70001,70002"_s);
        row("the column, and the name's other order", u"ﾊｾｶﾞﾜ ﾏﾕﾐ#7700#611"_s, u"合算@No.:611,612"_s);
        row("the column, and the phone's other order", u"ｶｲｲﾝ|045-111-0011#7700#611"_s,
            u"合算@No.:611,612"_s);
        row("the column, no one to make up the rest", u"ｶｲｲﾝ#7700#611"_s, u"金額相違@No.:611"_s);
        row("the column decides first", u"ﾀﾅｶ ﾀﾛｳ#5400#602"_s, u"一致@No.:602"_s);
        row("a taught name goes first", u"ｺﾊﾞﾔｼ ｵｻﾑ#5400"_s, u"一致@名義:601"_s);
        row("a taught name pays no one else", u"ｺﾊﾞﾔｼ ｵｻﾑ#9900"_s, u"金額相違@名義:601"_s);
    }

    void rules()
    {
        QFETCH(QString, line);
        PayerNames taught;
        taught.teach(PayerNames::normalised(u"ｺﾊﾞﾔｼ ｵｻﾑ"_s), {MatchKeys::phoneKey(u"03-1111-0001"), {}});
        const PaymentMatcher matcher(ruleOrders(), 880, taught);
        const QList<StatementLine> lines = linesOf({line}, true);
        const MatchResult result = matcher.match(lines).at(0);
        QTEST(matchText(matcher, result, lines.at(0)), "matched");
        QFETCH(QString, noted);
        const QString note = matcher.note(lines.at(0));
        QVERIFY2(note.contains(noted), qPrintable(note));
    }

    // A name on more orders than the operator could choose from tells no one
    // apart; the amount alone then offers the first ones, in list order, and
    // counts them all. One cap for both: a choice among more is none.
    void aNameOnTooManyOrdersIsNoKey_data()
    {
        QTest::addColumn<int>("orders");
        QTest::addColumn<QString>("status");
        QTest::newRow("as many as a choice offers") << NameIndex::MaxOrders << u"複数候補@名義"_s;
        QTest::newRow("one more") << NameIndex::MaxOrders + 1 << u"複数候補"_s;
    }

    void aNameOnTooManyOrdersIsNoKey()
    {
        QFETCH(int, orders);
        QList<ListedOrder> listed;
        for (int i = 0; i < orders; ++i)
            listed.append({i + 1, 1000 + i, u"田中 一郎"_s, 1200, 0, u"03-2222-%1"_s.arg(1000 + i), {}, {}});
        const PaymentMatcher matcher(listed);
        const QList<StatementLine> lines = linesOf({u"ﾀﾅｶ ｲﾁﾛｳ#1200"_s}, true);
        const MatchResult result = matcher.match(lines).at(0);
        QTEST(matchText(matcher, result, lines.at(0)).section(u':', 0, 0), "status");
        QCOMPARE(result.candidateCount, orders);
        QList<int> first(NameIndex::MaxOrders);
        std::iota(first.begin(), first.end(), 0);
        QCOMPARE(result.candidates, first);
    }

    // Configured away: nothing is read, the reason is given, nothing crashes.
    void withoutDictionary()
    {
        const NameIndex index(listedOrders(),
                              std::make_shared<const NameReadings>(u"-r /nonexistent/mecabrc -d /nonexistent"_s));
        QVERIFY(!index.available());
        QVERIFY(!index.why().isEmpty());
        QVERIFY(index.find(u"ﾀﾅｶ ﾀﾛｳ"_s).names.isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_Names)
#include "tst_names.moc"
