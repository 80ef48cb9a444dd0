// Reading from PostgreSQL: the list's typed reads through libpq agree with
// what Qt's driver hands out, and the catalogue's texts keep the operator's
// values intact when names change their quotes.
#include "../core/CoreTest.h"
#include "ServerDatabase.h"

#include "core/data/PostgreSqlRecordset.h"
#include "core/data/SqlCatalog.h"

#include <QSqlQuery>

using namespace Qt::StringLiterals;

class tst_ServerReads final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { ServerDatabase::requireCluster(); }

    void typedReadsAgreeWithQtsDriver_data()
    {
        QTest::addColumn<QString>("value");
        for (const char *value :
             {"9007199254740993::bigint", "-2147483643::integer", "7::smallint", "NULL::bigint",
              "1000.5000::numeric(19,4)", "12345678901234.5678::numeric(19,4)", "0::numeric(19,4)",
              "'2026-02-28'::date", "'0001-01-01'::date", "NULL::date", "'山田　太郎'::varchar", "''::varchar",
              "'2014/02/21'::text", "1.25::float8", "true"})
            QTest::newRow(value) << QString::fromLatin1(value);
    }

    void typedReadsAgreeWithQtsDriver()
    {
        QFETCH(QString, value);
        ServerDatabase db;
        const QString statement = u"SELECT "_s + value + u" AS v"_s;
        const auto records = db.admin().Execute(statement);
        // Through libpq itself, not Qt's driver: the driver's handle has to be recognised.
        QVERIFY(dynamic_cast<const PostgreSqlRecordset *>(records.get()));
        QVERIFY(!records->Eof());
        const QVariant own = records->ValueAt(0);
        compareTypedReads(*records, 0, own);
        records->Close();

        // Qt's driver, reading the same value with exact numerics.
        QSqlQuery query(db.admin().database());
        query.setNumericalPrecisionPolicy(QSql::HighPrecision);
        QVERIFY(query.exec(statement) && query.next());
        QCOMPARE(FieldValue::Text(own), FieldValue::Text(query.isNull(0) ? QVariant() : query.value(0)));
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
