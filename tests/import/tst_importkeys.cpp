// The matching keys on the real screen: a bank CSV whose lines are paid by
// order number, phone number, with a fee kept back, for two orders at once
// and in two halves, beside lines only an amount or an ambiguous key could
// place; and the payer names the operators teach at 登録.
#include "ScreenFixture.h"

#include "screens/import/StatementOpener.h"
#include "screens/import/frmTorikomi.h"
#include "widgets/grid/vaSpread.h"

#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

struct Listed
{
    qint64 id;
    const char16_t *name;
    const char16_t *tel;
    int billed;
};

// 250 and 88 have one amount, 120 and 12 another; 401/402, 601/602 and
// 801/802 are three customers with two orders each.
constexpr Listed Orders[] = {
    {250, u"田中 太郎", u"06-6666-7777", 4000}, {88, u"田中 次郎", u"090-8888-0088", 4000},
    {120, u"鈴木 一郎", u"011-120-0120", 7000}, {12, u"鈴木 花子", u"011-012-0012", 7000},
    {201, u"伊藤 誠", u"03-1234-5679", 2000},   {300, u"小川 学", u"03-3000-0001", 3000},
    {401, u"佐藤 花子", u"045-222-3333", 2500}, {402, u"佐藤 花子", u"045-222-3333", 3300},
    {500, u"高橋 陽子", u"03-5000-0500", 6000}, {601, u"小林 修", u"0111111111", 1500},
    {602, u"小林 修", u"0111111111", 1800},     {700, u"木村 拓", u"03-7000-0700", 9000},
    {801, u"渡辺 次郎", u"022-333-4444", 5000}, {802, u"渡辺 次郎", u"022-333-4444", 5000},
};

// "id amount" of every order with anything received.
QStringList paid(const ScreenFixture &screen)
{
    QStringList orders;
    for (const QString &receipt : screen.receipts())
        orders << receipt.section(u' ', 0, 0) + u' ' + receipt.section(u' ', 2, 2);
    orders.sort();
    return orders;
}

// Imports the file and applies it: each preview line's "status key", and
// the No. and name each 取消 line names.
QStringList importApplying(ScreenFixture &screen, const QString &path, QStringList *cancelled = nullptr)
{
    const auto statuses = std::make_shared<QStringList>(); // outlives a preview that opens late
    screen.whenActive<frmTorikomi>([&screen, statuses, cancelled](frmTorikomi *preview) {
        const auto *lines = preview->findChild<vaSpread *>(u"sprTorikomi"_s);
        for (int row = 1; row <= lines->MaxRows(); ++row) {
            *statuses << lines->Text(frmTorikomi::ColStatus, row) + u' ' + lines->Text(frmTorikomi::ColKey, row);
            if (cancelled && statuses->constLast() == u"取消 "_s)
                *cancelled << lines->Text(frmTorikomi::ColId, row) + lines->Text(frmTorikomi::ColName, row);
        }
        screen.press(Qt::Key_Return);
    });
    screen.form->ImportStatement(path);
    return *statuses;
}

void seed(ScreenFixture &screen)
{
    screen.db.addShop(u"S01"_s, u"本店"_s);
    screen.db.addPayment(u"銀行振込"_s, 1, 0);
    // The suite's tables as the test database has them, and the taught names as the script makes them.
    screen.db.addSchemaTable(u"NYUKIN_MEIGI"_s);
    for (const Listed &order : Orders)
        screen.db.addOrder({.id = order.id, .name = QString::fromUtf16(order.name),
                            .tel = QString::fromUtf16(order.tel), .billed = order.billed});
    // Reached by the customer's second number only.
    screen.db.addOrder({.id = 900, .name = u"松本 純"_s, .tel = u"03-9000-0900"_s, .tel1 = u"080-9000-9000"_s,
                        .billed = 4400});
}

// Lines of yesterday, less the date.
QString write(const ScreenFixture &screen, const QString &name, const QStringList &lines)
{
    const QString path = QFileInfo(screen.db.path()).absoluteDir().filePath(name);
    QFile file(path);
    QString text = u"日付,金額,振込依頼人名,摘要,注文番号,取消\n"_s;
    for (const QString &line : lines)
        text += TestDatabase::daysAgo(1) + u',' + line + u'\n';
    const QByteArray bytes = text.toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return path;
}

} // namespace

