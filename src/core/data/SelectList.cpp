#include "core/data/SelectList.h"

using namespace Qt::StringLiterals;

namespace {

QString nameOf(QString item)
{
    item = item.trimmed();
    const qsizetype as = item.lastIndexOf(u" AS "_s, -1, Qt::CaseInsensitive);
    if (as >= 0)
        item = item.mid(as + 4).trimmed();
    // [name] as the suite writes it, "name" as PostgreSQL does.
    if (item.endsWith(u']') || item.endsWith(u'"')) {
        const qsizetype open = item.endsWith(u']') ? item.lastIndexOf(u'[') : item.lastIndexOf(u'"', -2);
        if (open >= 0)
            return item.mid(open + 1, item.size() - open - 2);
    }
    return item;
}

} // namespace

namespace SelectList {

QStringList ColumnNames(const QString &statement)
{
    const QString text = statement.trimmed();
    if (!text.startsWith(u"SELECT "_s, Qt::CaseInsensitive))
        return {};
    QStringList names;
    QString item;
    int depth = 0;
    bool inBracket = false;
    bool inName = false;
    bool inQuote = false;
    for (qsizetype i = 7; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (inQuote) {
            inQuote = c != u'\'';
        } else if (inBracket) {
            inBracket = c != u']';
        } else if (inName) {
            inName = c != u'"';
        } else if (c == u'"') {
            inName = true;
        } else if (c == u'\'') {
            inQuote = true;
        } else if (c == u'[') {
            inBracket = true;
        } else if (c == u'(') {
            ++depth;
        } else if (c == u')') {
            --depth;
        } else if (depth == 0 && c == u',') {
            names.append(nameOf(item));
            item.clear();
            continue;
        } else if (depth == 0 && text.mid(i, 6).compare(u" FROM "_s, Qt::CaseInsensitive) == 0) {
            names.append(nameOf(item));
            return names;
        }
        item += c;
    }
    names.append(nameOf(item));
    return names;
}

} // namespace SelectList
