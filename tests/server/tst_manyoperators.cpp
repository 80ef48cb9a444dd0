// Eight operators, each on a thread with a connection of its own (half
// through the engine's own driver, half through ODBC), list the same unpaid
// orders and for a bounded time either register random overlapping parts of
// them, as the receipt list does, or take back all or some orders of one of
// the last registrations, as the history windows do. Afterwards the history
// must hold exactly the writes that went through, and each order's history
// rows must form one chain from its first values to its current ones: each
// write read what the previous one wrote. A lost update, a write from stale
// values, a take-back that restores anything but the values before, or an
// order taken back twice from the same registration breaks it.
#include "ServerDatabase.h"
#include "TestDatabase.h"

#include "core/data/SqlCatalog.h"
#include "core/receipt/OrderList.h"
#include "core/receipt/PaymentHistory.h"

#include <QDate>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>
#include <QThread>

#include <array>
#include <functional>
#include <map>
#include <set>

using namespace Qt::StringLiterals;
using Receipt = ReceiptRegistration::Receipt;
using Opener = std::function<std::shared_ptr<DbConnection>(bool odbc)>;

namespace {

struct Operator
{
    QStringList writes;             // "number id before -> after", one per order written
    std::set<qint64> refusedTakeBacks; // registrations whose take-back was refused
    QList<Receipt> unanswered;         // as the receipt list keeps them across its registrations
    int registered = 0, refused = 0, takenBack = 0, failed = 0;
};

QString describe(const ReceiptRegistration::Listed &listed)
{
    return u"%1 %2 %3"_s.arg(listed.paidDate.isEmpty() ? u"-"_s : listed.paidDate, listed.paidAmount,
                             listed.mailSent);
}

QString write(qint64 number, qint64 id, const ReceiptRegistration::Listed &before,
              const ReceiptRegistration::Listed &after)
{
    return u"%1 %2 %3 -> %4"_s.arg(number).arg(id).arg(describe(before), describe(after));
}

// List the unpaid orders, fill a random quarter of them and register it as the receipt list does.
void registerSome(Operator &op, DbConnection &connection, QRandomGenerator &random)
{
    OrderList orders;
    orders.Search(connection, SqlCatalog::OrderSearch({}, {}, false, {}, connection.Dialect()),
                  [](const QString &) { return true; });
    QList<Receipt> receipts;
    for (int row = 0; row < orders.size(); ++row) {
        if (random.bounded(4) != 0)
            continue;
        const OrderList::Row &order = orders.at(row);
        receipts.append({.id = order.id,
                         .amount = order.paidAmount.value_or(0) + 1 + random.bounded(500),
                         .paidDate = QDate(2026, 1, 1).addDays(random.bounded(300)).toString(u"yyyy/MM/dd"_s),
                         .listed = OrderList::ListedOf(order)});
    }
    if (receipts.isEmpty())
        return;
    QThread::msleep(random.bounded(20)); // time to type, during which others register

    const ReceiptRegistration::Outcome outcome =
        ReceiptRegistration::Register(connection, receipts, op.unanswered, u"op"_s, true);
    if (!outcome.changed.isEmpty()) {
        ++op.refused;
        return;
    }
    ++op.registered;
    for (const Receipt &receipt : std::as_const(receipts))
        op.writes.append(write(outcome.number, *receipt.id, receipt.listed, ReceiptRegistration::ListedAfter(receipt)));
}

// Take back all orders, or some, of one of the last three registrations.
void takeBackOne(Operator &op, DbConnection &connection, QRandomGenerator &random)
{
    const qint64 number =
        firstValue(connection, SqlCatalog::HistoryLastNumber(connection.Dialect())).toLongLong() - random.bounded(3);
    const bool whole = random.bounded(2) == 0;
    QList<PaymentHistory::Change> changes;
    for (const PaymentHistory::Line &line : PaymentHistory::Lines(connection, number)) {
        if (line.change.source == PaymentHistory::TakeBackSource())
            return; // a take-back itself
        if (whole || random.bounded(2) == 0)
            changes.append(line.change);
    }
    if (changes.isEmpty())
        return;
    const PaymentHistory::TakeBackResult result =
        PaymentHistory::TakeBack(connection, number, changes, u"op"_s, QDateTime::currentDateTime());
    if (result.refused()) {
        op.refusedTakeBacks.insert(number);
        return;
    }
    ++op.takenBack;
    for (const PaymentHistory::Change &change : std::as_const(changes))
        op.writes.append(write(result.number, change.orderId, change.after, change.before));
}

void operate(Operator &op, const Opener &open, bool odbc, qint64 seconds, quint32 seed)
{
    QRandomGenerator random(seed);
    std::shared_ptr<DbConnection> connection;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < seconds * 1000) {
        try {
            if (!connection)
                connection = open(odbc);
            if (random.bounded(3) == 0)
                takeBackOne(op, *connection, random);
            else
                registerSome(op, *connection, random);
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

    void writesFormOneChainPerOrder_data()
    {
        QTest::addColumn<bool>("server");
        QTest::newRow("postgresql") << true;
        QTest::newRow("sqlite") << false;
    }

    void writesFormOneChainPerOrder()
    {
        QFETCH(bool, server);
        constexpr int Orders = 200;
        const int asked = qEnvironmentVariableIntValue("PARLOW6_OPERATORS_SECONDS");
        const int seconds = asked > 0 ? asked : 30;
        std::unique_ptr<ServerDatabase> pg;
        std::unique_ptr<TestDatabase> lite;
        std::shared_ptr<DbConnection> admin;
        Opener open;
        if (server) {
            pg = std::make_unique<ServerDatabase>();
            pg->addOrders(Orders);
            admin = pg->open(ServerPath::Qpsql);
            open = [&pg](bool odbc) {
                auto connection = pg->open(odbc ? ServerPath::Odbc : ServerPath::Qpsql);
                connection->SetLockTimeout(QtSqlConnection::DefaultLockTimeoutMs);
                return connection;
            };
        } else {
            lite = std::make_unique<TestDatabase>();
            lite->addPayment(u"銀行振込"_s, 1, 1);
            for (int id = 1; id <= Orders; ++id)
                lite->addOrder({.id = id});
            lite->addSchemaTable(u"NYUKIN_RIREKI"_s);
            admin = lite->connection();
            open = [path = lite->path()](bool odbc) -> std::shared_ptr<DbConnection> {
                return odbc ? QtSqlConnection::openOdbc(u"Driver=SQLite3;Database="_s + path)
                            : QtSqlConnection::openSqlite(path);
            };
        }
        // Never paid in full, so every order stays listed throughout.
        admin->Execute(u"UPDATE \"CHUMON\" SET \"請求額\" = 1000000000"_s)->Close();

        std::array<Operator, 8> operators;
        std::vector<std::unique_ptr<QThread>> threads;
        for (int i = 0; i < int(operators.size()); ++i) {
            threads.emplace_back(QThread::create(operate, std::ref(operators[i]), std::cref(open), i % 2 == 1,
                                                 seconds, quint32(1000 + i)));
            threads.back()->start();
        }
        Operator all;
        for (int i = 0; i < int(operators.size()); ++i) {
            QVERIFY(threads[i]->wait((seconds + 60) * 1000));
            all.registered += operators[i].registered;
            all.refused += operators[i].refused;
            all.takenBack += operators[i].takenBack;
            all.failed += operators[i].failed;
            all.writes += operators[i].writes;
            all.refusedTakeBacks.insert(operators[i].refusedTakeBacks.begin(), operators[i].refusedTakeBacks.end());
        }

        // The history is exactly the writes that went through.
        std::map<qint64, QList<PaymentHistory::Line>> orders;
        QStringList history;
        int metTakenBack = 0;
        const QList<PaymentHistory::Registration> registrations = PaymentHistory::List(*admin, {}, {}, 0);
        for (auto it = registrations.crbegin(); it != registrations.crend(); ++it) {
            metTakenBack += it->reverses && all.refusedTakeBacks.count(*it->reverses);
            for (const PaymentHistory::Line &line : PaymentHistory::Lines(*admin, it->number)) {
                history.append(write(it->number, line.change.orderId, line.change.before, line.change.after));
                orders[line.change.orderId].append(line);
            }
        }
        all.writes.sort();
        history.sort();
        QCOMPARE(history, all.writes);

        // Each order's chain runs from the values it started with to those it holds now.
        QList<Receipt> now;
        for (int id = 1; id <= Orders; ++id) {
            ReceiptRegistration::Listed held{{}, u"0"_s, u"0"_s};
            for (const PaymentHistory::Line &line : orders[id]) {
                QVERIFY2(line.change.before == held, qPrintable(u"order %1: a write read %2 where %3 was"_s.arg(id)
                                                                    .arg(describe(line.change.before), describe(held))));
                held = line.change.after;
            }
            now.append({.id = id, .listed = held});
        }
        QCOMPARE(ReceiptRegistration::ChangedElsewhere(*admin, now), QList<qint64>());
        qInfo("%d registered, %d refused; %d taken back, %d met a take-back", all.registered, all.refused,
              all.takenBack, metTakenBack);
        QVERIFY(int(orders.size()) > Orders / 2);
        QVERIFY(all.registered > int(operators.size()));
        QVERIFY(all.takenBack > int(operators.size()));
        QVERIFY2(all.refused > 0, "the operators never met: the test proves nothing");
        QVERIFY2(metTakenBack > 0, "no take-back met another: the test proves nothing");
        QCOMPARE(all.failed, 0);
    }
};

QTEST_GUILESS_MAIN(tst_ManyOperators)
#include "tst_manyoperators.moc"
