#include "core/data/SqliteRecordset.h"

#include "core/data/FieldValue.h"
#include "core/data/SqliteHandle.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {

QString errorText(sqlite3 *handle)
{
    return QString::fromUtf8(sqlite3_errmsg(handle));
}

bool isAscii(const unsigned char *bytes, int size)
{
    return std::all_of(bytes, bytes + size, [](unsigned char c) { return c < 0x80; });
}

// Well-formed UTF-8 into UTF-16 from out[at] on, false (out as it was) for
// anything else. SQLite's own conversion (what Qt's driver reads) agrees
// with this one on every text it accepts; U+FFFE and U+FFFF, which SQLite
// replaces, are left to it too.
bool decodeUtf8(const unsigned char *bytes, int size, QString &out, qsizetype at)
{
    out.resize(at + size); // never more UTF-16 units than bytes
    char16_t *const first = reinterpret_cast<char16_t *>(out.data()) + at;
    char16_t *to = first;
    // Phone numbers, dates, shop codes: plain ASCII widens in one sweep.
    unsigned char any = 0;
    for (int i = 0; i < size; ++i)
        any |= bytes[i];
    if (any < 0x80) {
        std::copy(bytes, bytes + size, to);
        return true;
    }
    const unsigned char *end = bytes + size;
    bool wellFormed = true;
    while (bytes < end && wellFormed) {
        const unsigned lead = *bytes;
        if (lead < 0x80) {
            *to++ = char16_t(lead);
            ++bytes;
            continue;
        }
        const auto follows = [&](int i) { return (bytes[i] & 0xc0) == 0x80; };
        char32_t c = 0;
        int length = 0;
        if (lead >= 0xe0 && lead < 0xf0 && end - bytes >= 3 && follows(1) && follows(2)) {
            // Japanese text is almost all three-byte characters.
            c = ((lead & 0x0f) << 12) | ((bytes[1] & 0x3f) << 6) | (bytes[2] & 0x3f);
            wellFormed = c >= 0x800 && (c < 0xd800 || c > 0xdfff) && c < 0xfffe;
            length = 3;
        } else if (lead >= 0xc2 && lead < 0xe0 && end - bytes >= 2 && follows(1)) {
            c = ((lead & 0x1f) << 6) | (bytes[1] & 0x3f);
            length = 2;
        } else if (lead >= 0xf0 && lead < 0xf5 && end - bytes >= 4 && follows(1) && follows(2) && follows(3)) {
            c = ((lead & 0x07) << 18) | ((bytes[1] & 0x3f) << 12) | ((bytes[2] & 0x3f) << 6) | (bytes[3] & 0x3f);
            wellFormed = c >= 0x10000 && c <= 0x10ffff;
            if (wellFormed) {
                *to++ = char16_t(0xd800 + ((c - 0x10000) >> 10));
                c = 0xdc00 + ((c - 0x10000) & 0x3ff);
            }
            length = 4;
        } else {
            wellFormed = false;
        }
        *to++ = char16_t(c);
        bytes += length;
    }
    out.truncate(wellFormed ? at + (to - first) : at);
    return wellFormed;
}

} // namespace

SqliteRecordset::SqliteRecordset(std::shared_ptr<SqliteHandle> handle, QSqlDatabase database,
                                 const QString &statement)
    : m_handle(std::move(handle)), m_database(std::move(database))
{
    sqlite3 *db = m_handle->get();
    const QByteArray sql = statement.toUtf8();
    const char *tail = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &m_statement, &tail) != SQLITE_OK)
        throw DbError(errorText(db));
    if (!m_statement)
        throw DbError(u"実行する文がありません。"_s);
    m_handle->attach(this);
    try {
        // Like Qt's driver: one statement at a time.
        if (!QByteArrayView(tail, sql.constData() + sql.size() - tail).trimmed().isEmpty())
            throw DbError(u"一度に実行できる文は一つだけです。"_s);
        const int columns = sqlite3_column_count(m_statement);
        m_names.reserve(columns);
        for (int i = 0; i < columns; ++i)
            m_names.append(QString::fromUtf8(sqlite3_column_name(m_statement, i)).remove(u'"'));
        m_cache.resize(std::size_t(columns));
        step();
        // A statement without a result is done with its first step.
        if (columns == 0)
            Close();
    } catch (...) {
        Close();
        throw;
    }
}

