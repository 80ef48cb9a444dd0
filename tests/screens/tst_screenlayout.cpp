// The receipt list following its window: the grid stretches, the button row
// stays on the bottom edge, and WindowSizeIndex 2 keeps the design places.
#include "ScreenFixture.h"

#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

class tst_ScreenLayout : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_settings;

    void setWindowSizeIndex(const QByteArray &value)
    {
        const QString path = m_settings.filePath(u"user.reg"_s);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("[Software\\VB and VBA Program Settings\\Veltrane\\Parlow6]\n\"WindowSizeIndex\"=\"" + value
                   + "\"\n");
        file.close();
        qputenv("PARLOW6_USER_REGISTRY", path.toLocal8Bit());
    }

private Q_SLOTS:
    void cleanup()
    {
        qputenv("PARLOW6_USER_REGISTRY", QByteArray());
    }

    void resizeFollowsAnchors_data()
    {
        QTest::addColumn<QByteArray>("windowSizeIndex");
        QTest::addColumn<bool>("follows");
        QTest::newRow("0") << QByteArray("0") << true;
        QTest::newRow("2") << QByteArray("2") << false;
        QTest::newRow("2.0") << QByteArray("2.0") << false;
        QTest::newRow("3") << QByteArray("3") << true;
    }

    void resizeFollowsAnchors()
    {
        QFETCH(QByteArray, windowSizeIndex);
        QFETCH(bool, follows);
        setWindowSizeIndex(windowSizeIndex);
        ScreenFixture fixture;
        frmKensaku *form = fixture.open();

        const QRect grid = form->grid()->geometry();
        const QRect search = form->button(1)->geometry();
        const QRect markAll = form->button(5)->geometry();
        const QRect close = form->button(12)->geometry();
        const double oldWidth = form->frameGeometry().width();
        const int dx = 300, dy = 150;
        form->resize(form->width() + dx, form->height() + dy);
        QCoreApplication::processEvents();

        const int mx = follows ? dx : 0, my = follows ? dy : 0;
        // Twips round to whole pixels: allow one pixel.
        auto near = [](int actual, int expected) { return std::abs(actual - expected) <= 1; };
        QVERIFY2(near(form->grid()->width(), grid.width() + mx), qPrintable(QString::number(form->grid()->width())));
        QVERIFY(near(form->grid()->height(), grid.height() + my));
        QCOMPARE(form->grid()->pos(), grid.topLeft());
        QVERIFY(near(form->button(1)->y(), search.y() + my));
        QCOMPARE(form->button(1)->x(), search.x());
        QVERIFY(near(form->button(5)->y(), markAll.y() + my));
        // The middle group moves in proportion to the width.
        const int proportional = follows ? qRound(markAll.x() * (oldWidth + dx) / oldWidth) : markAll.x();
        QVERIFY2(std::abs(form->button(5)->x() - proportional) <= 2,
                 qPrintable(u"%1 vs %2"_s.arg(form->button(5)->x()).arg(proportional)));
        QVERIFY(near(form->button(12)->x(), close.x() + mx));
        QVERIFY(near(form->button(12)->y(), close.y() + my));
        QCOMPARE(form->button(12)->size(), close.size());

        // The button row stays on the bottom edge, level with the grid's right edge.
        if (follows)
            QVERIFY(near(form->button(12)->geometry().right(), form->grid()->geometry().right()));
    }

    void minimizedWindowIsLeftAlone()
    {
        ScreenFixture fixture;
        frmKensaku *form = fixture.open();
        const QRect grid = form->grid()->geometry();
        form->showMinimized();
        form->resize(form->width() + 200, form->height() + 100);
        QCoreApplication::processEvents();
        QCOMPARE(form->grid()->geometry(), grid);
    }
};

QTEST_MAIN(tst_ScreenLayout)
#include "tst_screenlayout.moc"
