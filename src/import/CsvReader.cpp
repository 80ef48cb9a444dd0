#include "import/CsvReader.h"

using namespace Qt::StringLiterals;

namespace {

bool endsField(QChar c)
{
    return c == u',' || c == u'\r' || c == u'\n';
}

// Reads one field from pos on and leaves pos on what ends it. Line breaks
// inside quotes advance line. False when the field is malformed.
bool readField(QStringView text, qsizetype &pos, int &line, QString &field, QString &error)
{
    const qsizetype n = text.size();
    if (pos >= n || text[pos] != u'"') {
        const qsizetype start = pos;
        while (pos < n && !endsField(text[pos]))
            ++pos;
        field = text.sliced(start, pos - start).toString();
        return true;
    }
    ++pos;
    for (;;) {
        if (pos >= n) {
            error = u"引用符 \" が閉じていません"_s;
            return false;
        }
        const QChar c = text[pos++];
        if (c == u'"') {
            if (pos < n && text[pos] == u'"') {
                field += u'"';
                ++pos;
                continue;
            }
            break;
        }
        if (c == u'\n' || (c == u'\r' && !(pos < n && text[pos] == u'\n')))
            ++line;
        field += c;
    }
    if (pos < n && !endsField(text[pos])) {
        error = u"閉じた引用符の後に文字があります"_s;
        return false;
    }
    return true;
}

} // namespace

bool CsvReader::read(QStringView text, const std::function<bool(Record &)> &visit, QString &error)
{
    const qsizetype n = text.size();
    qsizetype pos = 0;
    int line = 1;
    while (pos < n) {
        Record record;
        record.line = line;
        qsizetype fields = 0;
        for (;;) {
            QString field;
            if (!readField(text, pos, line, field, error)) {
                // An unclosed quote swallows the rest: the record's first line is the one to fix.
                error = u"%1行目: %2"_s.arg(pos >= n ? record.line : line).arg(error);
                return false;
            }
            // Beyond the limit fields are only counted, for the refusal.
            if (++fields <= MaxFields)
                record.fields.append(field);
            if (pos < n && text[pos] == u',') {
                ++pos;
                continue;
            }
            break;
        }
        if (fields > MaxFields) {
            error = u"%1行目: 列が多すぎます（%2 列。読めるのは %3 列まで）"_s.arg(record.line).arg(fields).arg(MaxFields);
            return false;
        }
        if (pos < n && text[pos] == u'\r')
            ++pos;
        if (pos < n && text[pos] == u'\n')
            ++pos;
        ++line;
        if (!visit(record))
            break;
    }
    return true;
}