class tst_ImportKeys : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void exactlyTheIdentifiedOrdersArePaid()
    {
        ScreenFixture screen;
        seed(screen);
        screen.setIni("[Parlow6]\nLockTimeout=0.1\nFeeTolerance=880\n");
        // Paid yesterday and off the list; the bank takes the payments back today.
        for (const qint64 id : {950, 960})
            screen.db.addOrder({.id = id, .name = u"石井 聡"_s, .tel = u"03-%1-0%2"_s.arg(id * 10).arg(id), .billed = 3000,
                                .paidDate = TestDatabase::daysAgo(1), .paidAmount = 3000, .mailSent = 1});
        const QString path = write(
            screen, u"bank.csv"_s,
            {u"4000,ﾀﾅｶ ﾀﾛｳ ｶｲｲﾝ88,,250"_s, u"7000,ｽｽﾞｷ 12/01ﾌﾞﾝ,,120"_s, u"2000,ｲﾄｳ ﾏｺﾄ 03-1234-5679,,"_s,
             u"2120,ｵｶﾞﾜ ﾏﾅﾌﾞ,,300"_s, u"5800,ｻﾄｳ ﾊﾅｺ,TEL045(222)3333,"_s, u"3000,ﾀｶﾊｼ ﾖｳｺ,,500"_s,
             u"3000,ﾀｶﾊｼ ﾖｳｺ,,500"_s, u"1800,ｺﾊﾞﾔｼ ｵｻﾑ 0111111111,,"_s, u"9000,ｷﾑﾗ ﾀｸ,,"_s,
             u"5000,ﾜﾀﾅﾍﾞ ｼﾞﾛｳ 022-333-4444,,"_s, u"4400,ﾏﾂﾓﾄ ｼﾞｭﾝ 08090009000,,"_s, u"3000,ｲｼｲ ｻﾄｼ,,950,1"_s,
             u"3000,ｲｼｲ 03-9600-0960,,,1"_s, u"3000,ｲｼｲ ｻﾄｼ,,951,1"_s, u"3000,ｲｼｲ ｻﾄｼ,,,1"_s});
        QVERIFY(!path.isEmpty());
        screen.open(true);

        QStringList cancelled;
        const QStringList statuses = importApplying(screen, path, &cancelled);
        QTest::keyClick(screen.form->grid(), Qt::Key_F9);

        QCOMPARE(statuses, (QStringList{u"一致 No."_s, u"一致 No."_s, u"一致 TEL"_s, u"手数料差 No."_s, u"合算 TEL"_s,
                                        u"分割 No."_s, u"分割 No."_s, u"一致 TEL"_s, u"一致 名義"_s, u"複数候補 TEL"_s,
                                        u"一致 TEL"_s, u"取消 "_s, u"取消 "_s, u"取消 "_s, u"取消 "_s}));
        // By its number or phone among all orders, never by the amount alone.
        QCOMPARE(cancelled, (QStringList{u"950石井 聡（登録済み）"_s, u"960石井 聡（登録済み）"_s, QString(), QString()}));
        QCOMPARE(paid(screen), (QStringList{u"120 7000"_s, u"201 2000"_s, u"250 4000"_s, u"300 2120"_s,
                                            u"401 2500"_s, u"402 3300"_s, u"500 6000"_s, u"602 1800"_s,
                                            u"700 9000"_s, u"900 4400"_s, u"950 3000"_s, u"960 3000"_s}));
        QCOMPARE(screen.texts, QStringList());
    }

    void teachesAPayerNameOnlyWhenRegistered()
    {
        ScreenFixture screen;
        seed(screen);
        const QString first = write(screen, u"first.csv"_s, {u"5000,ﾐﾄﾞﾘ ｼｮｳｼﾞ,,"_s});
        const QString second = write(screen, u"second.csv"_s, {u"5000,ﾐﾄﾞﾘｼﾖｳｼﾞ,,"_s});
        screen.open(true);

        // The amount fits two orders; the operator types the one it is for.
        QString learning = u"-"_s;
        QString marked;
        screen.whenActive<frmTorikomi>([&](frmTorikomi *preview) {
            learning = preview->findChild<QLabel *>(u"lblLearning"_s)->text();
            // From "反映" past "ｷｬﾝｾﾙ" into the list, on its only line.
            screen.press(Qt::Key_Tab);
            screen.press(Qt::Key_Tab);
            screen.press(Qt::Key_N, Qt::AltModifier);
            QTest::keyClicks(QApplication::focusWidget(), u"801"_s);
            screen.press(Qt::Key_Return);
            const auto *lines = preview->findChild<vaSpread *>(u"sprTorikomi"_s);
            if (!QTest::qWaitFor([&] { return !lines->Text(frmTorikomi::ColKey, 1).isEmpty(); }, 1000))
                return preview->reject();
            marked = lines->Text(frmTorikomi::ColKey, 1);
            ScreenFixture::click(preview, u"cmdEnter"_s);
        });
        screen.form->ImportStatement(first);
        QCOMPARE(learning, QString());
        QCOMPARE(screen.texts, QStringList());
        QCOMPARE(marked, u"手入力"_s);
        const auto taught = [&] {
            return screen.db.scalar(u"SELECT [振込依頼人名] || ' ' || [電話番号] FROM [NYUKIN_MEIGI]"_s).toString();
        };

        // A registration that fails teaches nothing; the one that succeeds does.
        screen.faulty->failCommit = true;
        QTest::keyClick(screen.form->grid(), Qt::Key_F9);
        QCOMPARE(taught(), QString());
        screen.faulty->failCommit = false;
        QTest::keyClick(screen.form->grid(), Qt::Key_F9);
        QCOMPARE(taught(), u"ミドリシヨウジ 022-333-4444"_s);

        // Next time the name, written another way, finds the customer's other order.
        QTest::keyClick(screen.form->grid(), Qt::Key_F1);
        QCOMPARE(importApplying(screen, second), QStringList{u"一致 名義"_s});
        QTest::keyClick(screen.form->grid(), Qt::Key_F9);
        QCOMPARE(paid(screen), (QStringList{u"801 5000"_s, u"802 5000"_s}));
    }

    // Without the taught names, or with a FeeTolerance no bank fee needs, the
    // import says so in one line and matches as it would without them.
    void learningOffAndToleranceRefused_data()
    {
        QTest::addColumn<bool>("dropped");
        QTest::addColumn<QString>("learning");
        QTest::newRow("no table") << true << u"振込依頼人名の学習は無効です（表 NYUKIN_MEIGI がありません）"_s;
        // As a lock held by another program, or a missing right, makes the read fail.
        QTest::newRow("table unreadable") << false << u"学習した振込依頼人名は今回使えません"_s;
    }

    void learningOffAndToleranceRefused()
    {
        QFETCH(bool, dropped);
        QFETCH(QString, learning);
        ScreenFixture screen;
        seed(screen);
        screen.setIni("[Parlow6]\nLockTimeout=0.1\nFeeTolerance=99999999999\n");
        if (dropped)
            screen.db.exec(u"DROP TABLE [NYUKIN_MEIGI]"_s);
        const QString path = write(screen, u"bank.csv"_s, {u"4000,ﾀﾅｶ,,250"_s, u"1,ﾀﾅｶ,,88"_s});
        screen.open(true);
        QString line;
        screen.whenActive<frmTorikomi>([&](frmTorikomi *preview) {
            line = preview->findChild<QLabel *>(u"lblLearning"_s)->text();
            screen.press(Qt::Key_Return);
        });
        if (!dropped)
            screen.faulty->failExecute(1);
        screen.form->ImportStatement(path);
        QVERIFY2(line.startsWith(u"parlow.ini の FeeTolerance=99999999999 は使えません"_s) && line.contains(learning),
                 qPrintable(line));
        QTest::keyClick(screen.form->grid(), Qt::Key_F9);
        QCOMPARE(paid(screen), QStringList{u"250 4000"_s});
    }

    // ｷｬﾝｾﾙ on the progress box imports nothing and says nothing. Companies
    // no two orders share keep the name readings busy for seconds, well past
    // the half second after which the box offers ｷｬﾝｾﾙ.
    void cancelImportsNothing()
    {
        ScreenFixture screen;
        const QString path = write(screen, u"bank.csv"_s, {u"4000,ﾀﾅｶ,,250"_s});
        screen.open(false);
        const QString kanji = u"山川田中村木林森石岡島松竹梅花鳥風月雪星空海岩谷沢野原橋本宮"_s;
        QList<ListedOrder> orders;
        for (int i = 0; i < 100000; ++i) {
            QString company;
            for (int rest = i; company.size() < 4; rest /= int(kanji.size()))
                company += kanji.at(rest % kanji.size());
            orders.append({i + 1, i + 1, {}, 1000, 0, {}, {}, company + u"商事"_s});
        }
        screen.whenActive<QProgressDialog>([](QProgressDialog *progress) {
            QTest::mouseClick(progress->findChild<QPushButton *>(), Qt::LeftButton);
        });
        QString refusal;
        QVERIFY(!StatementOpener::Open(screen.form, path, orders, refusal));
        QCOMPARE(refusal, QString());
    }
};

QTEST_MAIN(tst_ImportKeys)
#include "tst_importkeys.moc"
