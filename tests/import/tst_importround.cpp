// The import on the real screen over a demo database and its sample
// statement: the keyboard round to the registration, the preview's answers,
// the pick among candidates, and files that are refused.
#include "ScreenFixture.h"
#include "ZenginSample.h"
#include "demo/DemoDatabase.h"
#include "demo/DemoMethodFiles.h"
#include "demo/DemoStatement.h"

#include "import/PaymentImport.h"
#include "import/StatementFile.h"
#include "screens/import/frmColumns.h"
#include "screens/import/frmTorikomi.h"
#include "widgets/grid/vaSpread.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>

using namespace Qt::StringLiterals;

// The receipt list over the demo orders, listed (F1), and the sample
// statement the demo host writes beside them.
class ImportFixture final
{
public:
    ImportFixture()
    {
        DemoOptions options;
        options.createTables = false;
        CreateDemoDatabase(*screen.db.connection(), options);
        screen.db.addSchemaTable(QStringLiteral("NYUKIN_MEIGI"));
        sample = WriteDemoStatement(*screen.db.connection(), options, DemoStatementPath(screen.db.path()));
        screen.store.userLevel = 2;
        grid = screen.open(true)->grid();
    }

    QString file(const QString &name) const { return QFileInfo(screen.db.path()).absoluteDir().filePath(name); }

    ScreenFixture screen;
    DemoStatement sample;
    vaSpread *grid = nullptr;
};
using F = ImportFixture;
using K = frmKensaku;

namespace {

// The suite's key hook moves the focus on Enter by a posted Tab.
void pressAndSettle(int key)
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    QCoreApplication::processEvents();
}

QList<qint64> sorted(QList<qint64> ids)
{
    std::sort(ids.begin(), ids.end());
    return ids;
}

// The rows the import wrote as a hand edit would, by No.
QList<qint64> filledRows(const vaSpread *grid)
{
    QList<qint64> ids;
    for (int row = 1; row <= grid->MaxRows(); ++row) {
        if (grid->Number(K::ColUpdateFlag, row) != 0 && grid->Number(K::ColMailFlag, row) != 0
            && grid->Number(K::ColMark, row) != 0 && !grid->Text(K::ColPaidDate, row).isEmpty()
            && grid->Number(K::ColPaidAmount, row) == grid->Number(K::ColBilled, row))
            ids << qint64(grid->Number(K::ColId, row));
    }
    return sorted(ids);
}

// Imports the file and applies the preview, whose statuses it returns; the
// lines left unticked are saved to rest.csv, and their statuses noted when asked.
QStringList importApplying(F &fixture, const QString &path, QStringList *unticked = nullptr)
{
    const auto statuses = std::make_shared<QStringList>(); // outlives a preview that opens late
    const QString rest = fixture.file(u"rest.csv"_s);
    fixture.screen.whenActive<frmTorikomi>([&screen = fixture.screen, statuses, unticked, rest](frmTorikomi *form) {
        auto *lines = form->findChild<vaSpread *>(u"sprTorikomi"_s);
        for (int row = 1; row <= lines->MaxRows(); ++row) {
            *statuses << lines->Text(frmTorikomi::ColStatus, row);
            if (unticked && lines->Number(frmTorikomi::ColTick, row) == 0)
                *unticked << statuses->constLast();
        }
        form->SaveUnapplied(rest);
        screen.press(Qt::Key_Return);
    });
    fixture.screen.form->ImportStatement(path);
    return *statuses;
}

