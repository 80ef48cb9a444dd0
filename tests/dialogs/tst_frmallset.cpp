// The bulk receipt-date dialog: date entry, spinner, hand-over and cancel.
#include "DialogFixture.h"

#include "core/data/FieldValue.h"
#include "screens/dialogs/frmAllSet.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>

using namespace Qt::StringLiterals;
using F = DialogFixture;

namespace {

QString today()
{
    return FieldValue::FormatDate(QDate::currentDate());
}

// Clicks into the box, which selects its text, and types over it.
void typeDate(QLineEdit *box, const QString &text)
{
    QTest::mouseClick(box, Qt::LeftButton);
    QVERIFY(QTest::qWaitFor([box] { return box->hasFocus() && box->selectedText() == box->text(); }, 2000));
    if (text.isEmpty())
        QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, text);
}

void clickArrow(QScrollBar *bar, QStyle::SubControl arrow)
{
    QStyleOptionSlider opt;
    opt.initFrom(bar);
    opt.orientation = bar->orientation();
    opt.minimum = bar->minimum();
    opt.maximum = bar->maximum();
    opt.sliderPosition = opt.sliderValue = bar->value();
    const QRect rect = bar->style()->subControlRect(QStyle::CC_ScrollBar, &opt, arrow, bar);
    QTest::mouseClick(bar, Qt::LeftButton, {}, rect.center());
}

} // namespace

