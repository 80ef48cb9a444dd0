// The dialogs as the receipt list opens them, end to end over the database.
#include "DialogFixture.h"

#include "widgets/grid/vaSpread.h"
#include "screens/dialogs/frmAllSet.h"
#include "screens/dialogs/frmKanri.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace Qt::StringLiterals;
using F = DialogFixture;

namespace {

// Orders 1 and 3 are paid by bank transfer, 2 cash on delivery; the list is searched.
vaSpread *searchedList(F &fixture)
{
    fixture.seedOrders(1100);
    fixture.db.setExempt(u""_s);
    F::activate(fixture.owner.data());
    QTest::keyClick(fixture.owner->grid(), Qt::Key_F1);
    return fixture.owner->grid();
}

QString paid(const F &fixture, int id)
{
    return fixture.db
        .scalar(u"SELECT IFNULL([入金日], '-') || ' ' || [入金額] || ' ' || [入金確認送信] FROM [CHUMON] WHERE [ID] = %1"_s
                    .arg(id))
        .toString();
}

} // namespace

class tst_DialogRoundTrip : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void bulkDateForOneMethodIsRegistered()
    {
        F fixture;
        vaSpread *grid = searchedList(fixture);
        QCOMPARE(grid->MaxRows(), 3);
        QTest::keyClick(grid, Qt::Key_F5); // mark every row

        QStringList driven;
        F::whenShown<frmAllSet>([&driven](frmAllSet *dialog) {
            // Type-ahead: with the key hook on, a closed combo's arrows move the focus.
            auto *method = F::child<QComboBox>(dialog, u"cboSiharai"_s);
            method->setFocus();
            QTest::sendKeyEvent(QTest::Click, method, Qt::Key_unknown, u"銀"_s, Qt::NoModifier);
            auto *date = F::child<QLineEdit>(dialog, u"txtDate"_s);
            date->setFocus();
            date->selectAll();
            QTest::keyClicks(date, u"20140221"_s);
            QTest::mouseClick(F::child<QRadioButton>(dialog, u"optJyunbi"_s, 0), Qt::LeftButton);
            QTest::mouseClick(F::child<QPushButton>(dialog, u"cmdEnter"_s), Qt::LeftButton);
            driven << method->currentText() << date->text();
        });
        QTest::keyClick(grid, Qt::Key_F4);
        QCOMPARE(driven, (QStringList{u"銀行振込"_s, u"2014/02/21"_s}));

        QTest::keyClick(grid, Qt::Key_F9);
        QCOMPARE(fixture.messageTexts(), QStringList());
        QCOMPARE(paid(fixture, 1), u"2014/02/21 1100 1"_s);
        QCOMPARE(paid(fixture, 2), u"- 0 0"_s);
        QCOMPARE(paid(fixture, 3), u"2014/02/21 3300 1"_s);
    }

    void exemptingAMethodReloadsTheList()
    {
        F fixture;
        vaSpread *grid = searchedList(fixture);

        QStringList names;
        F::whenShown<frmKanri>([&names](frmKanri *dialog) {
            auto *methods = F::child<vaSpread>(dialog, u"sprPayment"_s);
            for (int row = 1; row <= methods->MaxRows(); ++row)
                names.append(methods->Text(frmKanri::ColMethod, row));
            F::clickCell(methods, frmKanri::ColManaged, int(names.indexOf(u"代引"_s)) + 1);
            QTest::mouseClick(F::child<QPushButton>(dialog, u"cmdEnter"_s), Qt::LeftButton);
        });
        fixture.owner->kanriMenuItem()->trigger();

        QCOMPARE(names, (QStringList{u"代引"_s, u"銀行振込"_s}));
        QCOMPARE(fixture.messageTexts(), QStringList{u"ﾃﾞｰﾀの再読み込みを行いますか？"_s});
        QCOMPARE(fixture.db.scalar(u"SELECT [NYUKIN_NOMANAGE] FROM [CONTROL]"_s).toString(), u"代引"_s);
        QStringList listed;
        for (int row = 1; row <= grid->MaxRows(); ++row)
            listed.append(grid->Text(frmKensaku::ColMethod, row));
        QCOMPARE(listed, (QStringList{u"銀行振込"_s, u"銀行振込"_s}));
    }
};

QTEST_MAIN(tst_DialogRoundTrip)
#include "tst_dialogroundtrip.moc"
