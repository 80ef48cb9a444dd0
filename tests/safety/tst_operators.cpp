// A registration under another program's lock and rows that name no order
// exactly: what 登録 writes, over SQLite and over ODBC; and each condition of
// the check for orders changed elsewhere, alone: every column it compares.
#include "../core/CoreTest.h"
#include "Operators.h"

#include <QElapsedTimer>

using namespace Qt::StringLiterals;

enum class Path { Sqlite, Odbc };
Q_DECLARE_METATYPE(Path)

class tst_Operators : public QObject
{
    Q_OBJECT

private:
    static std::shared_ptr<QtSqlConnection> open(Path path, const TestDatabase &db)
    {
        return path == Path::Sqlite ? QtSqlConnection::openSqlite(db.path())
                                    : QtSqlConnection::openOdbc(u"Driver=SQLite3;Database="_s + db.path());
    }

    // An operator whose list shows the orders of f's database, searched.
    static std::unique_ptr<Operator> operatorOn(Path path, ScreenFixture &f)
    {
        return ::operatorOn(open(path, f.db), f.settings);
    }

    // A table without an integer key, as some suite databases have it, so
    // that a number may be stored twice.
    static void loosenKey(TestDatabase &db)
    {
        db.exec(u"CREATE TABLE [LOOSE] AS SELECT * FROM [CHUMON] WHERE 0"_s);
        db.exec(u"DROP TABLE [CHUMON]"_s);
        db.exec(u"ALTER TABLE [LOOSE] RENAME TO [CHUMON]"_s);
    }

private Q_SLOTS:
    void lockedRegistrationGivesUpInTime_data()
    {
        // 0 is "do not wait": the SQLite ODBC driver reads its own Timeout=0
        // as a long default, under which 登録 waited for the reader to end.
        columns<Path, QByteArray, int>("path", "timeout", "belowMs");
#ifdef PARLOW6_SANITIZE
        constexpr int slower = 2; // the registration's own work takes most of the 0 s rows' bound there
#else
        constexpr int slower = 1;
#endif
        QTest::newRow("sqlite, 1 s") << Path::Sqlite << QByteArray("1") << 4000 * slower;
        QTest::newRow("odbc, 1 s") << Path::Odbc << QByteArray("1") << 4000 * slower;
        QTest::newRow("sqlite, 0 s") << Path::Sqlite << QByteArray("0") << 1500 * slower;
        QTest::newRow("odbc, 0 s") << Path::Odbc << QByteArray("0") << 1500 * slower;
    }

    void lockedRegistrationGivesUpInTime()
    {
        QFETCH(Path, path);
        QFETCH(QByteArray, timeout);
        QFETCH(int, belowMs);
        ScreenFixture f;
        f.db.addPayment(u"銀行振込"_s, 1, 1);
        f.db.exec(u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
                  "INSERT INTO [CHUMON] ([ID], [氏名], [請求額], [入金額], [支払方法], [出荷日], [入金確認送信]) "
                  "SELECT i, printf('%1 %d', i), 1000, 0, '銀行振込', '%2', 0 FROM n"_s
                      .arg(QString(200, u'名'), TestDatabase::daysAgo(3)));
        f.setIni("[Parlow6]\nLockTimeout=" + timeout + '\n');
        auto op = operatorOn(path, f);
        // A small cache makes the registration meet the reader's lock again and again.
        op->store.connection->Execute(u"PRAGMA cache_size = 10"_s)->Close();
        payAll(op->form, u"2026/01/10"_s);

        // Another program's statement, open half-way through the orders, holds its lock.
        const auto reader = QtSqlConnection::openSqlite(f.db.path());
        const auto reading = reader->Execute(u"SELECT * FROM [CHUMON]"_s);
        QElapsedTimer waited;
        waited.start();
        op->form->cmdUpdate_Click();
        QVERIFY2(waited.elapsed() < belowMs, qPrintable(QString::number(waited.elapsed())));
        QCOMPARE(f.shown.size(), 1);
        QVERIFY(f.shown.constFirst().startsWith(u'!'));
        QCOMPARE(f.receipts(), QStringList());
        QCOMPARE(flagged(op->form), 2000);
        reading->Close();
        op->form->cmdUpdate_Click();
        QCOMPARE(f.shown.size(), 1);
        QCOMPARE(f.receipts().size(), 2000);
    }

