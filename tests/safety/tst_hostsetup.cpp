// The demo host's start-up faults, run as an operator would run it.
#include "../support/HostProcess.h"

#include <QFileInfo>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

class tst_HostSetup final : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private Q_SLOTS:
    void throwawayDatabasesRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << QString();
        QTest::newRow("memory") << u":memory:"_s;
        QTest::newRow("uri") << u"file:demo.sqlite?mode=memory"_s;
    }
    void throwawayDatabasesRefused()
    {
        QFETCH(QString, name);
        const HostRun result = runHost({u"--db"_s, name, u"--screenshot"_s, m_dir.filePath(u"shot.png"_s)});
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(result.output.contains(u"データベースファイルの名前として使えません"_s), qPrintable(result.output));
        QVERIFY(!QFileInfo::exists(m_dir.filePath(u"shot.png"_s)));
    }

    void helpWithoutDisplay()
    {
        const HostRun result = runHost({u"--help"_s}, {u"QT_QPA_PLATFORM=xcb"_s, u"DISPLAY="_s, u"WAYLAND_DISPLAY="_s});
        QCOMPARE(result.exitCode, 0);
    }

    void dataFolderThatCannotBeMade()
    {
        const QString db = m_dir.filePath(u"folder.sqlite"_s);
        const HostRun result = runHost({u"--db"_s, db, u"--screenshot"_s, m_dir.filePath(u"folder.png"_s)},
                                       {u"PARLOW6_APPDATA=/proc/parlow6-no-such-folder"_s});
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(result.output.contains(u"/proc/parlow6-no-such-folder"_s), qPrintable(result.output));
    }

    void interruptedCreationLeavesNothing()
    {
        // A creation killed half-way must not leave a file that fails every later start.
        const QString db = m_dir.filePath(u"killed.sqlite"_s);
        runHost({u"--db"_s, db, u"--demo-orders"_s, u"3000000"_s}, {}, 1500);
        QVERIFY(!QFileInfo::exists(db));
        const HostRun next = runHost({u"--db"_s, db, u"--demo-orders"_s, u"20"_s, u"--screenshot"_s,
                                      m_dir.filePath(u"next.png"_s)});
        QCOMPARE(next.exitCode, 0);
        QVERIFY(QFileInfo::exists(m_dir.filePath(u"next.png"_s)));
    }
};

QTEST_GUILESS_MAIN(tst_HostSetup)
#include "tst_hostsetup.moc"
