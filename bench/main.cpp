// Measures the hot paths of the receipt list against the database itself:
// the search against the sqlite3 shell running the same statement, with and
// without the search's covering index, the sort, a payment statement import,
// the registration against the shell running the same UPDATEs, a layout
// pass, Show()'s return, the resident memory with the list filled, and the
// search at several database sizes.
#include "core/receipt/SharedState.h"
#include "component/clsParlow6dl.h"
#include "core/data/QtSqlConnection.h"
#include "core/data/SqlCatalog.h"
#include "core/data/SqlSchema.h"
#include "MatchRate.h"
#include "import/ListedOrder.h"
#include "import/PaymentImport.h"
#include "import/PaymentMatcher.h"
#include "import/StatementFile.h"
#include "widgets/grid/vaSpread.h"
#include "demo/DemoDatabase.h"
#include "widgets/layout/modAnchor.h"
#include "core/receipt/PaymentHistory.h"
#include "screens/receipt_list/ReceiptTotals.h"
#include "screens/receipt_list/frmKensaku.h"
#include "ListScreen.h"
#include "ServerBench.h"
#include "Statements.h"
#include "Timing.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSysInfo>
#include <QTemporaryFile>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>

#include <sys/resource.h>

using namespace Qt::StringLiterals;
using namespace Timing;

namespace {

// The sqlite3 shell on the file.
double shellMs(const QString &database, const QByteArray &script)
{
    return Timing::shellMs(u"sqlite3"_s, {database}, script);
}

struct Figures
{
    QJsonObject json;

