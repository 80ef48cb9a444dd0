// The operators' promises on a PostgreSQL server, through Qt's driver and
// through psqlODBC: a second registration of the same orders is refused, a
// lock held elsewhere is given up after LockTimeout with the server's
// message, 64-bit order numbers stay exact, a registration is all or
// nothing, a take-back is refused to the second operator, and a connection
// the server drops, during 登録 or a take-back, is told once and reopened.
// What they read: values read through ODBC's bound arrays are the ones Qt's
// ODBC driver hands out, the typed reads over either driver agree with
// FieldValue, and the catalogue's texts keep the operator's values intact
// when names change their quotes.
#include "../core/CoreTest.h"
#include "../safety/Operators.h"
#include "ServerDatabase.h"
#include "core/data/SqlCatalog.h"
#include "screens/history/HistoryTakeBack.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSqlQuery>
#include <QThread>

using namespace Qt::StringLiterals;

// lock_timeout as the server was sent it; what another session holds, or the
// trigger that refuses an order; what the operator is told.
struct Hindrance { ServerPath path; QByteArray timeout; QString sent, held, told; };
// restart: else the backend is terminated; idle: cut before 登録, else during its UPDATEs;
// takeBack: cut during the take-back of a registration instead.
struct Drop { ServerPath path; bool restart, idle, takeBack; };

