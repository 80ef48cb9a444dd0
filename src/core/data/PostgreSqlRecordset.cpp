#include "core/data/PostgreSqlRecordset.h"

#include "core/data/FieldValue.h"

#include <QStringDecoder>

#include <libpq-fe.h>

#include <charconv>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {

// The server's type numbers (pg_type.oid) of the columns read specially.
constexpr Oid BoolOid = 16;
constexpr Oid Int8Oid = 20;
constexpr Oid Int2Oid = 21;
constexpr Oid Int4Oid = 23;
constexpr Oid Float4Oid = 700;
constexpr Oid Float8Oid = 701;
constexpr Oid DateOid = 1082;
constexpr Oid NumericOid = 1700;

// "YYYY-MM-DD", as the server writes a date under DateStyle ISO (which Qt's
// driver sets for its connection).
std::optional<QDate> isoDate(const char *text)
{
    if (std::strlen(text) != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    int parts[3] = {};
    const char *starts[3] = {text, text + 5, text + 8};
    const int sizes[3] = {4, 2, 2};
    for (int i = 0; i < 3; ++i) {
        const auto [end, error] = std::from_chars(starts[i], starts[i] + sizes[i], parts[i]);
        if (error != std::errc() || end != starts[i] + sizes[i])
            return std::nullopt;
    }
    const QDate date(parts[0], parts[1], parts[2]);
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

} // namespace

PostgreSqlRecordset::PostgreSqlRecordset(pg_conn *connection, QSqlDatabase database, const QString &statement)
    : m_database(std::move(database)), m_result(PQexec(connection, statement.toUtf8().constData()), PQclear)
{
    const ExecStatusType status = m_result ? PQresultStatus(m_result.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
        // The server's own sentence and its detail, without the severity
        // and context lines around them; libpq's text when the link failed.
        const char *primary = m_result ? PQresultErrorField(m_result.get(), PG_DIAG_MESSAGE_PRIMARY) : nullptr;
        if (!primary)
            throw DbError(QString::fromUtf8(PQerrorMessage(connection)).trimmed());
        QString message = QString::fromUtf8(primary);
        if (const char *detail = PQresultErrorField(m_result.get(), PG_DIAG_MESSAGE_DETAIL))
            message += u'\n' + QString::fromUtf8(detail);
        throw DbError(message);
    }
    const int columns = PQnfields(m_result.get());
    m_names.reserve(columns);
    m_kinds.reserve(size_t(columns));
    for (int i = 0; i < columns; ++i) {
        m_names.append(QString::fromUtf8(PQfname(m_result.get(), i)));
        switch (PQftype(m_result.get(), i)) {
        case Int8Oid:
        case Int4Oid:
        case Int2Oid: m_kinds.push_back(Kind::Integer); break;
        case NumericOid: m_kinds.push_back(Kind::Numeric); break;
        case Float4Oid:
        case Float8Oid: m_kinds.push_back(Kind::Float); break;
        case DateOid: m_kinds.push_back(Kind::Date); break;
        case BoolOid: m_kinds.push_back(Kind::Bool); break;
        default: m_kinds.push_back(Kind::Text); break;
        }
    }
    m_rows = PQntuples(m_result.get());
    m_onRow = m_rows > 0;
}

PostgreSqlRecordset::~PostgreSqlRecordset() = default;

void PostgreSqlRecordset::MoveNext()
{
    requireRow();
    m_onRow = ++m_row < m_rows;
}

void PostgreSqlRecordset::Close()
{
    m_onRow = false;
    m_result.reset();
}

const char *PostgreSqlRecordset::valueAt(int index) const
{
    requireColumn(index);
    if (PQgetisnull(m_result.get(), m_row, index))
        return nullptr;
    return PQgetvalue(m_result.get(), m_row, index);
}

QVariant PostgreSqlRecordset::ValueAt(int index) const
{
    const char *text = valueAt(index);
    if (!text)
        return {};
    switch (m_kinds[size_t(index)]) {
    case Kind::Integer: {
        qlonglong number = 0;
        std::from_chars(text, text + std::strlen(text), number);
        return number;
    }
    case Kind::Float: return QString::fromLatin1(text).toDouble();
    case Kind::Date:
        if (const auto date = isoDate(text))
            return *date;
        return QString::fromLatin1(text);
    case Kind::Bool: return *text == 't';
    case Kind::Numeric: return QString::fromLatin1(text);
    case Kind::Text: break;
    }
    return QString::fromUtf8(text);
}

QString PostgreSqlRecordset::TextAt(int index) const
{
    if (m_kinds.at(size_t(index)) == Kind::Text) {
        const char *text = valueAt(index);
        return text ? QString::fromUtf8(text) : QString();
    }
    return DbRecordset::TextAt(index);
}

void PostgreSqlRecordset::AppendTextAt(int index, QString &text) const
{
    if (m_kinds.at(size_t(index)) == Kind::Text) {
        if (const char *value = valueAt(index)) {
            // Decoded straight into the reader's buffer: never more UTF-16
            // units than bytes.
            const qsizetype at = text.size();
            const int size = PQgetlength(m_result.get(), m_row, index);
            text.resize(at + size);
            QStringDecoder utf8(QStringDecoder::Utf8);
            const QChar *end = utf8.appendToBuffer(text.data() + at, QByteArrayView(value, size));
            text.truncate(end - text.constData());
        }
        return;
    }
    DbRecordset::AppendTextAt(index, text);
}

double PostgreSqlRecordset::NumberAt(int index) const
{
    const Kind kind = m_kinds.at(size_t(index));
    if (kind == Kind::Integer || kind == Kind::Numeric) {
        // The server's digits, as FieldValue reads them from the text.
        const char *text = valueAt(index);
        return text ? FieldValue::Number(QString::fromLatin1(text)) : 0.0;
    }
    return DbRecordset::NumberAt(index);
}

std::optional<qint64> PostgreSqlRecordset::IntegerAt(int index) const
{
    if (m_kinds.at(size_t(index)) == Kind::Integer) {
        const char *text = valueAt(index);
        if (!text)
            return std::nullopt;
        qint64 number = 0;
        const char *end = text + std::strlen(text);
        const auto [stop, error] = std::from_chars(text, end, number);
        if (error == std::errc() && stop == end)
            return number;
    }
    return DbRecordset::IntegerAt(index);
}

std::optional<QDate> PostgreSqlRecordset::DateAt(int index) const
{
    if (m_kinds.at(size_t(index)) == Kind::Date) {
        const char *text = valueAt(index);
        if (!text)
            return std::nullopt;
        // Years before 100 are no date to the suite: FieldValue says so below.
        if (const auto date = isoDate(text); date && date->year() >= 100)
            return date;
    }
    return DbRecordset::DateAt(index);
}