    void add(const QString &name, double value, const QString &unit, double target, double reference = -1,
             const QString &against = u"sqlite3 shell"_s)
    {
        QJsonObject figure{{u"value"_s, value}, {u"unit"_s, unit}, {u"target"_s, target}};
        QString line = u"%1: %2 %3"_s.arg(name, -28).arg(value, 0, 'f', 2).arg(unit);
        if (reference > 0) {
            const double ratio = value / reference;
            figure.insert(u"reference"_s, reference);
            figure.insert(u"ratio"_s, ratio);
            line += u"  (%1 %2 %3, ratio %4, target <= %5)"_s.arg(against).arg(reference, 0, 'f', 2)
                        .arg(unit)
                        .arg(ratio, 0, 'f', 2)
                        .arg(target);
            figure.insert(u"met"_s, ratio <= target);
        } else {
            line += u"  (target < %1 %2)"_s.arg(target).arg(unit);
            figure.insert(u"met"_s, value < target);
        }
        json.insert(name, figure);
        std::printf("%s\n", qPrintable(line));
        std::fflush(stdout);
    }
};

int generate(const QString &path, int orders)
{
    auto connection = QtSqlConnection::openSqlite(path);
    DemoOptions options;
    options.orders = orders;
    // About a tenth listed: the unpaid ones plus those short by a bank fee.
    options.unpaidShare = 0.053;
    CreateDemoDatabase(*connection, options);
    return 0;
}

// Writes the database in a child process, so the peak memory measured here
// is the screen's alone.
bool ensureDatabase(const QString &path, int orders)
{
    if (QFileInfo::exists(path))
        return true;
    std::printf("generating %d orders into %s ...\n", orders, qPrintable(path));
    std::fflush(stdout);
    return QProcess::execute(QCoreApplication::applicationFilePath(),
                             {u"--generate-only"_s, u"--db"_s, path, u"--orders"_s, QString::number(orders)})
           == 0;
}

// The search's covering index as the schema script creates it, and its name.
QString searchIndexStatement()
{
    for (const QString &statement : SqlSchema::Statements(SqlSchema::SqliteScript())) {
        if (statement.startsWith(u"CREATE INDEX"_s) && statement.contains(u"WHERE"_s))
            return statement;
    }
    std::fprintf(stderr, "no partial index in the schema script\n");
    std::exit(1);
}

QString searchIndexName()
{
    const QRegularExpressionMatch name =
        QRegularExpression(u"CREATE INDEX (\\[[^\\]]+\\])"_s).match(searchIndexStatement());
    return name.captured(1);
}

void setSearchIndex(DbConnection &connection, bool present)
{
    connection.Execute(u"DROP INDEX IF EXISTS "_s + searchIndexName())->Close();
    if (present)
        connection.Execute(searchIndexStatement())->Close();
}

// Medians of the screen's F1 and the shell's run of the same statement, in
// wall time and in CPU time: on a machine shared with other work the wall
// times wait on the scheduler, the CPU times much less.
struct SearchTimes
{
    double screen = 0, shell = 0, screenCpu = 0, shellCpu = 0;
};

// F1 and the shell taken in turn, so that whatever else the machine does
// weighs on both alike.
SearchTimes searchAgainstShell(int runs, frmKensaku *form, const QString &path)
{
    const QByteArray search = SqlCatalog::OrderSearch(QString(), QString(), false, QString(), SqlDialect::Sqlite).toUtf8() + ";\n";
    QList<double> screen, shell, screenCpu, shellCpu;
    for (int i = 0; i < runs; ++i) {
        const double cpu = cpuMs(RUSAGE_SELF);
        screen.append(timeMs([&] { form->cmdSearch_Click(); }));
        screenCpu.append(cpuMs(RUSAGE_SELF) - cpu);
        const double shellCpuBefore = cpuMs(RUSAGE_CHILDREN);
        shell.append(shellMs(path, search));
        shellCpu.append(cpuMs(RUSAGE_CHILDREN) - shellCpuBefore);
    }
    return {median(screen), median(shell), median(screenCpu), median(shellCpu)};
}

struct ScaleRow
{
    int orders = 0;
    int listed = 0;
    double plain = 0; // F1 without the search index
    double plainShell = 0;
    double indexed = 0; // F1 with it
    double indexedShell = 0;
};

// F1 and the shell on one database file, without and with the index.
ScaleRow measureScale(const QString &path, int orders, int runs)
{
    ScaleRow row;
    row.orders = orders;
    gdbConnection = QtSqlConnection::openSqlite(path);
    frmKensaku *form = ListScreen::Open();
    for (const bool indexed : {false, true}) {
        setSearchIndex(*gdbConnection, indexed);
        const SearchTimes times = searchAgainstShell(runs, form, path);
        (indexed ? row.indexed : row.plain) = times.screen;
        (indexed ? row.indexedShell : row.plainShell) = times.shell;
    }
    row.listed = form->grid()->MaxRows();
    ListScreen::Close(form);
    gdbConnection.reset();
    return row;
}

// The largest file the import reads, against as many listed orders: its
// memory as a multiple of the file, and how long the operator waits.
bool addLargestStatement(Figures &figures, int listed)
{
    const LargestStatement largest = MeasureLargestStatement(listed);
    if (!largest.ok)
        return false;
    std::printf("largest statement: %.1f MB, %d lines, %d listed orders\n", largest.fileBytes / 1048576.0,
                largest.lines, listed);
    figures.add(u"largest statement, read and match"_s, largest.importMs, u"ms"_s, 10000);
    figures.add(u"largest statement, preview"_s, largest.previewMs, u"ms"_s, 5000);
    // "Within a few times the file."
    figures.add(u"largest statement, peak memory per file byte"_s, largest.peakKb * 1024.0 / largest.fileBytes,
                u"x"_s, 4);
    figures.add(u"largest statement previewed, peak memory per file byte"_s,
                largest.previewPeakKb * 1024.0 / largest.fileBytes, u"x"_s, 4);
    return true;
}

// 取込: a 10,000-line statement read, decoded and matched against every
// listed row, the names' reading index included; the largest statement; and
// what the keys tick of a statement as payers write it, and never wrongly.
bool addImportFigures(Figures &figures, frmKensaku *form, int runs)
{
    QTemporaryFile statement;
    if (!statement.open())
        return false;
    WriteStatement(statement, form->ListedOrders(), 10000);
    int importedLines = 0;
    figures.add(u"import 10,000 lines"_s, medianOf(runs, [&] {
                    const PaymentImport import(StatementFile::readFile(statement.fileName(), QDate::currentDate()),
                                               form->ListedOrders());
                    importedLines = import.lineCount();
                }),
                u"ms"_s, 1000);
    std::printf("imported lines: %d\n", importedLines);
    addLargestStatement(figures, int(form->ListedOrders().size()));
    // The statement a new user tried, grown to 2,000 lines: as many as the
    // hand-written names give customers of their own.
    const MatchRate rate = MeasureMatchRate(form->ListedOrders(), 2000);
    figures.json.insert(u"import match rate"_s, rate.rateFigure());
    figures.json.insert(u"import lines ticked wrongly"_s, rate.wrongFigure());
    figures.json.insert(u"import unidentifiable lines ticked"_s, rate.unidentifiableFigure());
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(u"Benchmark of the receipt list against the sqlite3 shell."_s);
    parser.addHelpOption();
    const QCommandLineOption dbOption(u"db"_s, u"Database file (generated when missing)."_s, u"path"_s,
                                      u"bench-orders.sqlite"_s);
    const QCommandLineOption ordersOption(
        u"orders"_s,
        u"Orders in the databases, comma-separated: every figure is measured on the first, the search "
        u"alone on each (the scale table). Others than the first live beside --db as bench-orders-N.sqlite."_s,
        u"n[,n...]"_s, u"1000000,100000,3000000"_s);
    const QCommandLineOption runsOption(u"runs"_s, u"Runs per figure (median)."_s, u"n"_s, u"5"_s);
    const QCommandLineOption outOption(u"out"_s, u"Machine-readable figures."_s, u"file.json"_s,
                                       u"bench-results.json"_s);
    const QCommandLineOption generateOption(u"generate-only"_s, u"Only write the database."_s);
    const QCommandLineOption pgOption(u"pg"_s, u"Measure on this PostgreSQL database (libpq string) instead."_s,
                                      u"conninfo"_s);
    const QCommandLineOption odbcOption(u"odbc"_s, u"With --pg: the same database through psqlODBC."_s,
                                        u"string"_s);
    const QCommandLineOption odbcMemoryOption(u"odbc-memory"_s, u"Only the peak memory listed over ODBC."_s,
                                              u"string"_s);
    const QCommandLineOption largestOption(u"largest-statement"_s,
                                           u"Only read and match the largest statement an operator may choose."_s);
    const QCommandLineOption largestChildOption(u"largest-statement-child"_s,
                                                u"(internal) Read and match this statement file."_s, u"path"_s);
    const QCommandLineOption importOption(u"import-only"_s,
                                          u"Only the import's figures, on the orders the search lists."_s);
    const QCommandLineOption listedOption(u"listed"_s, u"Listed orders the statement is matched against."_s,
                                          u"n"_s, u"80000"_s);
    const QCommandLineOption searchOption(u"search-only"_s, u"Only F1's figures, for profiling the search."_s);
    parser.addOptions({dbOption, ordersOption, runsOption, outOption, generateOption, pgOption, odbcOption,
                       odbcMemoryOption, largestOption, largestChildOption, listedOption, importOption,
                       searchOption});
    parser.process(app);
    if (parser.isSet(largestChildOption))
        return LargestStatementChild(parser.value(largestChildOption), parser.value(listedOption).toInt());
    if (parser.isSet(largestOption)) {
        Figures figures;
        return addLargestStatement(figures, parser.value(listedOption).toInt()) ? 0 : 1;
    }
    if (parser.isSet(odbcMemoryOption))
        return MeasureOdbcMemory(parser.value(odbcMemoryOption));
    if (parser.isSet(pgOption))
        return RunServerBench({parser.value(pgOption), parser.value(odbcOption),
                               std::max(1, parser.value(runsOption).toInt()), parser.value(outOption),
                               parser.isSet(searchOption)});

    const QString path = QFileInfo(parser.value(dbOption)).absoluteFilePath();
    QList<int> sizes;
    for (const QString &size : parser.value(ordersOption).split(u',', Qt::SkipEmptyParts))
        sizes.append(size.trimmed().toInt());
    if (sizes.isEmpty() || std::any_of(sizes.cbegin(), sizes.cend(), [](int n) { return n <= 0; })) {
        std::fprintf(stderr, "--orders wants positive numbers\n");
        return 2;
    }
    const int orders = sizes.first();
    const int runs = std::max(1, parser.value(runsOption).toInt());
    if (parser.isSet(generateOption))
        return generate(path, orders);
    const auto pathFor = [&](int size) {
        return size == orders ? path
                              : QFileInfo(path).absoluteDir().filePath(u"bench-orders-%1.sqlite"_s.arg(size));
    };
    for (const int size : std::as_const(sizes)) {
        if (!ensureDatabase(pathFor(size), size))
            return 1;
    }

    ListScreen::AnswerMessages();
    gdbConnection = QtSqlConnection::openSqlite(path);
    gintUserLevel = 2;
    Figures figures;

    frmKensaku *form = ListScreen::Open();
    if (parser.isSet(importOption)) {
        form->cmdSearch_Click();
        std::printf("listed rows: %d of %d orders\n", form->grid()->MaxRows(), orders);
        const bool done = addImportFigures(figures, form, runs);
        ListScreen::Close(form);
        gdbConnection.reset();
        return done ? 0 : 1;
    }

    // F1: search, fill, colours and sort through the real screen, first on
    // the table alone, then with the search's covering index.
    const QString search = SqlCatalog::OrderSearch(QString(), QString(), false, QString(), SqlDialect::Sqlite);
    const bool searchOnly = parser.isSet(searchOption);
    setSearchIndex(*gdbConnection, false);
    const SearchTimes plain = searchAgainstShell(runs, form, path);
    const double f1 = plain.screen, f1Shell = plain.shell;
    const int listed = form->grid()->MaxRows();
    std::printf("listed rows: %d of %d orders\n", listed, orders);
    figures.add(u"F1 search and fill"_s, f1, u"ms"_s, 1.1, f1Shell);
    figures.add(u"F1 search and fill, CPU time"_s, plain.screenCpu, u"ms"_s, 1.1, plain.shellCpu);
    // Where F1's time goes: the same statement only read, every value as
    // text.
    const double readOnly = medianOf(runs, [&] {
        const auto records = gdbConnection->Execute(search);
        while (!records->Eof()) {
            for (int field = 0; field < 12; ++field)
                records->TextAt(field);
            records->MoveNext();
        }
        records->Close();
    });
    figures.add(u"order search read only"_s, readOnly, u"ms"_s, 1.25, f1Shell);

    setSearchIndex(*gdbConnection, true);
    const SearchTimes indexed = searchAgainstShell(runs, form, path);
    const double f1Indexed = indexed.screen, f1IndexedShell = indexed.shell;
    figures.add(u"F1 search and fill, covering index"_s, f1Indexed, u"ms"_s, 1.1, f1IndexedShell);
    figures.add(u"F1 search and fill, covering index, CPU time"_s, indexed.screenCpu, u"ms"_s, 1.1,
                indexed.shellCpu);
    // Both searches have run: the list's peak is behind us.
    const qint64 peakKb = statusKb("VmHWM:");
    const qint64 privateKb = statusKb("RssAnon:");
    if (searchOnly) {
        figures.add(u"peak resident incl. file map"_s, peakKb / 1024.0, u"MB"_s, 150);
        ListScreen::Close(form);
        gdbConnection.reset();
        return 0;
    }

    int coloured = 0;
    for (int row = 1; row <= listed; ++row)
        coloured += form->grid()->BackColor(row) != QColor(Qt::white) ? 1 : 0;
    std::printf("coloured rows: %d\n", coloured);
    // A header click on a date, a Japanese text and (last, as before) a
    // number column.
    const auto sortMs = [&](int column) {
        return medianOf(runs, [&] { Q_EMIT form->grid()->Click(column, 0); });
    };
    figures.add(u"header-click sort, 出荷日"_s, sortMs(frmKensaku::ColShipDate), u"ms"_s, 50);
    figures.add(u"header-click sort, 氏名"_s, sortMs(frmKensaku::ColName), u"ms"_s, 50);
    figures.add(u"header-click sort"_s, sortMs(frmKensaku::ColBilled), u"ms"_s, 50);

    addImportFigures(figures, form, runs);

    // The status line's count of what 登録 will write, over every listed row:
    // it runs once per event-loop turn in which a cell changed.
    auto *totals = form->findChild<ReceiptTotals *>();
    figures.add(u"status line recount"_s, medianOf(std::max(runs, 101), [&] { totals->Recount(); }), u"ms"_s, 16);

    // 登録 of 10,000 flagged rows, against the same statements in the shell:
    // the UPDATEs, and the history's rows where the database keeps it.
    const int flagged = std::min(10000, listed);
    const bool history = PaymentHistory::Available(*gdbConnection);
    QByteArray updates;
    QList<qint64> flaggedIds;
    for (int row = 1; row <= flagged; ++row) {
        vaSpread *grid = form->grid();
        grid->SetText(frmKensaku::ColPaidDate, row, u"2026/01/15"_s);
        grid->SetText(frmKensaku::ColPaidAmount, row, 1);
        flaggedIds.append(static_cast<qint64>(grid->Number(frmKensaku::ColId, row)));
        const auto values = SqlCatalog::RegisterReceiptValues(u"2026/01/15"_s, 1, flaggedIds.last());
        updates += DbConnection::WithLiterals(SqlCatalog::RegisterReceiptEach(false, SqlDialect::Sqlite), values).toUtf8() + ";\n";
    }
    // The shell's registrations number below zero, apart from the screen's.
    const auto script = [&](int run) -> QByteArray {
        QByteArray text = "BEGIN;\n";
        text += updates;
        for (const qint64 id : std::as_const(flaggedIds)) {
            if (!history)
                break;
            const auto values = SqlCatalog::HistoryValues(-run - 1, u"2026/01/15 10:00:00"_s, u"bench"_s, id,
                                                          {u"2026/01/15"_s, 1, 0}, {u"2026/01/15"_s, 1, 0},
                                                          PaymentHistory::TypedSource(), QString(), QVariant());
            text += DbConnection::WithLiterals(SqlCatalog::RecordHistoryEach(SqlDialect::Sqlite), values).toUtf8() + ";\n";
        }
        return text + "COMMIT;\n";
    };
    std::printf("history written: %s\n", history ? "yes" : "no");
    const auto registerFigure = [&](const QString &name, double target) {
        QList<double> registerTimes;
        QList<double> shellTimes;
        for (int i = 0; i < runs; ++i) {
            form->grid()->SetBlockValue(frmKensaku::ColUpdateFlag, 1, frmKensaku::ColUpdateFlag, flagged, 1);
            registerTimes.append(timeMs([&] { form->cmdUpdate_Click(); }));
            if (history) // the shell's last rows go, untimed
                gdbConnection->Execute(u"DELETE FROM [NYUKIN_RIREKI] WHERE [登録番号] < 0"_s)->Close();
            shellTimes.append(shellMs(path, script(0)));
        }
        figures.add(name, median(registerTimes), u"ms"_s, target, median(shellTimes));
    };
    std::printf("registered rows: %d\n", flagged);
    // On the database as the schema makes it, then as one made before the
    // search's index: the index is written too when a payment changes.
    registerFigure(u"register 10,000 rows"_s, 1.1);
    setSearchIndex(*gdbConnection, false);
    registerFigure(u"register 10,000 rows, without the search index"_s, 1.1);

    // One layout pass of the main screen at a new size.
    AnchorTable table;
    CaptureAnchors(form, table);
    form->resize(form->width() + 200, form->height() + 120);
    QCoreApplication::processEvents();
    figures.add(u"layout pass"_s, medianOf(std::max(runs, 101), [&] {
        ApplyAnchors(form, table, form->settings().setting(SettingSlot::WindowSizeIndex, QString()));
    }), u"ms"_s, 1);

    // Nothing is memory-mapped any more: the peak is all the process held.
    // The figure keeps its name for the JSON's readers.
    figures.add(u"resident memory, private"_s, privateKb / 1024.0, u"MB"_s, 150);
    figures.add(u"peak resident incl. file map"_s, peakKb / 1024.0, u"MB"_s, 150);
    ListScreen::Close(form);

    // Show(): from the close to the return to the host.
    // Destroying a public object releases the shared connection: keep our own.
    const std::shared_ptr<DbConnection> connection = gdbConnection;
    QList<double> showReturn;
    for (int i = 0; i < runs; ++i) {
        clsParlow6dl parlow;
        parlow.setDbConnection(connection);
        QElapsedTimer sinceClose;
        QTimer::singleShot(50, qApp, [&] {
            for (QWidget *window : QApplication::topLevelWidgets()) {
                if (window->objectName() == u"frmKensaku"_s && window->isVisible()) {
                    sinceClose.start();
                    window->close();
                }
            }
        });
        parlow.Show();
        showReturn.append(sinceClose.nsecsElapsed() / 1e6);
    }
    figures.add(u"Show return after close"_s, median(showReturn), u"ms"_s, 10);

    // The search at every size, without and with the covering index: with
    // it, the cost follows the listed rows rather than the table.
    QList<ScaleRow> scale;
    for (const int size : std::as_const(sizes)) {
        if (size == orders)
            scale.append({orders, listed, f1, f1Shell, f1Indexed, f1IndexedShell});
        else
            scale.append(measureScale(pathFor(size), size, runs));
    }
    std::sort(scale.begin(), scale.end(), [](const ScaleRow &a, const ScaleRow &b) { return a.orders < b.orders; });
    std::printf("\nF1 by database size (ms, and its ratio to the sqlite3 shell)\n");
    std::printf("%10s %8s %22s %22s\n", "orders", "listed", "no index", "covering index");
    QJsonArray scaleJson;
    for (const ScaleRow &row : std::as_const(scale)) {
        std::printf("%10d %8d %10.1f (%5.2f x) %10.1f (%5.2f x)\n", row.orders, row.listed, row.plain,
                    row.plain / row.plainShell, row.indexed, row.indexed / row.indexedShell);
        scaleJson.append(QJsonObject{{u"orders"_s, row.orders},
                                     {u"listed"_s, row.listed},
                                     {u"F1 ms"_s, row.plain},
                                     {u"shell ms"_s, row.plainShell},
                                     {u"F1 ms, covering index"_s, row.indexed},
                                     {u"shell ms, covering index"_s, row.indexedShell}});
    }
    std::fflush(stdout);
    figures.json.insert(u"scale"_s, scaleJson);

    figures.json.insert(u"machine"_s, QJsonObject{{u"cpu_cores"_s, QThread::idealThreadCount()},
                                                   {u"kernel"_s, QSysInfo::kernelVersion()},
                                                   {u"os"_s, QSysInfo::prettyProductName()}});
    figures.json.insert(u"orders"_s, orders);
    figures.json.insert(u"listed"_s, listed);
    figures.json.insert(u"runs"_s, runs);
    QFile out(parser.value(outOption));
    if (out.open(QIODevice::WriteOnly))
        out.write(QJsonDocument(figures.json).toJson());
    std::printf("figures written to %s\n", qPrintable(QFileInfo(out).absoluteFilePath()));
    return 0;
}
