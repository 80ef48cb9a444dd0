// One operator of the many-operators test, in a process of its own with a
// connection of its own: until the time is up it lists the unpaid orders,
// fills a random part of them and registers it as the receipt list does
// (ReceiptRegistration in a DbTransaction). Every registration that went
// through is written to the log, one line per order:
//   W <id> <date read> <amount read> <mail read> <date written> <amount written> <mail written>
// and one line per attempt: T <ok|refused|failed>.
#include "core/data/DbTransaction.h"
#include "core/data/QtSqlConnection.h"
#include "core/data/SqlCatalog.h"
#include "core/receipt/ReceiptRegistration.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QSet>
#include <QTextStream>
#include <QThread>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

struct Row
{
    qint64 id;
    ReceiptRegistration::Listed listed;
};

QList<Row> listOrders(DbConnection &connection)
{
    QList<Row> rows;
    const auto records = connection.Execute(SqlCatalog::OrderSearch({}, {}, false, {}, connection.Dialect()));
    const int id = records->FieldIndex(u"ID"_s);
    const int date = records->FieldIndex(u"入金日"_s);
    const int amount = records->FieldIndex(u"入金額"_s);
    while (!records->Eof()) {
        // The search does not list the mail flag: an unsent one is 0.
        rows.append({*records->IntegerAt(id),
                     ReceiptRegistration::ListedFrom(records->ValueAt(date), records->ValueAt(amount), 0)});
        records->MoveNext();
    }
    records->Close();
    return rows;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 6) {
        std::fprintf(stderr, "usage: %s qpsql|odbc CONNECTION SECONDS SEED LOG\n", argv[0]);
        return 2;
    }
    const bool odbc = args.at(1) == u"odbc"_s;
    const qint64 seconds = args.at(3).toLongLong();
    QRandomGenerator random(args.at(4).toUInt());
    QFile logFile(args.at(5));
    if (!logFile.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 2;
    QTextStream log(&logFile);

    std::shared_ptr<QtSqlConnection> connection;
    try {
        connection = odbc ? QtSqlConnection::openOdbc(args.at(2)) : QtSqlConnection::openPostgreSql(args.at(2));
        connection->SetLockTimeout(QtSqlConnection::DefaultLockTimeoutMs);
    } catch (const DbError &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.description()));
        return 1;
    }

    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < seconds * 1000) {
        QList<Row> listed;
        try {
            listed = listOrders(*connection);
        } catch (const DbError &error) {
            std::fprintf(stderr, "%s\n", qPrintable(error.description()));
            log << "T failed\n";
            continue;
        }
        // A random part of the list, as an operator picks the day's payments.
        QList<ReceiptRegistration::Receipt> receipts;
        for (const Row &row : std::as_const(listed)) {
            if (random.bounded(4) != 0)
                continue;
            ReceiptRegistration::Receipt receipt;
            receipt.row = int(receipts.size()) + 1;
            receipt.id = row.id;
            receipt.idText = QString::number(row.id);
            receipt.amount = row.listed.paidAmount.toDouble() + 1 + random.bounded(500);
            receipt.paidDate = QDate(2026, 1, 1).addDays(random.bounded(300)).toString(u"yyyy/MM/dd"_s);
            receipt.listed = row.listed;
            receipts.append(receipt);
        }
        // Time to type, during which others register.
        QThread::msleep(random.bounded(20));

        QString outcome = u"ok"_s;
        QStringList written;
        try {
            DbTransaction transaction(*connection);
            QSet<qint64> registered;
            if (!ReceiptRegistration::ChangedElsewhere(*connection, receipts, &registered).isEmpty()) {
                outcome = u"refused"_s;
            } else {
                ReceiptRegistration::Write(*connection, receipts, registered);
                transaction.Commit();
                for (const auto &receipt : std::as_const(receipts)) {
                    if (registered.contains(*receipt.id))
                        continue;
                    const auto after = ReceiptRegistration::ListedAfter(receipt);
                    written.append(u"W %1 %2 %3 %4 %5 %6 %7"_s.arg(receipt.idText)
                                       .arg(receipt.listed.paidDate.isEmpty() ? u"-"_s : receipt.listed.paidDate,
                                            receipt.listed.paidAmount, receipt.listed.mailSent, after.paidDate,
                                            after.paidAmount, after.mailSent));
                }
            }
        } catch (const DbError &error) {
            outcome = u"failed"_s;
            std::fprintf(stderr, "%s\n", qPrintable(error.description()));
        }
        for (const QString &line : std::as_const(written))
            log << line << '\n';
        log << "T " << outcome << '\n';
        log.flush();
    }
    return 0;
}