class tst_frmAllSet : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void leavingTheDateBox_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("eight digits") << u"20140221"_s << u"2014/02/21"_s;
        QTest::newRow("six digits, this century") << u"140221"_s << u"2014/02/21"_s;
        QTest::newRow("short month and day") << u"2014/2/3"_s << u"2014/02/03"_s;
        QTest::newRow("blanks around") << u"  2014/02/21 "_s << u"2014/02/21"_s;
        QTest::newRow("empty passes") << QString() << QString();
        // Refused: the box is emptied and keeps the focus.
        QTest::newRow("four digits not expanded") << u"0221"_s << QString();
        QTest::newRow("eight digits, no such day") << u"20140230"_s << QString();
        QTest::newRow("words") << u"abc"_s << QString();
    }

    void leavingTheDateBox()
    {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        const bool refused = expected.isEmpty() && !typed.isEmpty();
        F fixture;
        auto *txtDate = F::child<QLineEdit>(fixture.open<frmAllSet>(), u"txtDate"_s);

        typeDate(txtDate, typed);
        QTest::keyClick(txtDate, Qt::Key_Tab);

        QTRY_COMPARE_WITH_TIMEOUT(txtDate->text(), expected, 2000);
        QTRY_COMPARE_WITH_TIMEOUT(txtDate->hasFocus(), refused, 2000);
        QCOMPARE(fixture.messageTexts(), refused ? QStringList{u"日付を入力して下さい。"_s} : QStringList());
        if (refused) {
            QCOMPARE(fixture.messages.first().title, u"全額指定日収納"_s);
            QCOMPARE(fixture.messages.first().icon, QMessageBox::Information);
        }
    }

    void confirmingChecksTheDateFirst_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("boxAfter");
        // Clicked at once, before the box's own check on leaving has run.
        QTest::newRow("digits taken as the date") << u"20140221"_s << QStringList() << u"2014/02/21"_s;
        QTest::newRow("empty box gets today") << QString() << QStringList{u"日付が正しくありません。"_s} << today();
        QTest::newRow("bad date told once") << u"0221"_s << QStringList{u"日付を入力して下さい。"_s} << QString();
    }

    void confirmingChecksTheDateFirst()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, messages);
        QFETCH(QString, boxAfter);
        F fixture;
        QPointer<frmAllSet> dialog = fixture.open<frmAllSet>();
        auto *txtDate = F::child<QLineEdit>(dialog, u"txtDate"_s);

        typeDate(txtDate, typed);
        QTest::mouseClick(F::child<QPushButton>(dialog, u"cmdEnter"_s), Qt::LeftButton);

        QCOMPARE(fixture.messageTexts(), messages);
        QCOMPARE(fixture.owner->pbytSetFlg, quint8(messages.isEmpty() ? 1 : 0));
        if (messages.isEmpty()) {
            QCOMPARE(fixture.owner->pstrDate, boxAfter);
            QTRY_VERIFY_WITH_TIMEOUT(dialog.isNull(), 2000);
        } else {
            QCOMPARE(txtDate->text(), boxAfter);
            QTRY_VERIFY_WITH_TIMEOUT(txtDate->hasFocus(), 2000);
            QVERIFY(dialog->isVisible());
        }
    }

    void spinner_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<bool>("upper");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("barAfter");
        QTest::newRow("upper arrow: day after") << u"2014/02/28"_s << true << u"2014/03/01"_s << 2;
        QTest::newRow("lower arrow: day before") << u"2014/03/01"_s << false << u"2014/02/28"_s << 2;
        QTest::newRow("leap day") << u"2016/02/28"_s << true << u"2016/02/29"_s << 2;
        QTest::newRow("over the year end") << u"2014/12/31"_s << true << u"2015/01/01"_s << 2;
        QTest::newRow("typed digits checked first") << u"20140301"_s << false << u"2014/02/28"_s << 2;
        QTest::newRow("empty box stays, bar too") << QString() << true << QString() << 1;
    }

    void spinner()
    {
        QFETCH(QString, start);
        QFETCH(bool, upper);
        QFETCH(QString, expected);
        QFETCH(int, barAfter);
        F fixture;
        auto *dialog = fixture.open<frmAllSet>();
        auto *txtDate = F::child<QLineEdit>(dialog, u"txtDate"_s);
        auto *vsrlDate = F::child<QScrollBar>(dialog, u"vsrlDate"_s);
        typeDate(txtDate, start);

        clickArrow(vsrlDate, upper ? QStyle::SC_ScrollBarSubLine : QStyle::SC_ScrollBarAddLine);

        QCOMPARE(txtDate->text(), expected);
        QCOMPARE(vsrlDate->value(), barAfter);
        QCOMPARE(fixture.messageTexts(), QStringList());
        if (!expected.isEmpty())
            QTRY_COMPARE_WITH_TIMEOUT(txtDate->selectedText(), expected, 2000);
    }

    void closing_data()
    {
        QTest::addColumn<int>("downPresses");
        QTest::addColumn<int>("mailOption");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("closeKey");
        QTest::addColumn<QString>("siharai"); // empty: nothing handed over
        QTest::addColumn<quint8>("allSet");
        QTest::addColumn<quint8>("mailSet");
        const int enter = Qt::Key_Return;
        QTest::newRow("all methods, no mail") << 0 << 1 << QString() << enter << u"全て"_s << quint8(1) << quint8(0);
        QTest::newRow("all methods, mail") << 0 << 0 << QString() << enter << u"全て"_s << quint8(1) << quint8(1);
        QTest::newRow("second method, mail") << 2 << 0 << QString() << enter << u"代引"_s << quint8(0) << quint8(1);
        QTest::newRow("first method") << 1 << 1 << QString() << enter << u"銀行振込"_s << quint8(0) << quint8(0);
        QTest::newRow("Esc") << 2 << 0 << u"2014/02/21"_s << int(Qt::Key_Escape) << QString() << quint8(0)
                             << quint8(0);
        QTest::newRow("ｷｬﾝｾﾙ over a bad date") << 1 << 0 << u"abc"_s << 0 << QString() << quint8(0) << quint8(0);
    }

    void closing()
    {
        QFETCH(int, downPresses);
        QFETCH(int, mailOption);
        QFETCH(QString, typed);
        QFETCH(int, closeKey);
        QFETCH(QString, siharai);
        QFETCH(quint8, allSet);
        QFETCH(quint8, mailSet);
        F fixture;
        fixture.owner->pstrSiharaiString = u"銀行振込\t代引\tカード"_s;
        QPointer<frmAllSet> dialog = fixture.open<frmAllSet>();
        auto *cboSiharai = F::child<QComboBox>(dialog, u"cboSiharai"_s);
        QCOMPARE(cboSiharai->count(), 4);

        if (!typed.isEmpty())
            typeDate(F::child<QLineEdit>(dialog, u"txtDate"_s), typed);
        if (mailOption == 0) // "未ﾁｪｯｸ" is the one chosen on opening
            QTest::mouseClick(F::child<QRadioButton>(dialog, u"optJyunbi"_s, 0), Qt::LeftButton);
        cboSiharai->setFocus();
        for (int i = 0; i < downPresses; ++i)
            QTest::keyClick(cboSiharai, Qt::Key_Down);
        if (closeKey)
            QTest::keyClick(cboSiharai, Qt::Key(closeKey));
        else
            QTest::mouseClick(F::child<QPushButton>(dialog, u"cmdCancel"_s), Qt::LeftButton);

        QTRY_VERIFY_WITH_TIMEOUT(dialog.isNull(), 2000);
        QTest::qWait(20);
        QCOMPARE(fixture.messageTexts(), QStringList());
        QCOMPARE(fixture.owner->pbytSetFlg, quint8(siharai.isEmpty() ? 0 : 1));
        QCOMPARE(fixture.owner->pstrSiharai, siharai);
        QCOMPARE(fixture.owner->pstrDate, siharai.isEmpty() ? QString() : today());
        QCOMPARE(fixture.owner->pbytAllSet, allSet);
        QCOMPARE(fixture.owner->pbytMailSet, mailSet);
    }
};

QTEST_MAIN(tst_frmAllSet)
#include "tst_frmallset.moc"
