// Measures the hot paths of the receipt list against the database itself:
// the search against the sqlite3 shell running the same statement, the sort,
// a payment statement import, the registration against the shell running the
// same UPDATEs, a layout pass, Show()'s return, and the resident memory with
// the list filled.
#include "widgets/MessageService.h"
#include "core/receipt/SharedState.h"
#include "component/clsParlow6dl.h"
#include "core/data/QtSqlConnection.h"
#include "core/data/SqlCatalog.h"
#include "core/import/ListedOrder.h"
#include "core/import/PaymentImport.h"
#include "core/import/PaymentMatcher.h"
#include "core/import/StatementFile.h"
#include "widgets/grid/vaSpread.h"
#include "demo/DemoDatabase.h"
#include "widgets/layout/modAnchor.h"
#include "screens/receipt_list/frmKensaku.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QProcess>
#include <QStringEncoder>
#include <QSysInfo>
#include <QTemporaryFile>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n % 2 ? values.at(n / 2) : (values.at(n / 2 - 1) + values.at(n / 2)) / 2;
}

double timeMs(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

double medianOf(int runs, const std::function<void()> &work)
{
    QList<double> times;
    for (int i = 0; i < runs; ++i)
        times.append(timeMs(work));
    return median(times);
}

// Runs the sqlite3 shell on the file with the script on its standard input,
// output discarded; returns the wall time in ms.
double shellMs(const QString &database, const QByteArray &script)
{
    QProcess shell;
    shell.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    shell.start(u"sqlite3"_s, {database});
    shell.write(script);
    shell.closeWriteChannel();
    shell.waitForFinished(-1);
    const double ms = timer.nsecsElapsed() / 1e6;
    if (shell.exitCode() != 0) {
        std::fprintf(stderr, "sqlite3 failed: %s\n", shell.readAllStandardError().constData());
        std::exit(1);
    }
    return ms;
}

qint64 statusKb(const char *field)
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

struct Figures
{
    QJsonObject json;

    void add(const QString &name, double value, const QString &unit, double target, double reference = -1)
    {
        QJsonObject figure{{u"value"_s, value}, {u"unit"_s, unit}, {u"target"_s, target}};
        QString line = u"%1: %2 %3"_s.arg(name, -28).arg(value, 0, 'f', 2).arg(unit);
        if (reference > 0) {
            const double ratio = value / reference;
            figure.insert(u"reference"_s, reference);
            figure.insert(u"ratio"_s, ratio);
            line += u"  (sqlite3 shell %1 %2, ratio %3, target <= %4)"_s.arg(reference, 0, 'f', 2)
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

// A bank's Shift_JIS CSV of deposits for the listed orders: a quarter each
// by order number and amount, by amount alone, naming unknown orders, and by
// order number with another amount. Shift_JIS is the slower way in: UTF-8 is
// tried first.
void writeStatement(QFileDevice &file, const QList<ListedOrder> &orders, int lines)
{
    QString text = u"取引日,入金額,振込依頼人名,摘要,お客様番号\r\n"_s;
    for (int k = 0; k < lines && !orders.isEmpty(); ++k) {
        const ListedOrder &order = orders.at(int((qint64(k) * 7919) % orders.size()));
        const qint64 open = std::max<qint64>(PaymentMatcher::openAmount(order), 1);
        const QString id = QString::number(order.id);
        switch (k % 4) {
        case 0: text += u"2026/01/15,%1,%2 ﾌﾘｺﾐ,振込,\r\n"_s.arg(open).arg(id); break;
        case 1: text += u"2026/01/15,%1,ﾔﾏﾀﾞ ﾀﾛｳ,振込,\r\n"_s.arg(open); break;
        case 2: text += u"2026/01/15,5000,ｻﾄｳ ﾊﾅｺ,振込,9%1\r\n"_s.arg(id); break;
        default: text += u"2026/01/15,%1,%2 ﾌﾘｺﾐ,振込,\r\n"_s.arg(open + 1000).arg(id); break;
        }
    }
    QStringEncoder cp932("windows-31j");
    file.write(cp932.encode(text));
    file.flush();
}

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

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(u"Benchmark of the receipt list against the sqlite3 shell."_s);
    parser.addHelpOption();
    const QCommandLineOption dbOption(u"db"_s, u"Database file (generated when missing)."_s, u"path"_s,
                                      u"bench-orders.sqlite"_s);
    const QCommandLineOption ordersOption(u"orders"_s, u"Orders in a generated database."_s, u"n"_s,
                                          u"1000000"_s);
    const QCommandLineOption runsOption(u"runs"_s, u"Runs per figure (median)."_s, u"n"_s, u"5"_s);
    const QCommandLineOption outOption(u"out"_s, u"Machine-readable figures."_s, u"file.json"_s,
                                       u"bench-results.json"_s);
    const QCommandLineOption generateOption(u"generate-only"_s, u"Only write the database."_s);
    parser.addOptions({dbOption, ordersOption, runsOption, outOption, generateOption});
    parser.process(app);

    const QString path = QFileInfo(parser.value(dbOption)).absoluteFilePath();
    const int orders = parser.value(ordersOption).toInt();
    const int runs = std::max(1, parser.value(runsOption).toInt());
    if (parser.isSet(generateOption))
        return generate(path, orders);

    if (!QFileInfo::exists(path)) {
        // In a child process, so the peak memory below is the screen's alone.
        std::printf("generating %d orders into %s ...\n", orders, qPrintable(path));
        std::fflush(stdout);
        const int rc = QProcess::execute(QCoreApplication::applicationFilePath(),
                                         {u"--generate-only"_s, u"--db"_s, path, u"--orders"_s,
                                          QString::number(orders)});
        if (rc != 0)
            return rc;
    }

    MessageService::SetHandler([](const MessageService::Request &request) {
        std::fprintf(stderr, "message: %s\n", qPrintable(request.text));
        return QMessageBox::Yes;
    });
    gdbConnection = QtSqlConnection::openSqlite(path);
    gintUserLevel = 2;
    Figures figures;

    auto *form = new frmKensaku;
    form->show();
    form->activateWindow();
    QApplication::setActiveWindow(form);
    QTimer::singleShot(0, form, [] {});
    QCoreApplication::processEvents();
    form->dateBox(0)->clear();
    form->dateBox(1)->clear();

    // F1: search, fill, colours and sort through the real screen.
    const QString search = SqlCatalog::OrderSearch(QString(), QString(), false, QString());
    const double f1 = medianOf(runs, [&] { form->cmdSearch_Click(); });
    const int listed = form->grid()->MaxRows();
    const qint64 peakKb = statusKb("VmHWM:");
    const qint64 privateKb = statusKb("RssAnon:");
    const double f1Shell = median([&] {
        QList<double> times;
        for (int i = 0; i < runs; ++i)
            times.append(shellMs(path, search.toUtf8() + ";\n"));
        return times;
    }());
    std::printf("listed rows: %d of %d orders\n", listed, orders);
    figures.add(u"F1 search and fill"_s, f1, u"ms"_s, 1.5, f1Shell);
    // Where F1's time goes: the same statement read through Qt SQL alone.
    const double readOnly = medianOf(runs, [&] {
        const auto records = gdbConnection->Execute(search);
        while (!records->Eof()) {
            for (int field = 0; field < 12; ++field)
                records->FieldValue(field);
            records->MoveNext();
        }
        records->Close();
    });
    figures.add(u"order search read through Qt SQL only"_s, readOnly, u"ms"_s, 1.5, f1Shell);

    int coloured = 0;
    for (int row = 1; row <= listed; ++row)
        coloured += form->grid()->BackColor(row) != QColor(Qt::white) ? 1 : 0;
    std::printf("coloured rows: %d\n", coloured);
    figures.add(u"header-click sort"_s,
                medianOf(runs, [&] { Q_EMIT form->grid()->Click(frmKensaku::ColBilled, 0); }), u"ms"_s, 100);

    // 取込: a 10,000-line statement read, decoded and matched against every listed row.
    QTemporaryFile statement;
    if (!statement.open())
        return 1;
    writeStatement(statement, form->ListedOrders(), 10000);
    int importedLines = 0;
    figures.add(u"import 10,000 lines"_s, medianOf(runs, [&] {
                    const PaymentImport import(StatementFile::readFile(statement.fileName(), QDate::currentDate()),
                                               form->ListedOrders());
                    importedLines = import.lineCount();
                }),
                u"ms"_s, 200);
    std::printf("imported lines: %d\n", importedLines);

    // 登録 of 10,000 flagged rows, against the same statements in the shell.
    const int flagged = std::min(10000, listed);
    QByteArray script = "BEGIN;\n";
    for (int row = 1; row <= flagged; ++row) {
        vaSpread *grid = form->grid();
        grid->SetText(frmKensaku::ColPaidDate, row, u"2026/01/15"_s);
        grid->SetText(frmKensaku::ColPaidAmount, row, 1);
        script += SqlCatalog::RegisterReceipt(u"2026/01/15"_s, 1, false,
                                              static_cast<qint64>(grid->Number(frmKensaku::ColId, row)))
                      .toUtf8()
                  + ";\n";
    }
    script += "COMMIT;\n";
    QList<double> registerTimes;
    for (int i = 0; i < runs; ++i) {
        form->grid()->SetBlockValue(frmKensaku::ColUpdateFlag, 1, frmKensaku::ColUpdateFlag, flagged, 1);
        registerTimes.append(timeMs([&] { form->cmdUpdate_Click(); }));
    }
    QList<double> registerShell;
    for (int i = 0; i < runs; ++i)
        registerShell.append(shellMs(path, script));
    std::printf("registered rows: %d\n", flagged);
    figures.add(u"register 10,000 rows"_s, median(registerTimes), u"ms"_s, 1.5, median(registerShell));

    // One layout pass of the main screen at a new size.
    AnchorTable table;
    CaptureAnchors(form, table);
    form->resize(form->width() + 200, form->height() + 120);
    QCoreApplication::processEvents();
    figures.add(u"layout pass"_s, medianOf(std::max(runs, 101), [&] { ApplyAnchors(form, table); }), u"ms"_s, 2);

    // The database file is read through a memory map: its pages count as
    // resident but are the system's shared file cache, not the screen's own.
    figures.add(u"resident memory, private"_s, privateKb / 1024.0, u"MB"_s, 200);
    figures.add(u"peak resident incl. file map"_s, peakKb / 1024.0, u"MB"_s, 200);
    form->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

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
    figures.add(u"Show return after close"_s, median(showReturn), u"ms"_s, 20);

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
