// The demo host on an empty PostgreSQL database, through Qt's driver and
// through psqlODBC: the first start creates the tables and the demo orders
// in one transaction, a start killed half-way leaves nothing, later starts
// find them.
#include "../support/HostProcess.h"
#include "ServerDatabase.h"

#include <QTemporaryDir>

using namespace Qt::StringLiterals;

class tst_ServerHost final : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private Q_SLOTS:
    void initTestCase() { ServerDatabase::requireCluster(); }

    void emptyDatabaseGetsDemoData_data() { ServerDatabase::addPaths(); }

    void emptyDatabaseGetsDemoData()
    {
        QFETCH(ServerPath, path);
        ServerDatabase db;
        db.exec(u"DROP TABLE \"CHUMON\", \"PAYMENT\", \"SHOP\", \"CONTROL\", \"NYUKIN_MEIGI\", \"NYUKIN_RIREKI\""_s);
        const QStringList server = path == ServerPath::Qpsql ? QStringList{u"--pg"_s, db.conninfo()}
                                                             : QStringList{u"--odbc"_s, db.odbcString()};
        const QString shot = m_dir.filePath(u"%1.png"_s.arg(QLatin1StringView(ServerDatabase::name(path))));

        // Killed while it writes the orders: the creation is one transaction.
        runHost(server + QStringList{u"--demo-orders"_s, u"2000000"_s}, {}, 1500);
        const QString tables = u"SELECT COUNT(*) FROM information_schema.tables WHERE table_schema = 'public'"_s;
        QCOMPARE(db.scalar(tables).toLongLong(), 0);

        HostRun run = runHost(server + QStringList{u"--demo-orders"_s, u"40"_s, u"--search"_s, u"--screenshot"_s, shot});
        QVERIFY2(run.exitCode == 0, qPrintable(run.output));
        QVERIFY2(run.output.contains(u"created the suite tables with 40 demo orders"_s), qPrintable(run.output));
        QCOMPARE(db.scalar(u"SELECT COUNT(*) FROM \"CHUMON\""_s).toLongLong(), 40);
        QVERIFY(QFile::exists(shot));

        run = runHost(server + QStringList{u"--search"_s, u"--screenshot"_s, shot});
        QVERIFY2(run.exitCode == 0, qPrintable(run.output));
        QVERIFY2(!run.output.contains(u"created"_s), qPrintable(run.output));
        QCOMPARE(db.scalar(u"SELECT COUNT(*) FROM \"CHUMON\""_s).toLongLong(), 40);
    }
};

QTEST_GUILESS_MAIN(tst_ServerHost)
#include "tst_serverhost.moc"
