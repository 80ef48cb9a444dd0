// Each condition that stands between a flagged row and its UPDATE, alone:
// every refusal of the registration, every column the check for orders
// changed elsewhere compares, over both connections the tests reach.
#include "CoreTest.h"
#include "TestDatabase.h"

#include "core/receipt/ReceiptRegistration.h"

using namespace Qt::StringLiterals;
using Receipt = ReceiptRegistration::Receipt;

namespace {

// An order listed unpaid: nothing paid, no mail; written with 1000 today.
Receipt listedReceipt(qint64 id, int row = 1)
{
    Receipt receipt;
    receipt.row = row;
    receipt.id = id;
    receipt.idText = QString::number(id);
    receipt.amount = 1000;
    receipt.paidDate = u"2026/01/10"_s;
    receipt.listed = {{}, u"0"_s, u"0"_s};
    return receipt;
}

enum class Path { Sqlite, Odbc };

} // namespace

class tst_Registration final : public QObject
{
    Q_OBJECT

private slots:
    void unwritableRowsAreRefused_data()
    {
        // An id of 0: the order number read is no whole number.
        columns<qint64, qint64, int, QString>("id", "amount", "listedTimes", "refusal");
        const QString range = u"1行目 (No. 7): 入金額が範囲外です。"_s;
        QTest::newRow("a whole number listed once") << qint64(7) << qint64(1000) << 1 << QString();
        QTest::newRow("no whole number") << qint64(0) << qint64(1000) << 1
                                         << u"1行目 (No. A12): 注文番号が整数ではないか、範囲外です。"_s;
        QTest::newRow("listed twice") << qint64(7) << qint64(1000) << 2
                                      << u"1行目 (No. 7): 同じ注文番号が一覧に複数あります。"_s;
        QTest::newRow("the highest amount") << qint64(7) << qint64(9999999999) << 1 << QString();
        QTest::newRow("past the highest") << qint64(7) << qint64(10000000000) << 1 << range;
        QTest::newRow("a negative amount") << qint64(7) << qint64(-1) << 1 << range;
    }

    void unwritableRowsAreRefused()
    {
        QFETCH(qint64, id);
        QFETCH(qint64, amount);
        QFETCH(int, listedTimes);
        QFETCH(QString, refusal);
        Receipt receipt = listedReceipt(id);
        receipt.amount = amount;
        QHash<qint64, int> listed;
        if (id != 0) {
            listed.insert(id, listedTimes);
        } else {
            receipt.id.reset();
            receipt.idText = u"A12"_s;
        }
        const QStringList refused = ReceiptRegistration::Unwritable({receipt}, listed);
        QCOMPARE(refused, refusal.isEmpty() ? QStringList() : QStringList{refusal});
    }

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
        for (const qint64 id : {6, 7, 8}) {
            receipts.append(listedReceipt(id, int(id)));
            receipts.last().listed.paidAmount = listedAmount;
        }
        if (!change.isEmpty())
            db.exec(change);

        const std::shared_ptr<DbConnection> connection =
            path == Path::Odbc ? QtSqlConnection::openOdbc(u"Driver=SQLite3;Database="_s + db.path()) : db.connection();
        QCOMPARE(ReceiptRegistration::ChangedElsewhere(*connection, receipts), found);
    }
};

QTEST_GUILESS_MAIN(tst_Registration)
#include "tst_registration.moc"
