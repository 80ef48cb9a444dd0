#include "ServerBench.h"

#include "ListScreen.h"
#include "Timing.h"

#include "core/data/QtSqlConnection.h"
#include "core/data/SqlCatalog.h"
#include "core/receipt/PaymentHistory.h"
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

// Medians of the work and of psql's run of the script, taken in turn so that
// other work on the machine weighs on both alike; in wall time, in the CPU
// time of each client (the server's own left out), which a busy machine
// disturbs much less, and the time the work waited on the server (its wall
// time less its CPU time and its wait for a CPU).
struct Turns
{
    double screen = 0, shell = 0, screenCpu = 0, shellCpu = 0, waited = 0;
};

Turns inTurn(int runs, const std::function<void(int run)> &work, const QString &conninfo,
             const std::function<QByteArray(int run)> &script)
{
    QList<double> screen, shell, screenCpu, shellCpu, waited;
    for (int i = 0; i < runs; ++i) {
        const QByteArray text = script(i);
        const double cpu = cpuMs(RUSAGE_SELF);
        const SchedTimes before = schedMs();
        screen.append(timeMs([&] { work(i); }));
        const SchedTimes after = schedMs();
        screenCpu.append(cpuMs(RUSAGE_SELF) - cpu);
        waited.append(screen.last() - (after.running - before.running) - (after.queued - before.queued));
        const double shellCpuBefore = cpuMs(RUSAGE_CHILDREN);
        shell.append(psqlMs(conninfo, text));
        shellCpu.append(cpuMs(RUSAGE_CHILDREN) - shellCpuBefore);
    }
    return {median(screen), median(shell), median(screenCpu), median(shellCpu), median(waited)};
}

void print(QJsonObject &json, const QString &name, const Turns &times, double target)
{
    const double ratio = times.screen / times.shell;
    std::printf("%-36s %9.1f ms  (psql %.1f ms, ratio %.2f, target <= %.2f; cpu %.1f ms, psql's %.1f ms; "
                "waited on the server %.1f ms)\n",
                qPrintable(name), times.screen, times.shell, ratio, target, times.screenCpu, times.shellCpu,
                times.waited);
    std::fflush(stdout);
    json.insert(name, QJsonObject{{u"value"_s, times.screen}, {u"unit"_s, u"ms"_s}, {u"reference"_s, times.shell},
                                  {u"ratio"_s, ratio}, {u"target"_s, target}, {u"met"_s, ratio <= target},
                                  {u"cpu"_s, times.screenCpu}, {u"referenceCpu"_s, times.shellCpu},
                                  {u"waited"_s, times.waited}});
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

    std::printf("psqlODBC connection: %s\n", qPrintable(options.odbcString));
    // F1 through each driver against psql's run of the same statement.
    int listed = 0;
    for (const bool odbc : {false, true}) {
        frmKensaku *form = openList(odbc ? QtSqlConnection::openOdbc(options.odbcString)
                                         : QtSqlConnection::openPostgreSql(options.conninfo));
        const auto same = [&](int) { return search; };
        const Turns f1 = inTurn(options.runs, [&](int) { form->cmdSearch_Click(); }, options.conninfo, same);
        listed = form->grid()->MaxRows();
        print(json, odbc ? u"F1 search and fill, psqlODBC"_s : u"F1 search and fill, QPSQL"_s, f1, odbc ? 1.6 : 1.25);
        // Where F1's time goes: the same statement only read, every value as
        // text.
        const QString statement = QString::fromUtf8(search.chopped(2));
        const Turns read = inTurn(
            options.runs,
            [&](int) {
                const auto records = gdbConnection->Execute(statement);
                for (; !records->Eof(); records->MoveNext()) {
                    for (int field = 0; field < 12; ++field)
                        records->TextAt(field);
                }
            },
            options.conninfo, same);
        print(json, odbc ? u"search read only, psqlODBC"_s : u"search read only, QPSQL"_s, read, odbc ? 1.6 : 1.25);
        if (options.searchOnly) {
            closeList(form);
            continue;
        }

        // 登録 of 10,000 flagged rows against the same UPDATEs in one
        // transaction; each run writes other values than the one before.
        const int flagged = std::min(10000, listed);
        const QString receipt = SqlCatalog::RegisterReceiptEach(false, SqlDialect::PostgreSql);
        vaSpread *grid = form->grid();
        const auto date = [&](int run) {
            return QDate(2026, 1, 1).addDays(run + (odbc ? 100 : 0)).toString(u"yyyy/MM/dd"_s);
        };
        const auto amount = [&](int run) { return 1 + run + (odbc ? 100 : 0); };
        // psql writes the history's rows too, numbered below zero apart from
        // the screen's; the last run's go first, untimed.
        const bool history = PaymentHistory::Available(*gdbConnection);
        const auto script = [&](int run) -> QByteArray {
            if (history)
                gdbConnection->Execute(u"DELETE FROM \"NYUKIN_RIREKI\" WHERE \"登録番号\" < 0"_s)->Close();
            QByteArray text = "BEGIN;\n";
            QByteArray rows;
            for (int row = 1; row <= flagged; ++row) {
                grid->SetText(frmKensaku::ColPaidDate, row, date(run));
                grid->SetText(frmKensaku::ColPaidAmount, row, amount(run));
                // The same values: the list's next 登録 finds what it wrote.
                const qint64 id = qint64(grid->Number(frmKensaku::ColId, row));
                const auto values = SqlCatalog::RegisterReceiptValues(date(run), amount(run), id);
                text += DbConnection::WithLiterals(receipt, values).toUtf8() + ";\n";
                if (!history)
                    continue;
                const QVariantList paid{date(run), amount(run), 0};
                const auto entry = SqlCatalog::HistoryValues(-1, u"2026/01/15 10:00:00"_s, u"bench"_s, id, paid, paid,
                                                             PaymentHistory::TypedSource(), QString(), QVariant());
                rows += DbConnection::WithLiterals(SqlCatalog::RecordHistoryEach(SqlDialect::PostgreSql), entry)
                            .toUtf8()
                        + ";\n";
            }
            text += rows;
            grid->SetBlockValue(frmKensaku::ColUpdateFlag, 1, frmKensaku::ColUpdateFlag, flagged, 1);
            return text + "COMMIT;\n";
        };
        print(json, odbc ? u"register 10,000 rows, psqlODBC"_s : u"register 10,000 rows, QPSQL"_s,
              inTurn(options.runs, [&](int) { form->cmdUpdate_Click(); }, options.conninfo, script), 1.1);
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
