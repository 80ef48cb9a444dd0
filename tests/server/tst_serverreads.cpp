// Reading from PostgreSQL: values read through ODBC's bound arrays are the
// ones Qt's ODBC driver hands out, the typed reads over either driver agree
// with FieldValue, and the catalogue's texts keep the operator's values
// intact when names change their quotes.
#include "../core/CoreTest.h"
#include "ServerDatabase.h"

#include "core/data/SqlCatalog.h"

#include <QSqlQuery>

using namespace Qt::StringLiterals;

class tst_ServerReads final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { ServerDatabase::requireCluster(); }

    void readsAsQtsDriver_data()
    {
        QTest::addColumn<ServerPath>("path");
        QTest::addColumn<QString>("value");
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
        // Enough rows for three blocks, the last one short.
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
            QCOMPARE(records->ValueAt(0), expected);
            QCOMPARE(records->ValueAt(0).typeId(), expected.typeId());
            QCOMPARE(records->ValueAt(1), qt.value(1));
            QCOMPARE(records->IntegerAt(1), ++rows);
        }
        QVERIFY(records->Eof());
        QCOMPARE(rows, 2345);
    }

    void valuesKeepTheirBrackets_data() { ServerDatabase::addPaths(); }

    void valuesKeepTheirBrackets()
    {
        // Names lose their brackets for PostgreSQL, texts in quotes never.
        QFETCH(ServerPath, path);
        ServerDatabase db;
        db.addOrders(2);
        db.exec(u"UPDATE \"CHUMON\" SET \"ショップID\" = 'S[1]''x' WHERE \"ID\" = 2"_s);
        const auto connection = db.open(path);
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

QTEST_GUILESS_MAIN(tst_ServerReads)
#include "tst_serverreads.moc"
