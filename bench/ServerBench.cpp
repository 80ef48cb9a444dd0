#include "ServerBench.h"

#include "ListScreen.h"
#include "Timing.h"

#include "core/data/QtSqlConnection.h"
#include "core/data/SqlCatalog.h"
#include "core/receipt/SharedState.h"
#include "screens/receipt_list/frmKensaku.h"
#include "widgets/grid/vaSpread.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <algorithm>
#include <cstdio>

using namespace Qt::StringLiterals;
using namespace Timing;

namespace {

// psql, rows unaligned.
double psqlMs(const QString &conninfo, const QByteArray &script)
{
    return shellMs(u"psql"_s, {u"-X"_s, u"-q"_s, u"-A"_s, u"-t"_s, u"-v"_s, u"ON_ERROR_STOP=1"_s, u"-d"_s, conninfo},
                   script);
}

// The list on its own connection, which goes again with the list.
frmKensaku *openList(std::shared_ptr<DbConnection> connection)
{
    ListScreen::AnswerMessages();
    gdbConnection = std::move(connection);
    return ListScreen::Open();
}

void closeList(frmKensaku *form)
{
    ListScreen::Close(form);
    gdbConnection.reset();
}

void print(QJsonObject &json, const QString &name, double value, double reference, double target)
{
    const double ratio = value / reference;
    std::printf("%-36s %9.1f ms  (psql %.1f ms, ratio %.2f, target <= %.2f)\n", qPrintable(name), value, reference,
                ratio, target);
    std::fflush(stdout);
    json.insert(name, QJsonObject{{u"value"_s, value}, {u"unit"_s, u"ms"_s}, {u"reference"_s, reference},
                                  {u"ratio"_s, ratio}, {u"target"_s, target}, {u"met"_s, ratio <= target}});
}

} // namespace

int MeasureOdbcMemory(const QString &odbcString)
{
    frmKensaku *form = openList(QtSqlConnection::openOdbc(odbcString));
    form->cmdSearch_Click();
    std::printf("%d %lld\n", form->grid()->MaxRows(), statusKb("VmHWM:"));
    closeList(form);
    return 0;
}

int RunServerBench(const ServerBenchOptions &options)
{
    gintUserLevel = 2;
    QJsonObject json;
    const QByteArray search =
        SqlCatalog::OrderSearch({}, {}, false, {}, SqlDialect::PostgreSql).toUtf8() + ";\n";

    // F1 through each driver, taken in turn with psql's run of the same
    // statement, so that other work on the machine weighs on both alike.
    int listed = 0;
    for (const bool odbc : {false, true}) {
        frmKensaku *form = openList(odbc ? QtSqlConnection::openOdbc(options.odbcString)
                                         : QtSqlConnection::openPostgreSql(options.conninfo));
        QList<double> screen;
        QList<double> shell;
        for (int i = 0; i < options.runs; ++i) {
            screen.append(timeMs([&] { form->cmdSearch_Click(); }));
            shell.append(psqlMs(options.conninfo, search));
        }
        listed = form->grid()->MaxRows();
        print(json, odbc ? u"F1 search and fill, psqlODBC"_s : u"F1 search and fill, QPSQL"_s, median(screen),
              median(shell), odbc ? 1.6 : 1.25);
        // Where F1's time goes: the same statement only read, every value as
        // text, again in turn with psql.
        const QString statement = QString::fromUtf8(search.chopped(2));
        QList<double> read;
        QList<double> readShell;
        for (int i = 0; i < options.runs; ++i) {
            read.append(timeMs([&] {
                const auto records = gdbConnection->Execute(statement);
                for (; !records->Eof(); records->MoveNext()) {
                    for (int field = 0; field < 12; ++field)
                        records->TextAt(field);
                }
            }));
            readShell.append(psqlMs(options.conninfo, search));
        }
        print(json, odbc ? u"search read only, psqlODBC"_s : u"search read only, QPSQL"_s, median(read),
              median(readShell), odbc ? 1.6 : 1.25);
        if (options.searchOnly) {
            closeList(form);
            continue;
        }

        // 登録 of 10,000 flagged rows against the same UPDATEs in one
        // transaction; each run writes other values than the one before.
        const int flagged = std::min(10000, listed);
        QList<double> screenWrite;
        QList<double> shellWrite;
        for (int i = 0; i < options.runs; ++i) {
            const QString date = QDate(2026, 1, 1).addDays(i + (odbc ? 100 : 0)).toString(u"yyyy/MM/dd"_s);
            const int amount = 1 + i + (odbc ? 100 : 0);
            QByteArray script = "BEGIN;\n";
            const QString receipt = SqlCatalog::RegisterReceiptEach(false, SqlDialect::PostgreSql);
            vaSpread *grid = form->grid();
            for (int row = 1; row <= flagged; ++row) {
                grid->SetText(frmKensaku::ColPaidDate, row, date);
                grid->SetText(frmKensaku::ColPaidAmount, row, amount);
                // The same values: the list's next 登録 finds what it wrote.
                const auto values =
                    SqlCatalog::RegisterReceiptValues(date, amount, qint64(grid->Number(frmKensaku::ColId, row)));
                script += DbConnection::WithLiterals(receipt, values).toUtf8() + ";\n";
            }
            script += "COMMIT;\n";
            grid->SetBlockValue(frmKensaku::ColUpdateFlag, 1, frmKensaku::ColUpdateFlag, flagged, 1);
            screenWrite.append(timeMs([&] { form->cmdUpdate_Click(); }));
            shellWrite.append(psqlMs(options.conninfo, script));
        }
        print(json, odbc ? u"register 10,000 rows, psqlODBC"_s : u"register 10,000 rows, QPSQL"_s,
              median(screenWrite), median(shellWrite), 1.1);
        closeList(form);
    }
    std::printf("listed rows: %d\n", listed);
    if (options.searchOnly)
        return 0;

    // The memory of a process that opened the list over ODBC and searched.
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {u"--odbc-memory"_s, options.odbcString});
    child.waitForFinished(-1);
    const QList<QByteArray> memory = child.readAllStandardOutput().trimmed().split(' ');
    const double peakMb = memory.value(1).toDouble() / 1024.0;
    std::printf("%-36s %9.1f MB  (%s rows listed, target <= 150 MB)\n", "peak resident, psqlODBC", peakMb,
                memory.value(0).constData());
    json.insert(u"peak resident, psqlODBC"_s, QJsonObject{{u"value"_s, peakMb}, {u"unit"_s, u"MB"_s},
                                                          {u"target"_s, 150}, {u"met"_s, peakMb <= 150}});
    json.insert(u"listed"_s, listed);
    json.insert(u"runs"_s, options.runs);
    QFile out(options.out);
    if (out.open(QIODevice::WriteOnly))
        out.write(QJsonDocument(json).toJson());
    return 0;
}