    void inexactRowsAreRefusedWhole_data()
    {
        // [ID], [請求額] pairs beside orders 2 and 100, and the line that refuses them; none: all are written.
        columns<Path, QString, QString>("path", "orders", "refusal");
        const QString range = u"2行目 (No. 8): 入金額が範囲外です。"_s;
        const QList<std::tuple<const char *, QString, QString>> cases{
            {"a fraction", u"(1.5, 1000)"_s, u"1行目 (No. 1.5): 注文番号が整数ではないか、範囲外です。"_s},
            {"an empty text", u"('', 1000)"_s, u"1行目 (No. ): 注文番号が整数ではないか、範囲外です。"_s},
            {"listed twice", u"(7, 1000), (7, 1000)"_s, u"2行目 (No. 7): 同じ注文番号が一覧に複数あります。"_s},
            {"an amount past 64 bits", u"(8, 1e20)"_s, range},
            {"past the highest amount", u"(8, 10000000000)"_s, range},
            {"a negative amount", u"(8, -1)"_s, range},
            {"the highest amount", u"(8, 9999999999)"_s, QString()}};
        for (const auto &[name, orders, refusal] : cases) {
            QTest::addRow("sqlite, %s", name) << Path::Sqlite << orders << refusal;
            QTest::addRow("odbc, %s", name) << Path::Odbc << orders << refusal;
        }
    }

    void inexactRowsAreRefusedWhole()
    {
        QFETCH(Path, path);
        QFETCH(QString, orders);
        QFETCH(QString, refusal);
        ScreenFixture f;
        f.db.addPayment(u"銀行振込"_s, 1, 1);
        loosenKey(f.db);
        // Order 1 bills nothing, so is not listed, yet holds the payment values
        // the listed rows hold: an order number 1.5 read as 1 would pay it.
        f.db.exec(u"INSERT INTO [CHUMON] ([ID], [請求額]) VALUES "_s + orders + u", (1, 0), (2, 1000), (100, 1000)"_s);
        f.db.exec(u"UPDATE [CHUMON] SET [入金額] = 0, [入金確認送信] = 0, [支払方法] = '銀行振込', [出荷日] = '%1'"_s
                      .arg(TestDatabase::daysAgo(3)));
        auto op = operatorOn(path, f);
        payAndRegister(op->form, u"2026/01/10"_s);
        QCOMPARE(f.receipts().size(), refusal.isEmpty() ? 3 : 0);
        QCOMPARE(f.shown.size(), refusal.isEmpty() ? 0 : 1);
        if (refusal.isEmpty())
            return;
        QVERIFY(f.shown.constFirst().startsWith(u'!'));
        QVERIFY2(f.shown.constFirst().contains(u'\n' + refusal), qPrintable(f.shown.constFirst()));
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
        loosenKey(db);
        // Neighbours listed alike, so a check that stops at the first order is seen.
        db.exec(u"INSERT INTO [CHUMON] ([ID], [請求額], [入金額], [入金確認送信]) VALUES (6, 1000, %1, 0),"
                " (7, 1000, %1, 0), (8, 1000, %1, 0)"_s.arg(listedAmount));
        QList<ReceiptRegistration::Receipt> receipts;
        for (const qint64 id : {6, 7, 8})
            receipts.append({.id = id, .listed = {{}, listedAmount, u"0"_s}});
        if (!change.isEmpty())
            db.exec(change);

        QCOMPARE(ReceiptRegistration::ChangedElsewhere(*open(path, db), receipts), found);
    }
    void unchangedRegistrationIsTakenBackOnce()
    {
        // 登録 wrote what the order held already: only the history can tell a
        // second take-back from the first.
        ScreenFixture f;
        f.db.addSchemaTable(u"NYUKIN_RIREKI"_s);
        f.db.addPayment(u"銀行振込"_s, 1, 1);
        f.db.addOrder({.id = 1, .paidDate = u"2026/01/10"_s, .paidAmount = 500});
        auto op = operatorOn(Path::Sqlite, f);
        op->form->grid()->SetValue(frmKensaku::ColUpdateFlag, 1, 1);
        op->form->cmdUpdate_Click();
        const QString history = u"SELECT COUNT(*) FROM [NYUKIN_RIREKI]"_s;
        QCOMPARE(f.db.scalar(history).toInt(), 1);
        QVERIFY(!takeBack(*op, 1).refused());
        QCOMPARE(takeBack(*op, 1).takenBack, QList<qint64>{1});
        QCOMPARE(f.db.scalar(history).toInt(), 2);
    }
};

QTEST_MAIN(tst_Operators)
#include "tst_operators.moc"