// The saved lines read back against the orders: the file's refusal (empty
// for none), then each line's status.
QStringList rereadStatuses(const QByteArray &saved, const QList<ListedOrder> &orders)
{
    const PaymentImport again(StatementFile::read(saved, QDate::currentDate()), orders);
    QStringList statuses{again.statement().error};
    for (int i = 0; i < again.lineCount(); ++i)
        statuses << PaymentMatcher::statusText(again.result(i).status);
    return statuses;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Today as a bank writes it, in 令和: the import reads it against the PC's date.
QByteArray reiwaToday()
{
    return QDate::currentDate().toString(u"MMdd"_s).toLatin1().prepend(
        QByteArray::number(QDate::currentDate().year() - 2018).rightJustified(2, '0'));
}

// The 01 and CSV files of the import round: orders A and B paid, B's
// payment taken back by the bank's cancelled notice, and in the 01 file a cancellation of C whose notice came in an earlier file;
// in the CSV, with or without a header, A paid twice, the second time with
// the amount signed.
QByteArray roundFile(const QString &kind, const QList<ListedOrder> &orders)
{
    using ZenginSample::Entry;
    auto pay = [&](int index, const QByteArray &reference) {
        Entry entry;
        entry.date = reiwaToday();
        entry.amount = qint64(orders.at(index).billed - orders.at(index).received);
        entry.payer = u"ﾔﾏﾀﾞ %1"_s.arg(orders.at(index).id);
        entry.reference = reference;
        return entry;
    };
    const Entry a = pay(0, "000001"), b = pay(1, "000002");
    ZenginSample::Account account;
    account.created = account.from = account.to = reiwaToday();
    Entry takeBack = b;
    Entry earlier = pay(2, "000009");
    Entry formula = pay(3, "000010");
    formula.payer = u"=ﾘｿｸ"_s;
    formula.amount = 7;
    if (kind == u"01") {
        takeBack.cancel = earlier.cancel = true;
        account.entries = {a, b, formula, takeBack, earlier};
        return ZenginSample::join(ZenginSample::notice({account}));
    }
    QString csv = kind == u"csv" ? u"Datum,Betrag,Zweck\r\n"_s : QString();
    // The last line pays a again, its amount signed and its payer a formula to a spreadsheet.
    for (const auto &[entry, sign] : {std::pair{a, u""_s}, std::pair{b, u""_s}, std::pair{a, u"+"_s}})
        csv += u"%1,%2%3,%4%5\r\n"_s.arg(QDate::currentDate().toString(u"yyyy/MM/dd"_s), sign)
                   .arg(entry.amount)
                   .arg(sign.isEmpty() ? QString() : u"="_s, entry.payer);
    return csv.toUtf8();
}

} // namespace

