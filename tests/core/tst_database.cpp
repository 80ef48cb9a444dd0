// The catalogue's statements and the connection under them, run against a
// real SQLite file built from the schema compiled into the library.
#include "CoreTest.h"

#include "core/data/DbTransaction.h"
#include "core/data/FieldValue.h"
#include "core/data/QtSqlConnection.h"
#include "core/data/SqlCatalog.h"
#include "core/data/SqlSchema.h"

#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

// Every row of one column as texts, in the order returned.
QStringList column(DbConnection &connection, const QString &query, const QString &name)
{
    QStringList values;
    const auto records = connection.Execute(query);
    while (!records->Eof()) {
        values << FieldValue::Text(records->Fields(name));
        records->MoveNext();
    }
    records->Close();
    return values;
}

} // namespace

class tst_Database final : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_db.reset();
        m_dir = std::make_unique<QTemporaryDir>();
        m_db = QtSqlConnection::openSqlite(m_dir->filePath(u"suite.sqlite"_s));
        DbTransaction transaction(*m_db);
        SqlSchema::CreateTables(*m_db);
        run(u"INSERT INTO [SHOP] VALUES ('S01', '本店'), ('S02', NULL), ('A''1', 'クォート店')"_s);
        run(u"INSERT INTO [CONTROL] VALUES (NULL), ('x')"_s);
        run(u"INSERT INTO [PAYMENT] VALUES ('代金引換', 1, 1), ('銀行振込', 0, 2), ('銀行振込', 1, 8),"
            u" ('後払い', 1, 3), ('現金書留', 0, 0)"_s);
        transaction.Commit();
    }

    void statements_data()
    {
        // before runs first; the field is named as the screens name it.
        columns<QString, QString, QString, QString>("before", "query", "field", "values");
        const QString methods = SqlCatalog::PaymentMethodTable(SqlDialect::Sqlite);
        const QString exempt = SqlCatalog::ExemptMethods(SqlDialect::Sqlite);
        QTest::newRow("method table in display order") << QString() << methods << u"METHOD"_s
                                                       << u"現金書留,代金引換,後払い,銀行振込"_s;
        QTest::newRow("highest OK per method") << QString() << methods << u"ok_max"_s << u"0,1,1,1"_s;
        QTest::newRow("shop names") << QString() << SqlCatalog::ShopList(SqlDialect::Sqlite) << u"Shop_name"_s << u"本店,,クォート店"_s;
        // No WHERE: the suite keeps one CONTROL row, and every row (here NULL and 'x') gets the list.
        QTest::newRow("exempt list saved") << SqlCatalog::SaveExemptMethods(u"O'Card\t後\0払い"_s, SqlDialect::Sqlite) << exempt
                                           << u"NYUKIN_NOMANAGE"_s << u"O'Card\t後払い,O'Card\t後払い"_s;
    }

    void statements()
    {
        QFETCH(QString, before);
        QFETCH(QString, query);
        QFETCH(QString, field);
        QFETCH(QString, values);
        if (!before.isEmpty())
            run(before);
        QCOMPARE(column(*m_db, query, field).join(u','), values);
    }

    void failures_data()
    {
        // The operator is shown the database's own words, whatever step failed.
        columns<QString, QString>("statement", "told");
        QTest::newRow("syntax") << u"SELEC 1"_s << u"near \"SELEC\": syntax error"_s;
        QTest::newRow("constraint") << u"INSERT INTO [SHOP] VALUES ('S01', 'again')"_s
                                    << u"UNIQUE constraint failed: SHOP.SHOP_ID"_s;
    }

    void failures()
    {
        QFETCH(QString, statement);
        QFETCH(QString, told);
        QString failure;
        try {
            const auto records = m_db->Execute(statement);
            while (!records->Eof())
                records->MoveNext();
        } catch (const DbError &error) {
            failure = error.description();
        }
        QCOMPARE(failure, told);
        QCOMPARE(column(*m_db, u"SELECT COUNT(*) AS n FROM [SHOP]"_s, u"n"_s).join(u','), u"3"_s);
    }

    void readsPastTheEndAreRefused()
    {
        // A loop that runs on past the last row is stopped, not fed Nulls.
        const auto records = m_db->Execute(u"SELECT [SHOP_NAME] FROM [SHOP] WHERE [SHOP_ID] = 'S02'"_s);
        records->MoveNext();
        QVERIFY_THROWS_EXCEPTION(DbError, records->Fields(u"shop_name"_s));
    }

private:
    void run(const QString &statement) { m_db->Execute(statement)->Close(); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::shared_ptr<QtSqlConnection> m_db;
};

QTEST_GUILESS_MAIN(tst_Database)
#include "tst_database.moc"
