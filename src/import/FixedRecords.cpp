#include "import/FixedRecords.h"

#include "core/data/CellText.h"
#include "import/StatementValues.h"

using namespace Qt::StringLiterals;
using StatementValues::isDigits;

namespace FixedRecords {

namespace {

// Splits into records: lines of size bytes, or slices of size when the file
// has no line breaks; an EOF mark at the end is dropped. Fills error, naming
// the record, when a length is wrong.
QList<QByteArrayView> split(QByteArrayView bytes, QString &error, qsizetype size)
{
    // Old transfer software ends the file with an EOF mark.
    while (!bytes.isEmpty() && (bytes.back() == '\x1a' || bytes.back() == '\n' || bytes.back() == '\r'))
        bytes.chop(1);
    QList<QByteArrayView> records;
    const bool lines = bytes.size() > size && (bytes[size] == '\r' || bytes[size] == '\n');
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        qsizetype end = pos + size;
        QByteArrayView record;
        if (lines) {
            end = bytes.indexOf('\n', pos);
            if (end < 0)
                end = bytes.size();
            record = bytes.sliced(pos, end - pos);
            if (record.endsWith('\r'))
                record.chop(1);
            ++end;
        } else {
            record = bytes.sliced(pos, std::min(size, bytes.size() - pos));
        }
        if (record.size() != size) {
            error = u"%1行目: レコードが%2バイトではありません（%3バイト）"_s.arg(records.size() + 1)
                        .arg(size)
                        .arg(record.size());
            return {};
        }
        records.append(record);
        pos = end;
    }
    return records;
}

} // namespace

QByteArrayView kindCode(QByteArrayView bytes)
{
    if (bytes.size() < RecordSize || bytes[0] != '1' || !isDigits(bytes.sliced(1, 2)))
        return {};
    if (bytes.size() > RecordSize && bytes[RecordSize] != '\r' && bytes[RecordSize] != '\n'
        && bytes[RecordSize] != '2' && bytes[RecordSize] != '8')
        return {};
    return bytes.sliced(1, 2);
}

QString trailerError(QByteArrayView record, std::initializer_list<TrailerCheck> checks)
{
    for (const TrailerCheck &check : checks) {
        const QByteArrayView value = field(record, check.at);
        if (!isDigits(value) || value.toLongLong() != check.expected)
            return u"トレーラ・レコードの%1「%2」が明細と合いません（明細では %3）"_s.arg(
                QStringView(check.name), QString::fromLatin1(value).trimmed(), QString::number(check.expected));
    }
    return QString();
}

QString walk(QByteArrayView bytes, const Handlers &handlers, const std::atomic_bool *stop, qsizetype size)
{
    QString error;
    const QList<QByteArrayView> records = split(bytes, error, size);
    if (!error.isEmpty())
        return error;
    enum class Next { Header, DataOrTrailer, HeaderOrEnd, Nothing };
    Next next = Next::Header;
    for (qsizetype i = 0; i < records.size(); ++i) {
        if (stop && *stop)
            return Statement::Stopped.toString();
        const QByteArrayView record = records.at(i);
        const int number = int(i) + 1;
        const char kind = record[0];
        if (kind == '1' && (next == Next::Header || next == Next::HeaderOrEnd)) {
            error = handlers.header(record);
            next = Next::DataOrTrailer;
        } else if (kind == '2' && next == Next::DataOrTrailer) {
            error = handlers.data(record, number);
        } else if (kind == '8' && next == Next::DataOrTrailer) {
            error = handlers.trailer(record);
            next = Next::HeaderOrEnd;
        } else if (kind == '9' && next == Next::HeaderOrEnd) {
            next = Next::Nothing;
        } else {
            error = u"データ区分「%1」のレコードはここに来ません"_s.arg(QChar::fromLatin1(kind));
        }
        if (!error.isEmpty())
            return u"%1行目: %2"_s.arg(number).arg(error);
    }
    if (next != Next::Nothing)
        return u"%1行目: エンド・レコードがありません（ファイルが途中で終わっています）"_s.arg(records.size());
    return QString();
}