SqliteRecordset::~SqliteRecordset()
{
    Close();
}

void SqliteRecordset::step()
{
    const int result = sqlite3_step(m_statement);
    m_onRow = result == SQLITE_ROW;
    if (m_onRow)
        return;
    // A damaged file, a lock held too long or a failed constraint ends the
    // result with SQLite's own text.
    const QString failure = result == SQLITE_DONE ? QString() : errorText(m_handle->get());
    Close();
    if (result != SQLITE_DONE)
        throw DbError(failure);
}

void SqliteRecordset::MoveNext()
{
    requireRow();
    step();
}

void SqliteRecordset::Close()
{
    // Closing twice is harmless: readers close in cleanup paths too.
    m_onRow = false;
    if (!m_statement)
        return;
    sqlite3_finalize(std::exchange(m_statement, nullptr));
    m_handle->detach(this);
}

int SqliteRecordset::typeAt(int index) const
{
    requireColumn(index);
    return sqlite3_column_type(m_statement, index);
}

QString SqliteRecordset::textAt(int index) const
{
    const auto *utf8 = reinterpret_cast<const char *>(sqlite3_column_text(m_statement, index));
    const int size = sqlite3_column_bytes(m_statement, index);
    ColumnCache &cache = m_cache[std::size_t(index)];
    if (cache.pooling) {
        for (int i = 0; i < cache.pooled; ++i) {
            const QByteArray &known = cache.utf8[std::size_t(i)];
            if (known.size() != size || (size > 0 && known.front() != utf8[0])
                || std::memcmp(known.constData(), utf8, std::size_t(size)) != 0)
                continue;
            // Each hit moves a step forward: the common values end up first.
            if (i > 0) {
                std::swap(cache.utf8[std::size_t(i)], cache.utf8[std::size_t(i - 1)]);
                std::swap(cache.texts[std::size_t(i)], cache.texts[std::size_t(i - 1)]);
                --i;
            }
            return cache.texts[std::size_t(i)];
        }
    }
    // Someone still holds the last one: this one gets its own.
    QString &text = cache.scratch;
    if (!text.isDetached())
        text = QString();
    if (!decodeUtf8(reinterpret_cast<const unsigned char *>(utf8), size, text, 0)) {
        // Anything else as SQLite itself turns it into UTF-16, as Qt's
        // driver reads it: a malformed byte comes out the same either way.
        const void *utf16 = sqlite3_column_text16(m_statement, index);
        return QString(static_cast<const QChar *>(utf16), sqlite3_column_bytes16(m_statement, index) / 2);
    }
    if (!cache.pooling)
        return text;
    if (cache.pooled == ColumnCache::PoolSize) {
        cache.pooling = false;
        cache.utf8 = {};
        cache.texts = {};
        return text;
    }
    const auto at = std::size_t(cache.pooled++);
    cache.utf8[at] = QByteArray(utf8, size);
    // The pool keeps its own string; the scratch one is free again.
    cache.texts[at] = std::exchange(text, QString());
    return cache.texts[at];
}

QVariant SqliteRecordset::ValueAt(int index) const
{
    switch (typeAt(index)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return qlonglong(sqlite3_column_int64(m_statement, index));
    case SQLITE_FLOAT:
        return sqlite3_column_double(m_statement, index);
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char *>(sqlite3_column_blob(m_statement, index)),
                          sqlite3_column_bytes(m_statement, index));
    default:
        return textAt(index);
    }
}