class tst_ImportRound : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Enter applies the preview, Esc leaves the list as it was; the display
    // filter hides rows, and the import still sees them all.
    void wholeRoundFromTheKeyboard_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("applied");
        QTest::newRow("Enter applies") << int(Qt::Key_Return) << true;
        QTest::newRow("Esc cancels") << int(Qt::Key_Escape) << false;
    }

    void wholeRoundFromTheKeyboard()
    {
        QFETCH(int, key);
        QFETCH(bool, applied);
        F fixture;
        fixture.grid->SetRowHidden(-1, true);
        QVERIFY(fixture.sample.written);
        const QStringList before = fixture.screen.receipts();

        QString focusOnOpen;
        fixture.screen.whenActive<QFileDialog>([&](QFileDialog *chooser) {
            fixture.screen.whenActive<frmTorikomi>([&](frmTorikomi *) {
                const QWidget *focus = QApplication::focusWidget();
                focusOnOpen = focus ? focus->objectName() : QString();
                fixture.screen.press(key);
            });
            QTest::keyClicks(chooser->findChild<QLineEdit *>(u"fileNameEdit"_s), fixture.sample.path);
            fixture.screen.press(Qt::Key_Return);
        });
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_I, Qt::ControlModifier);
        QCOMPARE(filledRows(fixture.grid), applied ? sorted(fixture.sample.matched) : QList<qint64>());
        QTest::keyClick(fixture.grid, Qt::Key_F9);

        QCOMPARE(focusOnOpen, u"cmdEnter"_s);
        QList<qint64> registered;
        for (const QString &receipt : fixture.screen.receipts()) {
            if (!before.contains(receipt))
                registered << receipt.section(u' ', 0, 0).toLongLong();
        }
        QCOMPARE(sorted(registered), applied ? sorted(fixture.sample.matched) : QList<qint64>());
        QCOMPARE(fixture.screen.texts, QStringList());
    }

    void picksAmongCandidates()
    {
        F fixture;
        QVERIFY(fixture.sample.multiple.size() > 1);
        QString selected;
        fixture.screen.whenActive<frmTorikomi>([&](frmTorikomi *preview) {
            // From "反映" past "ｷｬﾝｾﾙ" into the list, then down to the line with candidates.
            fixture.screen.press(Qt::Key_Tab);
            fixture.screen.press(Qt::Key_Tab);
            auto *lines = preview->findChild<vaSpread *>(u"sprTorikomi"_s);
            if (!lines->hasFocus())
                return preview->reject();
            for (int step = 0; step < 20 && lines->Text(frmTorikomi::ColStatus, lines->currentIndex().row() + 1)
                                                != u"複数候補"_s; ++step)
                fixture.screen.press(Qt::Key_Down);
            fixture.screen.press(Qt::Key_Space); // refused until an order is picked
            auto *choice = preview->findChild<QComboBox *>(u"cboKouho"_s);
            choice->showPopup();
            QTest::keyClick(choice->view(), Qt::Key_Down);
            QTest::keyClick(choice->view(), Qt::Key_Return);
            selected = preview->findChild<QLabel *>(u"lblSelected"_s)->text();
            preview->findChild<QWidget *>(u"cmdEnter"_s)->setFocus();
            fixture.screen.press(Qt::Key_Return);
        });
        fixture.screen.form->ImportStatement(fixture.sample.path);

        QCOMPARE(fixture.screen.texts, QStringList{u"入金先を候補から選んでください。"_s});
        QList<qint64> expected = fixture.sample.matched;
        expected << fixture.sample.multiple.constFirst();
        QCOMPARE(filledRows(fixture.grid), sorted(expected));
        QVERIFY2(selected.startsWith(u"反映する行 %1 行 "_s.arg(expected.size())), qPrintable(selected));
    }

    // An operator imports a 01 file with a cancelled notice (a 03 file's
    // 入金訂正 reads into the same lines) and a CSV with unknown headers or none: only the standing
    // payments are ticked and applied; the unapplied lines saved come back as
    // they were, a 重複 line still one though the line it doubled is gone.
    void standingPaymentsOnly_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("statuses"); // of the preview's lines
        QTest::newRow("01") << u"01"_s << QStringList{u"一致"_s, u"不一致"_s, u"取消"_s};
        QTest::newRow("csv") << u"csv"_s << QStringList{u"一致"_s, u"一致"_s, u"重複"_s};
        QTest::newRow("headerless") << u"headerless"_s << QStringList{u"一致"_s, u"一致"_s, u"重複"_s};
    }

    void standingPaymentsOnly()
    {
        QFETCH(QString, kind);
        F fixture;
        const QList<ListedOrder> orders = fixture.screen.form->ListedOrders();
        QVERIFY(orders.size() >= 4);
        const QString path = fixture.file(u"round."_s + kind);
        QFile file(path);
        const QByteArray bytes = roundFile(kind, orders);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();

        const bool csv = kind == u"csv" || kind == u"headerless";
        int asked = 0;
        QString chosen, offered;
        // As in every screen of the suite, Enter moves on; F4 opens a list.
        auto assignColumns = [&](frmColumns *dialog) {
            if (++asked > 1) {
                // The remembered choice, for Enter to confirm.
                offered = dialog->columns().toText();
                return pressAndSettle(Qt::Key_Return);
            }
            pressAndSettle(Qt::Key_Return); // 日付 keeps the first column
            pressAndSettle(Qt::Key_F4);     // 入金額 takes the second
            auto *amount = dialog->findChild<QComboBox *>(u"cboAmount"_s);
            QTest::keyClick(amount->view(), Qt::Key_Down);
            QTest::keyClick(amount->view(), Qt::Key_Return);
            pressAndSettle(Qt::Key_Return);
            pressAndSettle(Qt::Key_Return);
            pressAndSettle(Qt::Key_Return); // to the searched columns: the third
            pressAndSettle(Qt::Key_Down);
            pressAndSettle(Qt::Key_Down);
            pressAndSettle(Qt::Key_Space);
            pressAndSettle(Qt::Key_Return);
            chosen = dialog->columns().toText();
            for (int past = 0; past < 5; ++past) // 注文番号 to ファイルの種類 stay as they are
                pressAndSettle(Qt::Key_Return);
            pressAndSettle(Qt::Key_Return); // OK
        };
        QStringList unappliedStatuses{QString()}; // read back without a refusal
        fixture.screen.whenActive<frmColumns>(assignColumns);
        QTEST(importApplying(fixture, path, &unappliedStatuses), "statuses");
        QCOMPARE(filledRows(fixture.grid), sorted(csv ? QList<qint64>{orders.at(0).id, orders.at(1).id}
                                              : QList<qint64>{orders.at(0).id}));
        QCOMPARE(asked, csv ? 1 : 0);
        QCOMPARE(fixture.screen.texts, QStringList());

        // The unapplied lines read back as the same lines with the same statuses.
        const QByteArray saved = contents(fixture.file(u"rest.csv"_s));
        QVERIFY(saved.startsWith("\xEF\xBB\xBF")); // for a spreadsheet to open as UTF-8
        QVERIFY(saved.contains(csv ? "'=ﾔﾏﾀﾞ" : "'=ﾘｿｸ"));
        QCOMPARE(rereadStatuses(saved, orders), unappliedStatuses);

        if (!csv)
            return;
        // The next file of the same header goes straight to the preview; a
        // file without one shows the choice again, which another bank's
        // layout of the same shape must not take unseen.
        fixture.screen.whenActive<frmColumns>(assignColumns);
        QCOMPARE(importApplying(fixture, path).size(), 3);
        QCOMPARE(asked, kind == u"csv" ? 1 : 2);
        QCOMPARE(offered, kind == u"csv" ? QString() : chosen);
    }

    // An operator imports the agent's file of a 速報 and its 確報, a 速報
    // alone, a 速報取消 and a corrected 郵便振替, its 120-byte form, then a
    // 後払い statement with fees and a refund and a COD remittance through
    // the column dialog: the paid orders are registered once with their
    // amounts, the others keep nothing.
    void otherMethodsPayTheirOrdersOnce()
    {
        F fixture;
        DemoOptions options;
        const DemoMethodFiles files = WriteDemoMethodFiles(*fixture.screen.db.connection(), options,
                                                           fixture.screen.db.path());
        QVERIFY(files.convenienceCsv.written && files.convenienceFixed.written && files.deferred.written
                && files.cashOnDelivery.written);
        const QList<ListedOrder> orders = fixture.screen.form->ListedOrders();
        QCOMPARE(importApplying(fixture, files.convenienceCsv.path).join(u" "), u"速報 一致 一致 一致 支払方法違い"_s);
        // The lines left out and saved come back as a bank's CSV that pays nothing.
        QCOMPARE(rereadStatuses(contents(fixture.file(u"rest.csv"_s)), orders),
                 (QStringList{QString(), u"不正"_s, u"不正"_s}));
        QCOMPARE(importApplying(fixture, files.convenienceFixed.path), (QStringList{u"一致"_s, u"速報"_s}));

        // Each statement's columns as the operator assigns them.
        using Kind = PaymentMethods::FileKind;
        const auto assign = [&fixture](QList<std::pair<const char16_t *, int>> chosen) {
            fixture.screen.whenActive<frmColumns>([chosen](frmColumns *dialog) {
                for (const auto &[name, data] : chosen) {
                    auto *combo = dialog->findChild<QComboBox *>(QString::fromUtf16(name));
                    combo->setCurrentIndex(combo->findData(data));
                }
                dialog->findChild<QWidget *>(u"cmdOK"_s)->setFocus();
                pressAndSettle(Qt::Key_Return);
            });
        };
        // 取引日, 加盟店取引ID, 取引種別, 請求金額, 手数料, 入金予定額
        assign({{u"cboDate", 0}, {u"cboOrder", 1}, {u"cboType", 2}, {u"cboAmount", 3}, {u"cboFee", 4},
                {u"cboNet", 5}, {u"cboKind", int(Kind::Deferred)}});
        QCOMPARE(importApplying(fixture, files.deferred.path), (QStringList{u"一致"_s, u"一致"_s}));
        // お問い合わせ番号, お客様管理番号, お届け日, 代引金額, 代引手数料, 振込金額
        assign({{u"cboDate", 2}, {u"cboOrder", 1}, {u"cboAmount", 3}, {u"cboFee", 4}, {u"cboNet", 5},
                {u"cboKind", int(Kind::CashOnDelivery)}});
        QCOMPARE(importApplying(fixture, files.cashOnDelivery.path), (QStringList{u"一致"_s, u"一致"_s}));

        QCOMPARE(filledRows(fixture.grid), sorted(files.convenienceCsv.paid + files.convenienceFixed.paid
                                                  + files.deferred.paid + files.cashOnDelivery.paid));
        QCOMPARE(fixture.screen.texts, QStringList());
    }

    // Every reason a file is refused takes the same way to the message; a
    // folder stands for them all.
    void refusesBadFiles()
    {
        F fixture;
        fixture.screen.form->ImportStatement(fixture.file(QString()));
        QCOMPARE(fixture.screen.texts.size(), 1);
        QVERIFY2(fixture.screen.texts.constFirst().contains(u"通常のファイルではありません"_s),
                 qPrintable(fixture.screen.texts.join(u'\n')));
        QCOMPARE(filledRows(fixture.grid), QList<qint64>());
        QCOMPARE(fixture.grid->Number(K::ColUpdateFlag, 1), 0.0);
    }
};

QTEST_MAIN(tst_ImportRound)
#include "tst_importround.moc"
