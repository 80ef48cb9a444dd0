// Each condition of the check for orders changed elsewhere, alone: every
// column it compares, over both connections the tests reach. The refusals of
// rows that name no order exactly are tried through the list (tst_operators).
#include "CoreTest.h"
#include "TestDatabase.h"

#include "core/receipt/ReceiptRegistration.h"

using namespace Qt::StringLiterals;
using Receipt = ReceiptRegistration::Receipt;

enum class Path { Sqlite, Odbc };

class tst_Registration final : public QObject
{
    Q_OBJECT

private slots:
    void changedOrdersAreFound_data()
    {
        columns<Path, QString, QString, QList<qint64>>("path", "listedAmount", "change", "found");
        const QList<std::tuple<const char *, QString, QString, QList<qint64>>> cases{
            {"unchanged", u"0"_s, QString(), {}},
            {"入金日 set", u"0"_s, u"UPDATE [CHUMON] SET [入金日] = '2026/01/09' WHERE [ID] = 7"_s, {7}},
            {"入金額 set", u"0"_s, u"UPDATE [CHUMON] SET [入金額] = 1 WHERE [ID] = 7"_s, {7}},
            {"入金確認送信 set", u"0"_s, u"UPDATE [CHUMON] SET [入金確認送信] = 1 WHERE [ID] = 7"_s, {7}},
            {"gone", u"0"_s, u"DELETE FROM [CHUMON] WHERE [ID] = 7"_s, {7}},
            {"stored twice", u"0"_s, u"INSERT INTO [CHUMON] SELECT * FROM [CHUMON] WHERE [ID] = 7"_s, {7}},
            // Listed as the list keeps it: the text of the number read.
            {"a fraction unchanged", u"0.3"_s, u"UPDATE [CHUMON] SET [入金額] = 0.1 + 0.2 WHERE [ID] = 7"_s, {}},
            {"a fraction changed", u"0.3"_s, u"UPDATE [CHUMON] SET [入金額] = 0.4 WHERE [ID] = 7"_s, {7}},
        };
        for (const auto &[name, listedAmount, change, found] : cases) {
            QTest::addRow("sqlite: %s", name) << Path::Sqlite << listedAmount << change << found;
            QTest::addRow("odbc: %s", name) << Path::Odbc << listedAmount << change << found;
        }
    }

    void changedOrdersAreFound()
    {
        QFETCH(Path, path);
        QFETCH(QString, listedAmount);
        QFETCH(QString, change);
        QFETCH(QList<qint64>, found);
        TestDatabase db;
        // A table without an integer key, as some suite databases have it,
        // so that a number may be stored twice.
        db.exec(u"CREATE TABLE [LOOSE] AS SELECT * FROM [CHUMON] WHERE 0"_s);
        db.exec(u"DROP TABLE [CHUMON]"_s);
        db.exec(u"ALTER TABLE [LOOSE] RENAME TO [CHUMON]"_s);
        // Neighbours listed alike, so a check that stops at the first order is seen.
        db.exec(u"INSERT INTO [CHUMON] ([ID], [請求額], [入金額], [入金確認送信]) VALUES (6, 1000, %1, 0),"
                " (7, 1000, %1, 0), (8, 1000, %1, 0)"_s.arg(listedAmount));
        QList<Receipt> receipts;
        for (const qint64 id : {6, 7, 8})
            receipts.append({.id = id, .listed = {{}, listedAmount, u"0"_s}});
        if (!change.isEmpty())
            db.exec(change);

        const std::shared_ptr<DbConnection> connection =
            path == Path::Odbc ? QtSqlConnection::openOdbc(u"Driver=SQLite3;Database="_s + db.path()) : db.connection();
        QCOMPARE(ReceiptRegistration::ChangedElsewhere(*connection, receipts), found);
    }
};

QTEST_GUILESS_MAIN(tst_Registration)
#include "tst_registration.moc"
