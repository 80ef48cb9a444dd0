#include "import/ConvenienceStatement.h"

#include "core/data/CellText.h"
#include "import/ConvenienceCsv.h"
#include "import/ConvenienceFixed.h"
#include "import/ConveniencePayments.h"
#include "import/CsvReader.h"

#include <QStringDecoder>

using namespace Qt::StringLiterals;
using Outcome = ConvenienceRecord::Outcome;

namespace {

// The agents write Shift_JIS; a file passed through another program may be UTF-8.
QString decoded(QByteArrayView bytes, bool &ok)
{
    const bool utf8 = bytes.isValidUtf8();
    QStringDecoder decoder(utf8 ? "UTF-8" : "windows-31j", QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    ok = !decoder.hasError();
    return text;
}

} // namespace

bool ConvenienceStatement::recognises(QByteArrayView bytes)
{
    if (ConvenienceFixed::recognises(bytes))
        return true;
    const qsizetype end = bytes.indexOf('\n');
    bool ok = false;
    const QString first = decoded(end < 0 ? bytes : bytes.first(end), ok);
    QStringList fields;
    QString error;
    int errorLine = 0;
    CsvReader::read(first, [&fields](CsvReader::Record &record) {
        fields = std::move(record.fields);
        return false;
    }, error, errorLine);
    return ok && ConvenienceCsv::recognises(fields);
}

Statement ConvenienceStatement::read(QByteArrayView bytes, const ConvenienceSettings &settings)
{
    Statement statement;
    statement.fileKind = PaymentMethods::FileKind::Convenience;
    if (!settings.error.isEmpty()) {
        statement.error = settings.error;
        return statement;
    }
    QList<ConvenienceRecord> records;
    if (ConvenienceFixed::recognises(bytes)) {
        statement.format = Statement::Format::ConvenienceFixed;
        statement.encoding = TextEncoding::Cp932;
        records = ConvenienceFixed::read(bytes, settings, statement.error);
    } else {
        statement.format = Statement::Format::ConvenienceCsv;
        bool ok = false;
        const QString text = decoded(bytes, ok);
        statement.encoding = bytes.isValidUtf8() ? TextEncoding::Utf8 : TextEncoding::Cp932;
        if (!ok)
            statement.error = u"文字コードを判別できません（UTF-8 でも Shift_JIS でもありません）"_s;
        else
            records = ConvenienceCsv::read(text, settings, statement.error);
    }
    if (!statement.ok())
        return statement;

    const ConveniencePayments::Settled settled = ConveniencePayments::settle(std::move(records), settings.promptPays);
    statement.takenBack = settled.takenBack;
    for (const ConvenienceRecord &record : settled.records) {
        StatementLine line;
        line.lineNumber = record.lineNumber;
        line.date = record.paidOn;
        line.amount = record.amount;
        line.kind = ConvenienceRecord::kindName(record.kind);
        line.barcode = record.barcode;
        line.namedOrder = record.order;
        line.problem = record.problem;
        line.cancels = record.outcome == Outcome::Cancel;
        line.early = record.outcome == Outcome::Prompt;
        const qint64 day = record.paidOn.toJulianDay();
        if (!line.problem.isEmpty()) {
            // The reader's reason stands.
        } else if (line.amount <= 0) {
            line.problem = u"金額が 0 円です"_s;
        } else if (day < CellText::MinDateJulian || day > CellText::MaxDateJulian) {
            line.problem = u"収納日「%1」は入金日にできません"_s.arg(record.paidOn.toString(u"yyyy/MM/dd"));
        } else if (line.namedOrder.isEmpty()) {
            line.problem = u"バーコードの注文番号の桁がすべて 0 です（BarcodeOrderStart・BarcodeOrderLength）"_s;
        }
        statement.lines.append(std::move(line));
    }
    return statement;
}
