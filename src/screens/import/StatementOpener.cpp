#include "screens/import/StatementOpener.h"

#include "import/CsvStatement.h"
#include "import/StatementFile.h"
#include "screens/import/frmColumns.h"
#include "widgets/WaitCursor.h"

#include <QDate>
#include <QEventLoop>
#include <QFutureWatcher>
#include <QPointer>
#include <QProgressDialog>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include <atomic>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

constexpr int ShowProgressAfterMs = 500;

// What one run beside the screen gives: the import, or the statement that
// could not become one.
struct Outcome
{
    Statement statement;
    std::optional<PaymentImport> import;
};

// Runs work on the thread pool while the screen keeps painting. For half a
// second the operator's input waits (a statement of kilobytes is read by
// then); after that a window-modal progress box offers ｷｬﾝｾﾙ. Nothing when
// the operator cancelled, and only once the work has stopped: every step of
// it looks at the flag, so nothing runs on after the screen moved on.
template<typename Work>
std::optional<Outcome> runBeside(QWidget *owner, const Work &work)
{
    std::atomic_bool cancelled{false};
    bool showing = false;
    QFutureWatcher<Outcome> watcher;
    QEventLoop loop;
    QObject::connect(&watcher, &QFutureWatcher<Outcome>::finished, &loop, &QEventLoop::quit);
    QProgressDialog progress(u"入金データを読み込んでいます..."_s, u"ｷｬﾝｾﾙ"_s, 0, 0, owner);
    progress.setObjectName(u"dlgTorikomiProgress"_s);
    progress.setWindowTitle(u"入金データ取込"_s);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(ShowProgressAfterMs);
    QObject::connect(&progress, &QProgressDialog::canceled, &loop, [&] {
        cancelled = true;
        loop.quit();
    });
    QTimer::singleShot(ShowProgressAfterMs, &loop, [&] {
        progress.show();
        showing = true;
        loop.quit();
    });
    const WaitCursor wait;
    watcher.setFuture(QtConcurrent::run([&] { return work(cancelled); }));
    // The operator's input reaches the screen only while the box offers ｷｬﾝｾﾙ.
    while (!watcher.isFinished())
        loop.exec(showing && !cancelled ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    if (cancelled)
        return std::nullopt;
    return watcher.future().takeResult();
}

} // namespace

std::optional<PaymentImport> StatementOpener::Open(QWidget *owner, const QString &path,
                                                   const QList<ListedOrder> &orders, QString &refusal,
                                                   qint64 feeTolerance, const PayerNames &payerNames,
                                                   const SuiteSettings &settings, std::shared_ptr<const NameIndex> names)
{
    refusal.clear();
    const QDate today = QDate::currentDate();
    const ConvenienceSettings convenience = ConvenienceSettings::read(settings);
    const PaymentMethods methods = PaymentMethods::read(settings);
    std::optional<Outcome> outcome;
    QString csvText; // kept only while the operator may still have to assign its columns
    std::optional<CsvColumns> columns;
    // Reads the file, or once its columns are assigned the CSV's text, and
    // matches what it read unless the operator cancelled; methods: which
    // orders the file's kind pays.
    const auto readAndMatch = [&](const std::atomic_bool &cancelled) {
        Outcome read;
        if (columns) {
            read.statement = CsvStatement::read(csvText, &*columns, &cancelled);
            read.statement.encoding = outcome->statement.encoding;
        } else {
            // The file's bytes are let go before matching.
            const QByteArray bytes = StatementFile::load(path, read.statement.error);
            if (read.statement.error.isEmpty())
                read.statement = StatementFile::read(bytes, today, nullptr, &cancelled, &csvText, convenience);
        }
        if (!read.statement.columnsKey.isEmpty())
            return read;
        csvText.clear();
        if (!cancelled && read.statement.ok() && !read.statement.lines.isEmpty())
            read.import.emplace(std::move(read.statement), orders, feeTolerance, payerNames, names, &cancelled, methods);
        return read;
    };
    outcome = runBeside(owner, readAndMatch);
    if (!outcome)
        return std::nullopt;

    const QList<QStringList> firstRows = outcome->statement.columnsKey.isEmpty()
                                             ? QList<QStringList>{}
                                             : CsvStatement::firstRows(csvText, frmColumns::PreviewRows);
    if (const QString key = outcome->statement.columnsKey; !firstRows.isEmpty()) {
        // Assignments are kept in parlow.ini, under the key of the file's first row.
        columns = settings.dataFolder().isEmpty() ? std::nullopt : CsvColumns::fromText(settings.ini(key, QString()));
        // A header names the columns and the choice made for it holds; a file
        // without one only has a shape, which another bank's layout may share:
        // its remembered choice is shown for the operator to confirm.
        const bool headerless = CsvColumns::looksLikeData(firstRows.constFirst());
        if (!columns || headerless || !columns->headerRow) {
            const std::optional<CsvColumns> remembered = std::exchange(columns, std::nullopt);
            // The dialog releases itself on closing: the choice is taken as it is accepted.
            QPointer<frmColumns> dialog = new frmColumns(owner, firstRows, remembered);
            QObject::connect(dialog, &QDialog::accepted, dialog, [&columns, dialog] { columns = dialog->columns(); });
            dialog->exec();
            if (dialog)
                dialog->deleteLater();
            if (!columns)
                return std::nullopt;
            // Kept for the next file of the same bank; when it cannot be, this import still uses it.
            settings.writeIni(key, columns->toText());
        }
        outcome = runBeside(owner, readAndMatch);
        if (!outcome)
            return std::nullopt;
    }

    if (!outcome->statement.ok() && !outcome->import)
        refusal = u"入金データを読み込めません。\n%1\n%2"_s.arg(path, outcome->statement.error);
    else if (!outcome->import)
        refusal = u"入金の行がありません。\n%1"_s.arg(path);
    return std::move(outcome->import);
}
