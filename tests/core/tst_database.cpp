// The catalogue's statements and the connection under them, run against a
// real SQLite file built from the schema compiled into the library. SQLite
// read through its own interface gives what Qt's driver and the FieldValue
// rules give; the batch path writes what the literal path writes.
#include "CoreTest.h"

#include "core/data/DbTransaction.h"
#include "core/data/FieldValue.h"
#include "core/data/QtSqlConnection.h"
#include "core/data/SqlCatalog.h"
#include "core/data/SqlSchema.h"

#include <QSqlQuery>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

// Every value of column 0 as Qt's driver reads it, Null made plain.
QVariantList qtValues(QtSqlConnection &connection, const QString &query)
{
    QSqlQuery q(connection.database());
    q.setForwardOnly(true);
    if (!q.exec(query))
        qFatal("%s", qPrintable(query));
    QVariantList values;
    while (q.next())
        values.append(q.value(0).isNull() ? QVariant() : q.value(0));
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
        m_db = QtSqlConnection::openSqlite(path());
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
        QStringList read; // every row's field as text, in the order returned
        for (const auto records = m_db->Execute(query); !records->Eof(); records->MoveNext())
            read << FieldValue::Text(records->Fields(field));
        QCOMPARE(read.join(u','), values);
    }

    void readsPastTheEndAreRefused()
    {
        // A loop that runs on past the last row is stopped, not fed Nulls.
        const auto records = m_db->Execute(u"SELECT [SHOP_NAME] FROM [SHOP] WHERE [SHOP_ID] = 'S02'"_s);
        records->MoveNext();
        QVERIFY_THROWS_EXCEPTION(DbError, records->Fields(u"shop_name"_s));
    }

    void typedReadsAsFieldValue_data()
    {
        // odbc: through the SQLite ODBC driver, else SQLite's own interface; stored: an SQL
        // expression, stored without conversion.
        columns<bool, QString>("odbc", "stored");
        const std::pair<const char *, QString> values[] = {
            {"Null", u"NULL"_s},
            {"integer beyond 2^53", u"9007199254740993"_s},
            {"lowest integer", u"-9223372036854775808"_s},
            {"real", u"12.5"_s},
            {"whole real", u"3.0"_s},
            {"huge real", u"1e300"_s},
            {"digits with blanks", u"' -42 '"_s},
            {"zero date", u"'0000/00/00'"_s},
            {"date", u"'2014/02/03'"_s},
            {"year before 100", u"'0099/12/31'"_s},
            {"no such day", u"'2014/02/30'"_s},
            {"not a digit", u"'2014/0:/03'"_s},
            {"date with a time", u"'2014/02/03 10:20:30'"_s},
            {"empty text", u"''"_s},
            {"beyond the basic plane", u"'𠮷野家'"_s},
            {"malformed UTF-8", u"CAST(X'E3812061' AS TEXT)"_s},
            {"U+FFFF", u"char(65535)"_s},
            {"byte order mark first", u"CAST(X'EFBBBF6162' AS TEXT)"_s},
            {"byte array", u"X'41420043'"_s},
        };
        for (const auto &[name, stored] : values) {
            QTest::addRow("%s", name) << false << stored;
            QTest::addRow("odbc: %s", name) << true << stored;
        }
    }

    void typedReadsAsFieldValue()
    {
        QFETCH(bool, odbc);
        QFETCH(QString, stored);
        // Between plain dates, so what is remembered from row to row is crossed.
        run(u"CREATE TABLE [V] ([N] INTEGER PRIMARY KEY, [X])"_s);
        run(u"INSERT INTO [V] ([X]) VALUES ('2014/02/03'), (%1), ('2014/02/04'), (%1), (%1)"_s.arg(stored));
        const QString query = u"SELECT [X] FROM [V] ORDER BY [N]"_s;
        // Qt's driver of the same kind gives the values to agree with.
        const auto db = odbc ? QtSqlConnection::openOdbc(u"Driver=SQLite3;Database="_s + path()) : m_db;
        const QVariantList expected = qtValues(*db, query);

        const auto records = db->Execute(query);
        for (const QVariant &value : expected) {
            QVERIFY(!records->Eof());
            compareTypedReads(*records, 0, value);
            records->MoveNext();
        }
        QVERIFY(records->Eof());
    }

    void batchWritesAsLiterals_data()
    {
        // receipt: the UPDATE as SQL Server and a host's own connection receive it, word for word.
        columns<QVariantList, QString>("values", "receipt");
        QTest::newRow("receipt") << SqlCatalog::RegisterReceiptValues(u"2014/02/21"_s, 5800, 17)
                                 << u"UPDATE [CHUMON] SET [入金日] = '2014/02/21',[入金額] = 5800,[入金確認送信] = 1 WHERE [ID] = 17"_s;
        QTest::newRow("empty date, large numbers")
            << SqlCatalog::RegisterReceiptValues(QString(), 12345678901, 2147483648)
            << u"UPDATE [CHUMON] SET [入金日] = '',[入金額] = 12345678901,[入金確認送信] = 1 WHERE [ID] = 2147483648"_s;
        QTest::newRow("quote, Null, real") << QVariantList{u"O'Brien '"_s, QVariant(), 0.1} << QString();
        QTest::newRow("question mark in a text") << QVariantList{u"?"_s, -1, qlonglong(1) << 62} << QString();
    }

    void batchWritesAsLiterals()
    {
        QFETCH(QVariantList, values);
        QFETCH(QString, receipt);
        run(u"CREATE TABLE [A] ([NOTE] TEXT, [P], [Q], [R])"_s);
        run(u"CREATE TABLE [B] ([NOTE] TEXT, [P], [Q], [R])"_s);
        // A ? in quotes or brackets is no placeholder.
        const QString insert = u"INSERT INTO [%1] ([NOTE], [P], [Q], [R]) VALUES ('?', ?, ?, ?)"_s;
        m_db->ExecuteEach(insert.arg(u"A"_s), {values, values});
        m_db->DbConnection::ExecuteEach(insert.arg(u"B"_s), {values, values});
        const QString read = u"SELECT quote([P]) || quote([Q]) || quote([R]) || [NOTE] FROM [%1]"_s;
        QCOMPARE(qtValues(*m_db, read.arg(u"A"_s)), qtValues(*m_db, read.arg(u"B"_s)));
        if (!receipt.isEmpty())
            QCOMPARE(DbConnection::WithLiterals(SqlCatalog::RegisterReceiptEach(true, SqlDialect::Sqlite), values),
                     receipt);
    }

    void searchReadsOnlyItsIndex_data()
    {
        QTest::addColumn<QString>("search");
        QTest::newRow("every unpaid order") << SqlCatalog::OrderSearch({}, {}, false, {}, SqlDialect::Sqlite);
        QTest::newRow("ship dates and shop")
            << SqlCatalog::OrderSearch(u"2014/01/01"_s, u"2014/12/31"_s, true, u"S'1"_s, SqlDialect::Sqlite);
    }

    void searchReadsOnlyItsIndex()
    {
        QFETCH(QString, search);
        QStringList plan;
        const auto records = m_db->Execute(u"EXPLAIN QUERY PLAN "_s + search);
        const int detail = records->FieldIndex(u"detail"_s);
        for (; !records->Eof(); records->MoveNext())
            plan.append(records->TextAt(detail));
        // The cost then follows the unpaid orders, not the whole table.
        QVERIFY2(plan.join(u'\n').contains(u"COVERING INDEX IX_CHUMON_未入金"_s), qPrintable(plan.join(u'\n')));
    }

private:
    QString path() const { return m_dir->filePath(u"suite.sqlite"_s); }
    void run(const QString &statement) { m_db->Execute(statement)->Close(); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::shared_ptr<QtSqlConnection> m_db;
};

QTEST_GUILESS_MAIN(tst_Database)
#include "tst_database.moc"
