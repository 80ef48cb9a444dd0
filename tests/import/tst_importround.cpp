// The import on the real screen over a demo database and its sample
// statement: the keyboard round to the registration, the preview's answers,
// the pick among candidates, and files that are refused.
#include "ImportFixture.h"

#include "core/import/StatementFile.h"
#include "screens/import/frmTorikomi.h"
#include "widgets/grid/vaSpread.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>

#include <algorithm>

using namespace Qt::StringLiterals;
using F = ImportFixture;
using K = frmKensaku;

namespace {

void press(int key)
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
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
    std::sort(ids.begin(), ids.end());
    return ids;
}

QList<qint64> sorted(QList<qint64> ids)
{
    std::sort(ids.begin(), ids.end());
    return ids;
}

} // namespace

class tst_ImportRound : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void wholeRoundFromTheKeyboard()
    {
        F fixture;
        fixture.openAndSearch();
        QVERIFY(fixture.sample.written);
        const QStringList before = fixture.screen.receipts();

        QString focusOnOpen;
        fixture.screen.whenActive<QFileDialog>([&](QFileDialog *chooser) {
            fixture.screen.whenActive<frmTorikomi>([&](frmTorikomi *) {
                const QWidget *focus = QApplication::focusWidget();
                focusOnOpen = focus ? focus->objectName() : QString();
                press(Qt::Key_Return);
            });
            QTest::keyClicks(chooser->findChild<QLineEdit *>(u"fileNameEdit"_s), fixture.sample.path);
            press(Qt::Key_Return);
        });
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_I, Qt::ControlModifier);
        QTest::keyClick(fixture.screen.form->grid(), Qt::Key_F9);

        QCOMPARE(focusOnOpen, u"cmdEnter"_s);
        QList<qint64> registered;
        for (const QString &receipt : fixture.screen.receipts()) {
            if (!before.contains(receipt))
                registered << receipt.section(u' ', 0, 0).toLongLong();
        }
        QCOMPARE(sorted(registered), sorted(fixture.sample.matched));
        QCOMPARE(fixture.screen.texts, QStringList());
    }

    void previewAnswers_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("applied");
        QTest::newRow("Enter applies") << int(Qt::Key_Return) << true;
        QTest::newRow("Esc cancels") << int(Qt::Key_Escape) << false;
    }

    void previewAnswers()
    {
        QFETCH(int, key);
        QFETCH(bool, applied);
        F fixture;
        vaSpread *grid = fixture.openAndSearch()->grid();
        // The display filter hides rows; the import still sees them all.
        grid->SetRowHidden(-1, true);
        fixture.screen.whenActive<frmTorikomi>([key](frmTorikomi *) { press(key); });
        fixture.screen.form->ImportStatement(fixture.sample.path);
        QCOMPARE(filledRows(grid), applied ? sorted(fixture.sample.matched) : QList<qint64>());
    }

    void picksAmongCandidatesAndSavesTheRest()
    {
        F fixture;
        vaSpread *grid = fixture.openAndSearch()->grid();
        QVERIFY(fixture.sample.multiple.size() > 1);
        const QString rest = fixture.file(u"rest.csv"_s);
        fixture.screen.whenActive<frmTorikomi>([&](frmTorikomi *preview) {
            // From "反映" past "ｷｬﾝｾﾙ" into the list, then down to the line with candidates.
            press(Qt::Key_Tab);
            press(Qt::Key_Tab);
            auto *lines = preview->findChild<vaSpread *>(u"sprTorikomi"_s);
            if (!lines->hasFocus())
                return preview->reject();
            for (int step = 0; step < 20 && lines->Text(frmTorikomi::ColStatus, lines->currentIndex().row() + 1)
                                                != u"複数候補"_s; ++step)
                press(Qt::Key_Down);
            press(Qt::Key_Space); // refused until an order is picked
            auto *choice = preview->findChild<QComboBox *>(u"cboKouho"_s);
            choice->showPopup();
            QTest::keyClick(choice->view(), Qt::Key_Down);
            QTest::keyClick(choice->view(), Qt::Key_Return);
            preview->SaveUnapplied(rest);
            preview->findChild<QWidget *>(u"cmdEnter"_s)->setFocus();
            press(Qt::Key_Return);
        });
        fixture.screen.form->ImportStatement(fixture.sample.path);

        QCOMPARE(fixture.screen.texts, QStringList{u"入金先を候補から選んでください。"_s});
        QList<qint64> expected = fixture.sample.matched;
        expected << fixture.sample.multiple.constFirst();
        QCOMPARE(filledRows(grid), sorted(expected));
        // The lines left out come back as a statement of their own.
        QFile saved(rest);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray bytes = saved.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        const Statement again = StatementFile::read(bytes, QDate::currentDate());
        QVERIFY2(again.ok(), qPrintable(again.error));
        QCOMPARE(again.lines.size(), fixture.sample.lines - fixture.sample.tickedLines - 1);
    }

    void refusesBadFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        QTest::newRow("csv") << u"日付,摘要\n2024/05/01,x\n"_s.toUtf8() << u"1行目: 金額の列がありません"_s;
        QTest::newRow("fixed-length") << QByteArray("103").leftJustified(200, ' ') + "\r\n2\r\n"
                                      << u"2行目: レコードが200バイトではありません"_s;
    }

    void refusesBadFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        F fixture;
        vaSpread *grid = fixture.openAndSearch()->grid();
        QFile file(fixture.file(u"bad.dat"_s));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        fixture.screen.form->ImportStatement(file.fileName());
        QCOMPARE(fixture.screen.texts.size(), 1);
        QVERIFY2(fixture.screen.texts.constFirst().contains(reason), qPrintable(fixture.screen.texts.join(u'\n')));
        QCOMPARE(filledRows(grid), QList<qint64>());
        QCOMPARE(grid->Number(K::ColUpdateFlag, 1), 0.0);
    }
};

QTEST_MAIN(tst_ImportRound)
#include "tst_importround.moc"
