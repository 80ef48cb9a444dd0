#include "import/ConvenienceStatement.h"

#include "core/text/DecodedText.h"
#include "import/ConvenienceRecord.h"
#include "import/CsvReader.h"
#include "import/CsvStatement.h"
#include "import/StatementValues.h"

using namespace Qt::StringLiterals;
using Kind = ConvenienceRecord::Kind;
using Outcome = ConvenienceRecord::Outcome;

namespace {

// The CSV's columns, as published when there is no header row.
struct Columns
{
    int kind{0}, paidOn{1}, time{2}, barcode{3}, amount{7}, chain{8}, store{10}, transferDate{11};
};

bool isHeader(const QStringList &fields)
{
    const auto named = [&fields](QStringView name) {
        return std::any_of(fields.cbegin(), fields.cend(), [name](const QString &f) { return f.trimmed() == name; });
    };
    return named(u"種別") && named(u"バーコード情報");
}

bool isCsv(const QStringList &firstRecord)
{
    Kind kind;
    return isHeader(firstRecord)
           || (firstRecord.size() >= 8 && ConvenienceRecord::kindOf(firstRecord.at(0), kind)
               && StatementValues::isDigits(QStringView(firstRecord.at(3).trimmed()).right(Gs1Barcode::Length))
               && firstRecord.at(3).trimmed().size() >= Gs1Barcode::Length);
}

// The header's columns by name, or the name of the first one missing.
QString columnsOf(const QStringList &header, Columns &at)
{
    const std::pair<const char16_t *, int *> named[] = {
        {u"種別", &at.kind},   {u"収納日", &at.paidOn},     {u"収納時刻", &at.time}, {u"バーコード情報", &at.barcode},
        {u"金額", &at.amount}, {u"店舗コード", &at.store}, {u"振込日", &at.transferDate}};
    for (const auto &[name, column] : named) {
        *column = int(header.indexOf(QString::fromUtf16(name)));
        if (*column < 0)
            return QString::fromUtf16(name);
    }
    at.chain = int(header.indexOf(u"コンビニ本部コード"_s));
    if (at.chain < 0)
        at.chain = int(header.indexOf(u"コンビニ名"_s));
    return QString();
}

// The record of the CSV's columns or the 120-byte form's fields at, their texts as text reads them.
template<typename At, typename Text>
ConvenienceRecord recordAt(int number, const At &at, Text text, const ConvenienceSettings &settings)
{
    return ConvenienceRecord::read(number, {text(at.kind), text(at.paidOn), text(at.time), text(at.barcode),
                                            text(at.amount), text(at.store), text(at.chain), text(at.transferDate)},
                                   settings.orderStart, settings.orderLength);
}

QList<ConvenienceRecord> readCsv(QStringView text, const ConvenienceSettings &settings, QString &error,
                                 const std::atomic_bool *stop)
{
    QList<ConvenienceRecord> records;
    Columns at;
    const auto visit = [&](CsvReader::Record &row) {
        if (stop && *stop) {
            error = Statement::Stopped.toString();
            return false;
        }
        if (row.line == 1 && isHeader(row.fields)) {
            for (QString &name : row.fields)
                name = name.trimmed();
            if (const QString missing = columnsOf(row.fields, at); !missing.isEmpty()) {
                error = u"1行目: 「%1」の列がありません"_s.arg(missing);
                return false;
            }
            return true;
        }
        if (std::all_of(row.fields.cbegin(), row.fields.cend(), [](const QString &f) { return f.trimmed().isEmpty(); }))
            return true;
        const int needed = std::max({at.kind, at.paidOn, at.time, at.barcode, at.amount, at.store, at.transferDate}) + 1;
        if (row.fields.size() < needed) {
            ConvenienceRecord &short_ = records.emplace_back();
            short_.lineNumber = row.line;
            short_.problem = u"列が足りません（%1 列。%2 列のはずです）"_s.arg(row.fields.size()).arg(needed);
            return true;
        }
        records.append(recordAt(row.line, at, [&row](int column) { return row.fields.value(column).trimmed(); }, settings));
        return true;
    };
    CsvReader::read(text, visit, error);
    if (!error.isEmpty())
        records.clear();
    return records;
}

bool usable(const ConvenienceRecord &record, Kind kind)
{
    return record.kind == kind && record.problem.isEmpty();
}

// One payment, one receipt: the agent reports a payment when the store scans
// the slip (速報) and again when the money is settled (確報), may take a
// 速報 back (速報取消), and corrects a 郵便振替 with a record of its own. The
// records of one file are paired here, so that no payment is counted twice:
// the ones left stay in file order, each with its outcome, and the count of
// those the file itself takes back is returned. promptPays: the 速報 pays
// (and fixes the 入金日) instead of the 確報.
int settle(QList<ConvenienceRecord> &records, bool promptPays)
{
    int takenBack = 0;
    QList<bool> gone(records.size(), false);
    QList<bool> paired(records.size(), false);
    // The first of the file's records of kind that `same` finds, not yet used.
    const auto earliest = [&](Kind kind, auto same) -> qsizetype {
        for (qsizetype i = 0; i < records.size(); ++i) {
            if (!gone.at(i) && !paired.at(i) && usable(records.at(i), kind) && same(records.at(i)))
                return i;
        }
        return -1;
    };

    // A 確報 and its 速報 share barcode, store, day and time: one payment,
    // shown once, as the record that pays.
    for (qsizetype f = 0; f < records.size(); ++f) {
        if (!usable(records.at(f), Kind::Final))
            continue;
        const ConvenienceRecord &final = records.at(f);
        const qsizetype p = earliest(Kind::Prompt, [&final](const ConvenienceRecord &prompt) {
            return prompt.barcode == final.barcode && prompt.store == final.store && prompt.paidOn == final.paidOn
                   && prompt.time == final.time;
        });
        if (p < 0)
            continue;
        paired[p] = paired[f] = true;
        gone[promptPays ? f : p] = true;
    }
    // A 速報取消 takes back the 速報 of its slip and store that no 確報 has
    // settled; without one, the 速報 came in an earlier file and may have
    // been paid there, so the cancel is shown and pays nothing.
    for (qsizetype c = 0; c < records.size(); ++c) {
        ConvenienceRecord &cancel = records[c];
        if (!usable(cancel, Kind::PromptCancel))
            continue;
        const qsizetype p = earliest(Kind::Prompt, [&cancel](const ConvenienceRecord &prompt) {
            return prompt.barcode == cancel.barcode && prompt.store == cancel.store && prompt.amount == cancel.amount;
        });
        if (p >= 0) {
            gone[p] = gone[c] = true;
            ++takenBack;
        }
        cancel.outcome = Outcome::Cancel;
    }
    // A 郵便振替訂正 puts its amount in place of the 郵便振替 of its slip
    // before it; one whose 郵便振替 is not in the file pays nothing.
    for (qsizetype k = 0; k < records.size(); ++k) {
        ConvenienceRecord &correction = records[k];
        if (!usable(correction, Kind::PostalCorrection))
            continue;
        qsizetype postal = -1;
        for (qsizetype i = 0; i < k; ++i) {
            if (!gone.at(i) && usable(records.at(i), Kind::Postal) && records.at(i).barcode == correction.barcode)
                postal = i;
        }
        if (postal >= 0) {
            records[postal].amount = correction.amount;
            gone[k] = true;
        }
        correction.outcome = Outcome::Cancel;
    }

    QList<ConvenienceRecord> kept;
    for (qsizetype i = 0; i < records.size(); ++i) {
        if (gone.at(i))
            continue;
        ConvenienceRecord &record = records[i];
        if (!record.problem.isEmpty())
            record.outcome = Outcome::Unusable;
        else if (record.kind == Kind::Prompt && !promptPays && !paired.at(i))
            record.outcome = Outcome::Prompt;
        kept.append(std::move(record));
    }
    records = std::move(kept);
    return takenBack;
}

bool isFixed(QByteArrayView bytes)
{
    constexpr qsizetype size = ConvenienceSettings::RecordSize;
    if (bytes.size() <= size || bytes[0] != '1' || bytes.first(size).contains('\n'))
        return false;
    qsizetype next = size;
    if (bytes[next] == '\r')
        ++next;
    if (next < bytes.size() && bytes[next] == '\n')
        ++next;
    return next < bytes.size() && (bytes[next] == '2' || bytes[next] == '8');
}

QList<ConvenienceRecord> readFixed(QByteArrayView bytes, const ConvenienceSettings &settings, QString &error,
                                   const std::atomic_bool *stop)
{
    const ConvenienceSettings::FixedLayout &at = settings.fixed;
    QList<ConvenienceRecord> records;
    qint64 count = 0, total = 0;
    const auto header = [&](QByteArrayView) {
        count = total = 0;
        return QString();
    };
    const auto data = [&](QByteArrayView record, int number) {
        records.append(recordAt(number, at, [record](FixedRecords::Field field) {
            return QString::fromLatin1(FixedRecords::field(record, field)).trimmed();
        }, settings));
        ++count;
        total += records.constLast().amount;
        return QString();
    };
    const auto trailer = [&](QByteArrayView record) {
        return FixedRecords::trailerError(record, {{at.trailerCount, count, u"件数"}, {at.trailerTotal, total, u"合計金額"}});
    };
    error = FixedRecords::walk(bytes, {header, data, trailer}, stop, ConvenienceSettings::RecordSize);
    if (!error.isEmpty())
        records.clear();
    return records;
}

} // namespace

