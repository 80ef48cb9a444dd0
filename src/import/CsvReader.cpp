#include "import/CsvReader.h"

using namespace Qt::StringLiterals;

namespace {

// Reads one field from pos on and leaves pos on what ends it. Line breaks
// inside quotes advance line. False when the field is malformed.
bool readField(QStringView text, qsizetype &pos, int &line, QString &field, QString &error)
{
    const qsizetype n = text.size();
    const auto endsField = [&](qsizetype at) {
        return at >= n || text[at] == u',' || text[at] == u'\r' || text[at] == u'\n';
    };
    if (pos >= n || text[pos] != u'"') {
        const qsizetype start = pos;
        while (!endsField(pos))
            ++pos;
        field = text.sliced(start, pos - start).toString();
        return true;
    }
    // A doubled quote is one; a quote alone closes the field.
    for (++pos; pos < n && !(text[pos] == u'"' && (pos + 1 >= n || text[pos + 1] != u'"')); ++pos) {
        if (text[pos] == u'"')
            ++pos;
        else if (text[pos] == u'\n' || (text[pos] == u'\r' && (pos + 1 >= n || text[pos + 1] != u'\n')))
            ++line;
        field += text[pos];
    }
    if (pos >= n) {
        error = u"引用符 \" が閉じていません"_s;
        return false;
    }
    if (!endsField(++pos)) {
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