Statement Reading::read(QByteArrayView bytes, const std::function<void()> &startSection,
                        const std::function<QString(QByteArrayView, int)> &data,
                        const std::function<QString(QByteArrayView)> &trailer, const std::atomic_bool *stop)
{
    constexpr Field KindCode{1, 2};
    constexpr Field CharCode{3, 1};
    constexpr Field Created{4, 6};    // 作成日
    constexpr Field RangeFrom{10, 6}; // 勘定日(自)
    constexpr Field RangeTo{16, 6};   // 勘定日(至)
    statement.format = m_kind.format;
    statement.encoding = TextEncoding::Cp932;
    const auto header = [&](QByteArrayView record) {
        startSection();
        firstLine = statement.lines.size();
        if (field(record, KindCode) != QByteArrayView(m_kind.code))
            return u"%1ではありません（種別コード %2）"_s.arg(QStringView(m_kind.name),
                                                             QString::fromLatin1(field(record, KindCode)));
        if (field(record, CharCode) != QByteArrayView("0"))
            return u"JIS コードのファイルではありません（コード区分 %1）"_s.arg(QString::fromLatin1(field(record, CharCode)));
        if (const char account = field(record, m_kind.accountKind)[0]; account != '1' && account != '2' && account != '4')
            return QString::fromUtf16(m_kind.accountRefusal).arg(QChar::fromLatin1(account));
        m_range = BankDate::headerRange(field(record, Created), field(record, RangeFrom), field(record, RangeTo), m_today);
        return QString();
    };
    statement.error = walk(bytes, {header, data, trailer}, stop);
    if (statement.ok())
        statement.dropLines(m_taken);
    else
        statement.lines.clear();
    return std::move(statement);
}

QString Reading::text(QByteArrayView bytes, bool &ok)
{
    // Qt's ICU decoders keep an error once seen, whatever resetState says:
    // one bad record would make every later one look bad too.
    if (m_decoder.hasError())
        m_decoder = QStringDecoder("windows-31j", QStringConverter::Flag::Stateless);
    m_decoder.resetState();
    const QString decoded = m_decoder.decode(bytes);
    ok = ok && !m_decoder.hasError();
    return decoded.trimmed();
}

StatementLine Reading::lineOf(QByteArrayView record, int number)
{
    constexpr int ValueDateGrace = 10;
    StatementLine line;
    line.lineNumber = number;
    const QByteArrayView date = field(record, m_kind.accountDate);
    const BankDate::Read day = BankDate::inRange(date, m_range, 0, m_today);
    const BankDate::Read valued = BankDate::inRange(field(record, m_kind.valueDate), m_range, ValueDateGrace, m_today);
    if (CellText::holdsDate(day.date))
        line.date = day.date;
    const QByteArrayView amount = field(record, m_kind.amount);
    line.amount = isDigits(amount) ? amount.toLongLong() : 0;
    line.reference = QString::fromLatin1(field(record, m_kind.reference)).trimmed();

    bool readable = true;
    line.payerName = text(field(record, m_kind.payer), readable);
    line.edi = text(field(record, m_kind.edi), readable);
    for (const QString &text : {line.payerName, line.edi}) {
        if (!text.isEmpty())
            line.searched.append(text);
    }
    if (isDigits(line.edi))
        line.namedOrder = line.edi;

    if (!isDigits(amount))
        line.problem = u"金額「%1」が読めません"_s.arg(QString::fromLatin1(amount));
    else if (!day.problem.isEmpty())
        line.problem = day.problem;
    else if (!line.date.isValid())
        line.problem = u"日付「%1」が正しくありません"_s.arg(QString::fromLatin1(date));
    else if (!valued.problem.isEmpty())
        line.problem = QStringView(m_kind.valueDateName) + u": "_s + valued.problem;
    else if (!readable)
        line.problem = u"Shift_JIS で読めない文字があります"_s;
    return line;
}

bool Reading::keep(StatementLine &&line)
{
    if (line.amount <= 0 && line.problem.isEmpty()) {
        ++statement.skipped;
        return false;
    }
    statement.lines.append(std::move(line));
    m_taken.append(false);
    return true;
}

void Reading::take(qsizetype index)
{
    m_taken[index] = true;
    ++statement.takenBack;
}

void Reading::holdBack(qsizetype index, const QString &why)
{
    StatementLine &line = statement.lines[index];
    if (line.problem.isEmpty())
        line.problem = why;
}

} // namespace FixedRecords
