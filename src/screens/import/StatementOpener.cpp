#include "screens/import/StatementOpener.h"

#include "import/ColumnMemory.h"
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
#include <functional>
#include <memory>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

constexpr int ShowProgressAfterMs = 500;

// What one run beside the screen gives: the import, or the statement that
// could not become one, and the first rows when its columns must be asked for.
struct Outcome
{
    Statement statement;
    std::optional<PaymentImport> import;
    QList<QStringList> firstRows;
};

using Work = std::function<Outcome(const std::atomic_bool &cancelled)>;

// Runs work on the thread pool while the screen keeps painting. For half a
// second the operator's input waits (a statement of kilobytes is read by
// then); after that a window-modal progress box offers ｷｬﾝｾﾙ, and the list
// behind it takes no input until the work is done. Nothing when the operator
// cancelled: the work sees the flag at its next step and stops there.
std::optional<Outcome> runBeside(QWidget *owner, Work work)
{
    auto cancelled = std::make_shared<std::atomic_bool>(false);
    QFutureWatcher<Outcome> watcher;
    QEventLoop loop;
    QObject::connect(&watcher, &QFutureWatcher<Outcome>::finished, &loop, &QEventLoop::quit);
    QProgressDialog progress(u"入金データを読み込んでいます..."_s, u"ｷｬﾝｾﾙ"_s, 0, 0, owner);
    progress.setObjectName(u"dlgTorikomiProgress"_s);
    progress.setWindowTitle(u"入金データ取込"_s);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(ShowProgressAfterMs);
    QObject::connect(&progress, &QProgressDialog::canceled, &loop, [&] {
        *cancelled = true;
        loop.quit();
    });
    constexpr int Showing = 1;
    QTimer::singleShot(ShowProgressAfterMs, &loop, [&] {
        progress.show();
        loop.exit(Showing);
    });
    const WaitCursor wait;
    // The work holds the flag itself: it may still be stopping after Open returned.
    watcher.setFuture(QtConcurrent::run([cancelled, work = std::move(work)] { return work(*cancelled); }));
    if (loop.exec(QEventLoop::ExcludeUserInputEvents) == Showing && !watcher.isFinished())
        loop.exec();
    if (*cancelled)
        return std::nullopt;
    return watcher.future().takeResult();
}

// The file's bytes are kept only while the operator may still have to assign
// its columns: a large file is not held beside its lines while they are matched.
// The other payment methods' files are read and matched as the settings say.
struct MethodSettings
{
    ConvenienceSettings convenience;
    PaymentMethods methods;
};

Outcome readAndMatch(QByteArray &bytes, const QDate &today, const CsvColumns *assigned,
                     const QList<ListedOrder> &orders, qint64 feeTolerance, const PayerNames &payerNames,
                     const std::shared_ptr<const NameIndex> &names, const MethodSettings &methods,
                     const std::atomic_bool &cancelled)
{
    Outcome outcome;
    if (cancelled)
        return outcome;
    outcome.statement = StatementFile::read(bytes, today, assigned, methods.convenience);
    if (!outcome.statement.columnsKey.isEmpty()) {
        outcome.firstRows = StatementFile::firstRows(bytes, frmColumns::PreviewRows);
        return outcome;
    }
    bytes = QByteArray();
    if (!cancelled && outcome.statement.ok() && !outcome.statement.lines.isEmpty())
        outcome.import.emplace(std::move(outcome.statement), orders, feeTolerance, payerNames, names, methods.methods);
    return outcome;
}

} // namespace

std::optional<PaymentImport> StatementOpener::Open(QWidget *owner, const QString &path,
                                                   const QList<ListedOrder> &orders, QString &refusal,
                                                   qint64 feeTolerance, const PayerNames &payerNames,
                                                   const SuiteSettings &settings, std::shared_ptr<const NameIndex> names)
{
    refusal.clear();
    const QDate today = QDate::currentDate();
    auto bytes = std::make_shared<QByteArray>();
    const MethodSettings methods{ConvenienceSettings::read(settings), PaymentMethods::read(settings)};
    std::optional<Outcome> outcome = runBeside(owner, [=](const std::atomic_bool &cancelled) {
        QString error;
        *bytes = StatementFile::load(path, error);
        if (!error.isEmpty()) {
            Outcome failed;
            failed.statement.error = error;
            return failed;
        }
        return readAndMatch(*bytes, today, nullptr, orders, feeTolerance, payerNames, names, methods, cancelled);
    });
    if (!outcome)
        return std::nullopt;

    if (const QString key = outcome->statement.columnsKey; !key.isEmpty() && !outcome->firstRows.isEmpty()) {
        std::optional<CsvColumns> columns = ColumnMemory::recall(settings, key);
        // A header names the columns and the choice made for it holds; a file
        // without one only has a shape, which another bank's layout may share:
        // its remembered choice is shown for the operator to confirm.
        const bool headerless = CsvColumns::looksLikeData(outcome->firstRows.constFirst());
        if (!columns || headerless || !columns->headerRow) {
            const std::optional<CsvColumns> remembered = std::exchange(columns, std::nullopt);
            // The dialog releases itself on closing: the choice is taken as it is accepted.
            QPointer<frmColumns> dialog = new frmColumns(owner, outcome->firstRows, remembered);
            QObject::connect(dialog, &QDialog::accepted, dialog, [&columns, dialog] { columns = dialog->columns(); });
            dialog->exec();
            if (dialog)
                dialog->deleteLater();
            if (!columns)
                return std::nullopt;
            // Kept for the next file of the same bank; when it cannot be, this import still uses it.
            ColumnMemory::remember(settings, key, *columns);
        }
        const CsvColumns assigned = *columns;
        outcome = runBeside(owner, [=](const std::atomic_bool &cancelled) {
            return readAndMatch(*bytes, today, &assigned, orders, feeTolerance, payerNames, names, methods,
                                cancelled);
        });
        if (!outcome)
            return std::nullopt;
    }

    if (!outcome->statement.ok() && !outcome->import)
        refusal = u"入金データを読み込めません。\n%1\n%2"_s.arg(path, outcome->statement.error);
    else if (!outcome->import)
        refusal = u"入金の行がありません。\n%1"_s.arg(path);
    return std::move(outcome->import);
}
