// The displayed payment method dialog and gintSiharaiIndex.
#include "DialogFixture.h"

#include "screens/dialogs/frmDispSiharai.h"

#include <QComboBox>
#include <QPushButton>

using namespace Qt::StringLiterals;
using F = DialogFixture;

class tst_frmDispSiharai : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void choosingTheShownMethod_data()
    {
        QTest::addColumn<QString>("methods");
        QTest::addColumn<int>("before");
        QTest::addColumn<QString>("selected"); // on opening
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("closeWith");
        QTest::addColumn<int>("after");
        const QString three = u"銀行振込\t代引\tカード"_s;
        QTest::newRow("all shown, OK on 全て") << three << -1 << u"全て"_s << 0 << u"cmdEnter"_s << -1;
        QTest::newRow("third shown, OK on 全て") << three << 2 << u"カード"_s << 0 << u"cmdEnter"_s << -1;
        QTest::newRow("OK on item 1") << three << -1 << u"全て"_s << 1 << u"cmdEnter"_s << 0;
        QTest::newRow("Enter on item 3") << three << -1 << u"全て"_s << 3 << u"Enter"_s << 2;
        QTest::newRow("ｷｬﾝｾﾙ keeps the index") << three << 2 << u"カード"_s << 0 << u"cmdCancel"_s << 2;
        QTest::newRow("Esc keeps the index") << three << 0 << u"銀行振込"_s << 2 << u"Esc"_s << 0;
        QTest::newRow("index beyond the list") << three << 3 << u"全て"_s << 0 << u"cmdCancel"_s << 3;
        QTest::newRow("empty method list") << QString() << -1 << u"全て"_s << 0 << u"cmdEnter"_s << -1;
    }

    void choosingTheShownMethod()
    {
        QFETCH(QString, methods);
        QFETCH(int, before);
        QFETCH(QString, selected);
        QFETCH(int, item);
        QFETCH(QString, closeWith);
        QFETCH(int, after);
        F fixture;
        fixture.owner->pstrSiharaiString = methods;
        gintSiharaiIndex = qint16(before);
        QPointer<frmDispSiharai> dialog = fixture.open<frmDispSiharai>();
        auto *cboSiharai = F::child<QComboBox>(dialog, u"cboSiharai"_s);
        QCOMPARE(cboSiharai->count(), methods.isEmpty() ? 1 : 4);
        QCOMPARE(cboSiharai->currentText(), selected);

        cboSiharai->setFocus();
        QTest::keyClick(cboSiharai, Qt::Key_Home);
        for (int i = 0; i < item; ++i)
            QTest::keyClick(cboSiharai, Qt::Key_Down);
        if (closeWith.startsWith(u"cmd"_s))
            QTest::mouseClick(F::child<QPushButton>(dialog, closeWith), Qt::LeftButton);
        else
            QTest::keyClick(cboSiharai, closeWith == u"Enter"_s ? Qt::Key_Return : Qt::Key_Escape);

        QTRY_VERIFY_WITH_TIMEOUT(dialog.isNull(), 2000);
        QCOMPARE(gintSiharaiIndex, qint16(after));
    }
};

QTEST_MAIN(tst_frmDispSiharai)
#include "tst_frmdispsiharai.moc"
