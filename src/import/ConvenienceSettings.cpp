#include "import/ConvenienceSettings.h"

#include "core/settings/SuiteSettings.h"

using namespace Qt::StringLiterals;

namespace {

QString wrong(const QString &key, const QString &value)
{
    return u"parlow.ini の %1「%2」が正しくありません"_s.arg(key, value);
}

// "start,length", start from 1 and after the record's データ区分.
void readField(const SuiteSettings &settings, const QString &key, ConvenienceSettings::Field &field, QString &error)
{
    const QString value = settings.ini(key, QString());
    if (value.isEmpty() || !error.isEmpty())
        return;
    const QList<QStringView> parts = QStringView(value).split(u',');
    bool startOk = false, sizeOk = false;
    const qsizetype start = parts.size() == 2 ? parts.at(0).trimmed().toInt(&startOk) : 0;
    const qsizetype size = parts.size() == 2 ? parts.at(1).trimmed().toInt(&sizeOk) : 0;
    if (!startOk || !sizeOk || start < 2 || size < 1 || start - 1 + size > ConvenienceSettings::RecordSize)
        error = wrong(key, value);
    else
        field = {start - 1, size};
}

} // namespace

ConvenienceSettings ConvenienceSettings::read(const SuiteSettings &settings)
{
    ConvenienceSettings read;
    const QString start = settings.ini(u"BarcodeOrderStart"_s, u"1"_s);
    const QString length = settings.ini(u"BarcodeOrderLength"_s, QString::number(Gs1Barcode::FreeLength));
    bool startOk = false, lengthOk = false;
    read.orderStart = start.trimmed().toInt(&startOk);
    read.orderLength = length.trimmed().toInt(&lengthOk);
    if (!startOk || read.orderStart < 1 || read.orderStart > Gs1Barcode::FreeLength)
        read.error = wrong(u"BarcodeOrderStart"_s, start);
    else if (!lengthOk || read.orderLength < 1 || read.orderStart - 1 + read.orderLength > Gs1Barcode::FreeLength)
        read.error = wrong(u"BarcodeOrderLength"_s, length);

    const QString date = settings.ini(u"ConvenienceDate"_s, u"確報"_s).trimmed();
    read.promptPays = date == u"速報";
    if (read.error.isEmpty() && !read.promptPays && date != u"確報")
        read.error = wrong(u"ConvenienceDate"_s, date);

    FixedLayout &at = read.fixed;
    const std::pair<const char16_t *, Field *> fields[] = {
        {u"CvsFixedKind", &at.kind},          {u"CvsFixedDate", &at.paidOn},
        {u"CvsFixedTime", &at.time},          {u"CvsFixedBarcode", &at.barcode},
        {u"CvsFixedStore", &at.store},        {u"CvsFixedTransferDate", &at.transferDate},
        {u"CvsFixedBookingDate", &at.bookingDate}, {u"CvsFixedChain", &at.chain},
        {u"CvsFixedAmount", &at.amount},      {u"CvsFixedTrailerCount", &at.trailerCount},
        {u"CvsFixedTrailerTotal", &at.trailerTotal}};
    for (const auto &[key, field] : fields)
        readField(settings, QString::fromUtf16(key), *field, read.error);
    if (read.error.isEmpty() && at.barcode.size < Gs1Barcode::Length)
        read.error = wrong(u"CvsFixedBarcode"_s, settings.ini(u"CvsFixedBarcode"_s, QString()));
    return read;
}