QString SqliteRecordset::TextAt(int index) const
{
    switch (typeAt(index)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return QString::number(sqlite3_column_int64(m_statement, index));
    case SQLITE_TEXT:
        return textAt(index);
    default:
        return DbRecordset::TextAt(index);
    }
}

void SqliteRecordset::AppendTextAt(int index, QString &text) const
{
    if (typeAt(index) != SQLITE_TEXT) {
        DbRecordset::AppendTextAt(index, text);
        return;
    }
    const unsigned char *utf8 = sqlite3_column_text(m_statement, index);
    const int size = sqlite3_column_bytes(m_statement, index);
    if (!decodeUtf8(utf8, size, text, text.size()))
        text += textAt(index);
}

double SqliteRecordset::NumberAt(int index) const
{
    switch (typeAt(index)) {
    case SQLITE_NULL:
        return 0.0;
    case SQLITE_INTEGER:
        return double(sqlite3_column_int64(m_statement, index));
    case SQLITE_TEXT:
        return FieldValue::Number(textAt(index));
    default:
        return DbRecordset::NumberAt(index);
    }
}

std::optional<qint64> SqliteRecordset::IntegerAt(int index) const
{
    switch (typeAt(index)) {
    case SQLITE_NULL:
        return std::nullopt;
    case SQLITE_INTEGER:
        return sqlite3_column_int64(m_statement, index);
    default:
        return DbRecordset::IntegerAt(index);
    }
}

std::optional<QDate> SqliteRecordset::DateAt(int index) const
{
    const int type = typeAt(index);
    if (type == SQLITE_NULL)
        return std::nullopt;
    if (type != SQLITE_TEXT)
        return DbRecordset::DateAt(index);
    // Dates are short ASCII texts: read in place, without a QString.
    constexpr int Longest = 40;
    const unsigned char *utf8 = sqlite3_column_text(m_statement, index);
    const int size = sqlite3_column_bytes(m_statement, index);
    ColumnCache &cache = m_cache[std::size_t(index)];
    if (size == cache.dateSize && std::memcmp(cache.dateBytes.data(), utf8, std::size_t(size)) == 0)
        return cache.date;
    if (size > Longest || !isAscii(utf8, size))
        return FieldValue::ParseDate(textAt(index));
    const std::optional<QDate> date = parseAsciiDate(utf8, size);
    if (size <= int(cache.dateBytes.size())) {
        std::copy(utf8, utf8 + size, cache.dateBytes.begin());
        cache.dateSize = size;
        cache.date = date;
    }
    return date;
}

std::optional<QDate> SqliteRecordset::parseAsciiDate(const unsigned char *utf8, int size)
{
    // The stored form "YYYY/MM/DD" is read straight away.
    const auto digit = [utf8](int at) { return utf8[at] >= '0' && utf8[at] <= '9' ? utf8[at] - '0' : -100000; };
    if (size == 10 && utf8[4] == '/' && utf8[7] == '/') {
        const int year = digit(0) * 1000 + digit(1) * 100 + digit(2) * 10 + digit(3);
        const int month = digit(5) * 10 + digit(6);
        const int day = digit(8) * 10 + digit(9);
        // The Gregorian calendar QDate uses, worked out here: this runs for
        // every date of a long search.
        constexpr int Days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
        if (year >= 100 && month >= 1 && month <= 12 && day >= 1
            && day <= Days[month - 1] + (month == 2 && leap ? 1 : 0)) {
            const int a = (14 - month) / 12;
            const qint64 y = year + 4800 - a;
            const int m = month + 12 * a - 3;
            return QDate::fromJulianDay(day + (153 * m + 2) / 5 + 365 * y + y / 4 - y / 100 + y / 400 - 32045);
        }
    }
    char16_t units[64];
    std::copy(utf8, utf8 + size, units);
    return FieldValue::ParseDate(QStringView(units, size));
}