bool ConvenienceStatement::recognises(const QByteArray &bytes)
{
    if (isFixed(bytes))
        return true;
    const qsizetype end = bytes.indexOf('\n');
    const DecodedText first = DecodedText::decode(end < 0 ? bytes : bytes.first(end));
    return first.encoding() != TextEncoding::Latin1 && isCsv(CsvStatement::firstRows(first.text(), 1).value(0));
}

Statement ConvenienceStatement::read(const QByteArray &bytes, const ConvenienceSettings &settings,
                                     const std::atomic_bool *stop)
{
    Statement statement{.error = settings.error, .fileKind = PaymentMethods::FileKind::Convenience};
    if (!statement.ok())
        return statement;
    QList<ConvenienceRecord> records;
    if (isFixed(bytes)) {
        statement.format = Statement::Format::ConvenienceFixed;
        statement.encoding = TextEncoding::Cp932;
        records = readFixed(bytes, settings, statement.error, stop);
    } else {
        // The agents write Shift_JIS; a file passed through another program may be UTF-8.
        const DecodedText decoded = DecodedText::decode(bytes);
        statement.format = Statement::Format::ConvenienceCsv;
        statement.encoding = decoded.encoding();
        if (decoded.encoding() == TextEncoding::Latin1)
            statement.error = u"文字コードを判別できません（UTF-8 でも Shift_JIS でもありません）"_s;
        else
            records = readCsv(decoded.text(), settings, statement.error, stop);
    }
    if (!statement.ok())
        return statement;

    statement.takenBack = settle(records, settings.promptPays);
    for (const ConvenienceRecord &record : std::as_const(records)) {
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
        // The reader's reason stands.
        if (line.problem.isEmpty() && line.amount <= 0)
            line.problem = u"金額が 0 円です"_s;
        else if (line.problem.isEmpty() && line.namedOrder.isEmpty())
            line.problem = u"バーコードの注文番号の桁がすべて 0 です（BarcodeOrderStart・BarcodeOrderLength）"_s;
        statement.lines.append(std::move(line));
    }
    return statement;
}
