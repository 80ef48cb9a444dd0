#include "Statements.h"

#include "Timing.h"
#include "import/PaymentImport.h"
#include "import/PaymentMatcher.h"
#include "import/StatementFile.h"
#include "screens/import/StatementOpener.h"
#include "screens/import/frmTorikomi.h"

#include <QCoreApplication>
#include <QFileDevice>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryFile>

#include <cstdio>
#include <limits>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// Unpaid orders as a search lists them, without a database: amounts spread
// like the demo's, so that the amount index has many small groups.
QList<ListedOrder> generatedOrders(int count)
{
    QList<ListedOrder> orders;
    orders.reserve(count);
    for (int i = 0; i < count; ++i) {
        ListedOrder order;
        order.row = i + 1;
        order.id = 100000 + qint64(i) * 3;
        order.name = u"ﾔﾏﾀﾞ ﾀﾛｳ"_s;
        order.billed = 1000 + (qint64(i) * 7919) % 98000;
        order.phone = u"03-%1-%2"_s.arg(1000 + i % 9000).arg(1000 + (i * 7) % 9000);
        orders.append(order);
    }
    return orders;
}

} // namespace

void WriteStatement(QFileDevice &file, const QList<ListedOrder> &orders, int lines, qint64 maxBytes)
{
    QStringEncoder cp932("windows-31j");
    QByteArray bytes = cp932.encode(u"取引日,入金額,振込依頼人名,摘要,お客様番号\r\n"_s);
    qint64 written = 0;
    for (int k = 0; k < lines && !orders.isEmpty(); ++k) {
        const ListedOrder &order = orders.at(int((qint64(k) * 7919) % orders.size()));
        const qint64 open = std::max<qint64>(PaymentMatcher::openAmount(order), 1);
        const QString id = QString::number(order.id);
        QString line;
        switch (k % 4) {
        case 0: line = u"2026/01/15,%1,%2 ﾌﾘｺﾐ,振込,\r\n"_s.arg(open).arg(id); break;
        case 1: line = u"2026/01/15,%1,ﾔﾏﾀﾞ ﾀﾛｳ,振込,\r\n"_s.arg(open); break;
        case 2: line = u"2026/01/15,5000,ｻﾄｳ ﾊﾅｺ,振込,9%1\r\n"_s.arg(id); break;
        default: line = u"2026/01/15,%1,%2 ﾌﾘｺﾐ,振込,\r\n"_s.arg(open + 1000).arg(id); break;
        }
        const QByteArray encoded = cp932.encode(line);
        if (maxBytes >= 0 && written + bytes.size() + encoded.size() > maxBytes)
            break;
        bytes += encoded;
        if (bytes.size() > 1 << 20) {
            written += file.write(bytes);
            bytes.clear();
        }
    }
    file.write(bytes);
    file.flush();
}

LargestStatement MeasureLargestStatement(int listedOrders)
{
    LargestStatement figure;
    QTemporaryFile file;
    if (!file.open())
        return figure;
    WriteStatement(file, generatedOrders(listedOrders), std::numeric_limits<int>::max(), StatementFile::MaxBytes);
    figure.fileBytes = file.size();
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                {u"--largest-statement-child"_s, file.fileName(), u"--listed"_s, QString::number(listedOrders)});
    if (!child.waitForFinished(-1) || child.exitCode() != 0) {
        std::fprintf(stderr, "largest statement: the reading process failed\n");
        return figure;
    }
    const QList<QByteArray> values = child.readAllStandardOutput().trimmed().split(' ');
    if (values.size() != 5)
        return figure;
    figure.lines = values.at(0).toInt();
    figure.importMs = values.at(1).toDouble();
    figure.previewMs = values.at(2).toDouble();
    figure.peakKb = values.at(3).toLongLong();
    figure.previewPeakKb = values.at(4).toLongLong();
    figure.ok = true;
    return figure;
}

int LargestStatementChild(const QString &path, int listedOrders)
{
    const QList<ListedOrder> orders = generatedOrders(listedOrders);
    const qint64 before = Timing::statusKb("VmHWM:");
    // The operator's way in: read and matched beside the screen, as 取込 does.
    QString refusal;
    std::optional<PaymentImport> import;
    const double importMs =
        Timing::timeMs([&] { import = StatementOpener::Open(nullptr, path, orders, refusal); });
    if (!import) {
        std::fprintf(stderr, "%s\n", qPrintable(refusal));
        return 1;
    }
    const qint64 importedKb = Timing::statusKb("VmHWM:") - before;
    // The preview the operator then looks at, a view over the import.
    std::optional<frmTorikomi> preview;
    const double previewMs = Timing::timeMs([&] { preview.emplace(nullptr, *import, path); });
    std::printf("%d %.1f %.1f %lld %lld\n", import->lineCount(), importMs, previewMs, importedKb,
                Timing::statusKb("VmHWM:") - before);
    return 0;
}