class tst_ServerOperators : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { ServerDatabase::requireCluster(); }

    void secondRegistrationWritesNothing()
    {
        // Paid neighbours a double (beyond 2^53) or a 32-bit read (beyond 2^31) would confuse.
        // A reads and writes through Qt's driver, B through psqlODBC: each path reads for both.
        ScreenFixture f;
        ServerDatabase db;
        for (const qint64 id : {9007199254740993LL, 2147483653LL, 9007199254740992LL, 5LL, -2147483643LL})
            db.addOrders(1, id);
        db.exec(u"UPDATE \"CHUMON\" SET \"入金日\" = '2025/12/01', \"入金額\" = 1000, \"入金確認送信\" = 1 "
                "WHERE \"ID\" IN (9007199254740992, 5, -2147483643)"_s);
        auto a = operatorOn(db.open(ServerPath::Qpsql), f.settings);
        auto b = operatorOn(db.open(ServerPath::Odbc), f.settings);
        payAndRegister(a->form, u"2026/01/10"_s);
        const QStringList paid{u"-2147483643 2025/12/01 1000 1"_s, u"5 2025/12/01 1000 1"_s,
                               u"2147483653 2026/01/10 1000 1"_s, u"9007199254740992 2025/12/01 1000 1"_s,
                               u"9007199254740993 2026/01/10 1000 1"_s};
        QCOMPARE(db.receipts(), paid);
        QCOMPARE(f.texts, QStringList());
        // B pays the same orders from the same listed state with the very values A wrote: still A's, not B's.
        payAndRegister(b->form, u"2026/01/10"_s);
        QCOMPARE(db.receipts(), paid);
        QCOMPARE(f.texts, QStringList{frmKensaku::ChangedElsewhereMessage({2147483653LL, 9007199254740993LL})});
        QCOMPARE(flagged(b->form), 2);
        // B takes A's registration back to unpaid; A, after B, is refused and writes nothing.
        QVERIFY(!takeBack(*b, 1).refused());
        const QStringList before{paid.at(0), paid.at(1), paid.at(3)};
        QCOMPARE(db.receipts(), before);
        QCOMPARE(takeBack(*a, 1).changed, (QList<qint64>{2147483653LL, 9007199254740993LL}));
        QCOMPARE(db.receipts(), before);
        const QList<PaymentHistory::Registration> listed = PaymentHistory::List(db.admin(), {}, {}, 2147483653LL);
        QCOMPARE(listed.size(), 2);
        QCOMPARE(listed.constFirst().reverses, std::optional<qint64>(1));
        QCOMPARE(listed.constFirst().amount, -2000.0);
    }

    void hindranceLeavesNothingWritten_data()
    {
        QTest::addColumn<Hindrance>("c");
        const QString row = u"SELECT * FROM \"CHUMON\" WHERE \"ID\" = 3 FOR UPDATE"_s;
        for (const ServerPath path : {ServerPath::Qpsql, ServerPath::Odbc}) {
            const char *name = ServerDatabase::name(path);
            const QString timedOut = u"lock timeout"_s;
            // PostgreSQL reads 0 as no limit.
            QTest::addRow("%s, row for update, 0 s", name) << Hindrance{path, "0", u"1ms"_s, row, timedOut};
            QTest::addRow("%s, table locked, 1.5 s", name) << Hindrance{
                path, "1.5", u"1500ms"_s, u"LOCK TABLE \"CHUMON\" IN ACCESS EXCLUSIVE MODE"_s, timedOut};
            // The server refuses one order in the middle of the registration.
            QTest::addRow("%s, order refused midway", name)
                << Hindrance{path, "1", u"1s"_s, u"CREATE TRIGGER audit BEFORE UPDATE ON \"CHUMON\" FOR EACH ROW"
                                                   " WHEN (NEW.\"ID\" = 150) EXECUTE FUNCTION refuse()"_s,
                             u"order 150 is under audit"_s};
        }
    }

    void hindranceLeavesNothingWritten()
    {
        QFETCH(Hindrance, c);
        ScreenFixture f;
        ServerDatabase db;
        db.addOrders(500);
        db.exec(u"CREATE FUNCTION refuse() RETURNS trigger LANGUAGE plpgsql AS "
                "$$BEGIN RAISE EXCEPTION 'order % is under audit', NEW.\"ID\"; END$$"_s);
        f.setIni("[Parlow6]\nLockTimeout=" + c.timeout + '\n');
        auto op = operatorOn(db.open(c.path), f.settings);
        QCOMPARE(firstValue(*op->store.connection, u"SHOW lock_timeout"_s).toString(), c.sent);
        const bool search = c.held.startsWith(u"LOCK"_s), trigger = c.held.startsWith(u"CREATE"_s);
        if (!search)
            payAll(op->form, u"2026/01/10"_s);

        if (!trigger)
            db.admin().BeginTrans();
        db.exec(c.held);
        search ? op->form->cmdSearch_Click() : op->form->cmdUpdate_Click();
        trigger ? db.exec(u"DROP TRIGGER audit ON \"CHUMON\""_s) : db.admin().RollbackTrans();
        QCOMPARE(f.shown.size(), 1);
        QVERIFY2(f.shown.constFirst().contains(c.told), qPrintable(f.shown.constFirst()));
        QCOMPARE(db.receipts(), QStringList());
        QCOMPARE(flagged(op->form), search ? 0 : 500);

        // Once the other lets go, or the order is released, the same action goes through.
        search ? op->form->cmdSearch_Click() : op->form->cmdUpdate_Click();
        QCOMPARE(f.shown.size(), 1);
        QCOMPARE(db.receipts().size(), search ? 0 : 500);
        QCOMPARE(op->form->grid()->MaxRows(), 500);
    }

    // Through psqlODBC, the production path: what follows the lost answer is the list's, not the driver's.
    void unknownCommitIsNotWrittenTwice()
    {
        ScreenFixture f;
        ServerDatabase db;
        db.addOrders(4);
        auto lossy = std::make_shared<FaultyConnection>(db.open(ServerPath::Odbc));
        lossy->loseCommitAnswer = true;
        auto op = operatorOn(lossy, f.settings);
        payAndRegister(op->form, u"2026/01/10"_s);
        QCOMPARE(f.texts, QStringList{QtSqlConnection::LostAtCommitMessage()});
        QCOMPARE(flagged(op->form), 4);
        const QStringList paid = db.receipts();
        QCOMPARE(paid.size(), 4);
        // Every UPDATE gives the row a new version; none may come now.
        const QString versions = u"SELECT string_agg(xmin::text, ',' ORDER BY \"ID\") FROM \"CHUMON\""_s;
        const QVariant written = db.scalar(versions);
        lossy->loseCommitAnswer = false;
        op->form->cmdUpdate_Click();
        QCOMPARE(f.texts.size(), 1);
        QCOMPARE(flagged(op->form), 0);
        QCOMPARE(db.receipts(), paid);
        QCOMPARE(db.scalar(versions), written);
        // The history went with the first COMMIT, and only once.
        QCOMPARE(db.scalar(u"SELECT COUNT(*) FROM \"NYUKIN_RIREKI\""_s).toLongLong(), 4);
    }

    void droppedConnectionIsToldAndReopened_data()
    {
        QTest::addColumn<Drop>("c");
        for (const ServerPath path : {ServerPath::Qpsql, ServerPath::Odbc}) {
            const char *name = ServerDatabase::name(path);
            QTest::addRow("%s, backend terminated", name) << Drop{path, false, false, false};
            QTest::addRow("%s, server restarted", name) << Drop{path, true, false, false};
            QTest::addRow("%s, server restarted while idle", name) << Drop{path, true, true, false};
            QTest::addRow("%s, server restarted during a take-back", name) << Drop{path, true, false, true};
        }
    }

    void droppedConnectionIsToldAndReopened()
    {
        QFETCH(Drop, c);
        const bool restart = c.restart, idle = c.idle, takeBack = c.takeBack;
        const QString pgCtl = qEnvironmentVariable("PARLOW6_PG_CTL");
        if (restart && pgCtl.isEmpty())
            QFAIL("PARLOW6_PG_CTL is not set: run ./scripts/run-tests.sh");
        ScreenFixture f;
        f.setIni("[Parlow6]\nLockTimeout=5\n");
        ServerDatabase db;
        db.addOrders(10000);
        auto op = operatorOn(db.open(c.path), f.settings);
        QList<PaymentHistory::Line> registered;
        if (takeBack) {
            payAndRegister(op->form, u"2026/01/10"_s);
            QCOMPARE(f.shown, QStringList());
            registered = PaymentHistory::Lines(db.admin(), 1);
        }
        const QString paid = u"SELECT COUNT(*) FROM \"CHUMON\" WHERE \"入金日\" = '2026/01/10' AND \"入金額\" = 1000 "
                             "AND \"入金確認送信\" = 1"_s;
        const auto act = [&] {
            takeBack ? void(HistoryTakeBack::Run(op->form, op->form->session(), 1, registered))
                     : payAndRegister(op->form, u"2026/01/10"_s);
        };

        const QString restartServer =
            pgCtl + u" -D \"$PARLOW6_PG_DATA\" -m immediate -w -l \"$PARLOW6_PG_SOCKET/server.log\" restart"_s;
        // While the list waits for the operator: 登録's first statement is the
        // first to find out, and psqlODBC's dead flag does not tell it.
        if (idle)
            QProcess::execute(u"/bin/sh"_s, {u"-c"_s, restartServer});
        // Once another backend runs the registration's UPDATEs, that backend is cut or the server restarted.
        std::unique_ptr<QThread> cut(QThread::create([conninfo = db.conninfo(), restart, restartServer, idle] {
            if (idle)
                return;
            const auto watcher = QtSqlConnection::openPostgreSql(conninfo);
            QElapsedTimer waited;
            waited.start();
            int pid = 0;
            while (!pid && waited.elapsed() < 20000) {
                QThread::msleep(2);
                pid = firstValue(*watcher, u"SELECT pid FROM pg_stat_activity WHERE datname = current_database()"
                                 " AND pid <> pg_backend_pid() AND state = 'active'"
                                 " AND (query LIKE '%UPDATE \"CHUMON\"%' OR query LIKE 'EXECUTE%')"_s).toInt();
            }
            if (pid && restart)
                QProcess::execute(u"/bin/sh"_s, {u"-c"_s, restartServer});
            else if (pid)
                watcher->Execute(u"SELECT pg_terminate_backend(%1)"_s.arg(pid))->Close();
        }));
        cut->start();
        act();
        QVERIFY(cut->wait(60000));
        // Told once, and of a take-back that nothing was written.
        QCOMPARE(f.shown.size(), takeBack ? 2 : 1);
        const QString told = (takeBack ? u"取消できませんでした。何も書き込んでいません。\n"_s : QString())
            + QtSqlConnection::LostMessage();
        QVERIFY2(f.texts.constLast().startsWith(told), qPrintable(f.texts.constLast()));
        QCOMPARE(flagged(op->form), takeBack ? 0 : 10000);

        db.reopen(); // the test's own connection went with the server, too
        QCOMPARE(db.scalar(paid).toLongLong(), takeBack ? 10000 : 0);
        QCOMPARE(db.scalar(u"SELECT COUNT(*) FROM \"NYUKIN_RIREKI\""_s).toLongLong(), takeBack ? 10000 : 0);
        const qsizetype before = f.shown.size();
        act(); // the reopened connection goes through without a word but the question and the outcome
        QCOMPARE(f.shown.mid(before), takeBack ? QStringList({u"?"_s, u"i"_s}) : QStringList());
        QCOMPARE(flagged(op->form), 0);
        QCOMPARE(db.scalar(paid).toLongLong(), takeBack ? 0 : 10000);
    }

    void readsAsQtsDriver_data()
    {
        columns<ServerPath, QString>("path", "value");
        // Bound columns, then long ones (texts without a bound length) read after them.
        for (const char *value :
             {"9007199254740993::bigint", "-2147483643::integer", "7::smallint", "NULL::bigint",
              "1000.5000::numeric(19,4)", "12345678901234.5678::numeric(19,4)", "0::numeric(19,4)",
              "repeat('9', 85)::numeric",
              "'2026-02-28'::date", "'0001-01-01'::date", "NULL::date", "'2014-02-21 10:20:30.125'::timestamp",
              "'10:20:30'::time", "'山田　太郎'::varchar(100)", "'𠮷野家'::varchar(3)", "''::varchar(20)",
              "NULL::varchar(20)", "'2014/02/21'::text", "repeat('山田', 9000)::text", "NULL::text",
              "1.25::float8", "true"})
            for (const ServerPath path : {ServerPath::Qpsql, ServerPath::Odbc})
                QTest::addRow("%s: %s", ServerDatabase::name(path), value) << path << QString::fromLatin1(value);
    }

    void readsAsQtsDriver()
    {
        QFETCH(ServerPath, path);
        QFETCH(QString, value);
        ServerDatabase db;
        const auto odbc = db.open(path);
        // Enough rows for three blocks, the last one short: the second and
        // third are fetched ahead, each into the set the one before left free.
        const QString statement = u"SELECT "_s + value + u" AS v, n FROM generate_series(1, 2345) AS n ORDER BY n"_s;
        QSqlQuery qt(odbc->database());
        qt.setNumericalPrecisionPolicy(QSql::HighPrecision);
        QVERIFY(qt.exec(statement));
        const auto records = odbc->Execute(statement);
        QCOMPARE(records->FieldIndex(u"n"_s), 1);
        qlonglong rows = 0;
        for (; qt.next(); records->MoveNext()) {
            QVERIFY(!records->Eof());
            const QVariant expected = qt.isNull(0) ? QVariant() : qt.value(0);
            compareTypedReads(*records, 0, expected);
            if (QTest::currentTestFailed())
                return;
            QCOMPARE(records->ValueAt(1), qt.value(1));
            QCOMPARE(records->IntegerAt(1), ++rows);
        }
        QVERIFY(records->Eof());
        QCOMPARE(rows, 2345);
    }

    void valuesKeepTheirBrackets()
    {
        // Names lose their brackets for PostgreSQL, texts in quotes never: the
        // catalogue's text, the same on either path.
        ServerDatabase db;
        db.addOrders(2);
        db.exec(u"UPDATE \"CHUMON\" SET \"ショップID\" = 'S[1]''x' WHERE \"ID\" = 2"_s);
        const auto connection = db.open(ServerPath::Odbc);
        const auto records =
            connection->Execute(SqlCatalog::OrderSearch({}, {}, true, u"S[1]'x"_s, connection->Dialect()));
        QVERIFY(!records->Eof());
        QCOMPARE(records->IntegerAt(records->FieldIndex(u"ID"_s)), 2);
        records->MoveNext();
        QVERIFY(records->Eof());
        connection->Execute(SqlCatalog::SaveExemptMethods(u"[代引]\t'後払い'"_s, connection->Dialect()))->Close();
        QCOMPARE(db.scalar(u"SELECT \"NYUKIN_NOMANAGE\" FROM \"CONTROL\""_s).toString(), u"[代引]\t'後払い'"_s);
    }
};

QTEST_MAIN(tst_ServerOperators)
#include "tst_serveroperators.moc"
