// The demo host's start-up faults, run as an operator would run it.
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

class tst_HostSetup final : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    struct Run
    {
        int exitCode = -1;
        QString errors;
        bool crashed = false;
    };

    Run run(const QStringList &arguments, const QStringList &environment = {}, int killAfterMs = -1)
    {
        QProcess host;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const QString &setting : environment)
            env.insert(setting.section(u'=', 0, 0), setting.section(u'=', 1));
        host.setProcessEnvironment(env);
        host.start(QStringLiteral(PARLOW6_HOST), arguments);
        if (killAfterMs >= 0) {
            QTest::qWait(killAfterMs);
            host.kill();
        }
        host.waitForFinished(60000);
        return {host.exitCode(), QString::fromLocal8Bit(host.readAllStandardError()),
                host.exitStatus() == QProcess::CrashExit};
    }

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
        const Run result = run({u"--db"_s, name, u"--screenshot"_s, m_dir.filePath(u"shot.png"_s)});
        QVERIFY(!result.crashed);
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(result.errors.contains(u"データベースファイルの名前として使えません"_s), qPrintable(result.errors));
        QVERIFY(!QFileInfo::exists(m_dir.filePath(u"shot.png"_s)));
    }

    void helpWithoutDisplay()
    {
        const Run result = run({u"--help"_s}, {u"QT_QPA_PLATFORM=xcb"_s, u"DISPLAY="_s, u"WAYLAND_DISPLAY="_s});
        QCOMPARE(result.exitCode, 0);
        QVERIFY(!result.crashed);
    }

    void dataFolderThatCannotBeMade()
    {
        const QString db = m_dir.filePath(u"folder.sqlite"_s);
        const Run result = run({u"--db"_s, db, u"--screenshot"_s, m_dir.filePath(u"folder.png"_s)},
                               {u"PARLOW6_APPDATA=/proc/parlow6-no-such-folder"_s});
        QVERIFY2(!result.crashed, qPrintable(result.errors));
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(result.errors.contains(u"/proc/parlow6-no-such-folder"_s), qPrintable(result.errors));
    }

    void interruptedCreationLeavesNothing()
    {
        // A creation killed half-way must not leave a file that fails every later start.
        const QString db = m_dir.filePath(u"killed.sqlite"_s);
        run({u"--db"_s, db, u"--demo-orders"_s, u"3000000"_s}, {}, 1500);
        QVERIFY(!QFileInfo::exists(db));
        const Run next = run({u"--db"_s, db, u"--demo-orders"_s, u"20"_s, u"--screenshot"_s,
                              m_dir.filePath(u"next.png"_s)});
        QCOMPARE(next.exitCode, 0);
        QVERIFY(QFileInfo::exists(m_dir.filePath(u"next.png"_s)));
    }
};

QTEST_GUILESS_MAIN(tst_HostSetup)
#include "tst_hostsetup.moc"
