// Eight operators, each on a thread with a connection of its own (half
// through Qt's driver, half through psqlODBC), list the same unpaid orders
// and register random overlapping parts of them for a bounded time, as the
// receipt list does (ReceiptRegistration in a DbTransaction). Afterwards
// every order's successful writes must form one chain from its first values
// to its final ones: each write read what the previous one wrote. A lost
// update, or a write from stale values, breaks the chain.
#include "ServerDatabase.h"

#include "core/data/DbTransaction.h"
#include "core/data/SqlCatalog.h"
#include "core/receipt/ReceiptRegistration.h"

#include <QDate>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <array>
#include <map>

using namespace Qt::StringLiterals;
using Receipt = ReceiptRegistration::Receipt;

namespace {

struct Write
{
    QString read;    // "date amount mail" as the operator's list had it
    QString written; // the same after its registration
};

struct Operator
{
    std::map<qint64, QList<Write>> writes;
    int registered = 0, refused = 0, failed = 0;
};

QString describe(const ReceiptRegistration::Listed &listed)
{
    return u"%1 %2 %3"_s.arg(listed.paidDate.isEmpty() ? u"-"_s : listed.paidDate, listed.paidAmount,
                             listed.mailSent);
}

// Until the time is up: list the unpaid orders, fill a random part of them
// and register it, noting every write that went through.
void operate(Operator &op, const ServerDatabase &db, bool odbc, qint64 seconds, quint32 seed)
{
    QRandomGenerator random(seed);
    std::shared_ptr<QtSqlConnection> connection;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < seconds * 1000) {
        try {
            if (!connection) {
                connection = odbc ? QtSqlConnection::openOdbc(db.odbcString())
                                  : QtSqlConnection::openPostgreSql(db.conninfo());
                connection->SetLockTimeout(QtSqlConnection::DefaultLockTimeoutMs);
            }
            QList<Receipt> receipts;
            const auto records = connection->Execute(SqlCatalog::OrderSearch({}, {}, false, {}, connection->Dialect()));
            const int id = records->FieldIndex(u"ID"_s);
            for (; !records->Eof(); records->MoveNext()) {
                if (random.bounded(4) != 0) // a quarter, as an operator picks the day's payments
                    continue;
                Receipt receipt;
                receipt.row = int(receipts.size()) + 1;
                receipt.id = records->IntegerAt(id);
                receipt.idText = QString::number(*receipt.id);
                // The search does not list the mail flag: an unsent one is 0.
                receipt.listed = ReceiptRegistration::ListedFrom(records->Fields(u"入金日"_s),
                                                                 records->Fields(u"入金額"_s), 0);
                receipt.amount = receipt.listed.paidAmount.toDouble() + 1 + random.bounded(500);
                receipt.paidDate = QDate(2026, 1, 1).addDays(random.bounded(300)).toString(u"yyyy/MM/dd"_s);
                receipts.append(receipt);
            }
            records->Close();
            QThread::msleep(random.bounded(20)); // time to type, during which others register

            DbTransaction transaction(*connection);
            if (!ReceiptRegistration::ChangedElsewhere(*connection, receipts).isEmpty()) {
                ++op.refused;
                continue;
            }
            ReceiptRegistration::Write(*connection, receipts);
            transaction.Commit();
            ++op.registered;
            for (const Receipt &receipt : std::as_const(receipts))
                op.writes[*receipt.id].append(
                    {describe(receipt.listed), describe(ReceiptRegistration::ListedAfter(receipt))});
        } catch (const DbError &error) {
            ++op.failed;
            qWarning("%s", qPrintable(error.description()));
        }
    }
}

} // namespace

class tst_ManyOperators : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { ServerDatabase::requireCluster(); }

    void writesFormOneChainPerOrder()
    {
        constexpr int Orders = 200;
        const int asked = qEnvironmentVariableIntValue("PARLOW6_OPERATORS_SECONDS");
        const int seconds = asked > 0 ? asked : 60;
        ServerDatabase db;
        db.addOrders(Orders);
        // Never paid in full, so every order stays listed throughout.
        db.exec(u"UPDATE \"CHUMON\" SET \"請求額\" = 1000000000"_s);

        std::array<Operator, 8> operators;
        std::vector<std::unique_ptr<QThread>> threads;
        for (int i = 0; i < int(operators.size()); ++i) {
            threads.emplace_back(QThread::create(operate, std::ref(operators[i]), std::cref(db), i % 2 == 1, seconds,
                                                 quint32(1000 + i)));
            threads.back()->start();
        }
        Operator all;
        for (int i = 0; i < int(operators.size()); ++i) {
            QVERIFY(threads[i]->wait((seconds + 60) * 1000));
            all.registered += operators[i].registered;
            all.refused += operators[i].refused;
            all.failed += operators[i].failed;
            for (const auto &[id, writes] : operators[i].writes)
                all.writes[id] += writes;
        }

        // Follow each order's chain from the values it started with.
        const auto finals = db.admin().Execute(
            u"SELECT \"ID\", COALESCE(to_char(\"入金日\", 'YYYY/MM/DD'), '-') || ' ' || trim_scale(\"入金額\") "
            "|| ' ' || \"入金確認送信\" FROM \"CHUMON\" ORDER BY \"ID\""_s);
        int ordersWritten = 0;
        while (!finals->Eof()) {
            const qint64 id = finals->IntegerAt(0).value();
            QList<Write> left = all.writes[id];
            ordersWritten += !left.isEmpty();
            QString now = u"- 0 0"_s;
            while (!left.isEmpty()) {
                const auto readNow = [&now](const Write &w) { return w.read == now; };
                const auto next = std::find_if(left.begin(), left.end(), readNow);
                QVERIFY2(next != left.end(), qPrintable(u"order %1: no write read %2, yet %3 more were made"_s.arg(id)
                                                            .arg(now).arg(left.size())));
                QVERIFY2(std::count_if(left.begin(), left.end(), readNow) == 1,
                         qPrintable(u"order %1: two writes both read %2"_s.arg(id).arg(now)));
                now = next->written;
                left.erase(next);
            }
            QCOMPARE(now, finals->TextAt(1));
            finals->MoveNext();
        }
        finals->Close();
        QVERIFY(ordersWritten > Orders / 2);
        QVERIFY(all.registered > int(operators.size()));
        QVERIFY2(all.refused > 0, "the operators never met: the test proves nothing");
        QCOMPARE(all.failed, 0);
    }
};

QTEST_GUILESS_MAIN(tst_ManyOperators)
#include "tst_manyoperators.moc"
