#include "core/settings/ProfileString.h"

#include "core/settings/StoredText.h"

#include <QStringTokenizer>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

// Blanks as the profile reader sees them: spaces and tabs (and a stray CR).
QStringView trimmedBlanks(QStringView text)
{
    auto isBlank = [](QChar c) { return c == u' ' || c == u'\t' || c == u'\r'; };
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin)))
        ++begin;
    while (end > begin && isBlank(text.at(end - 1)))
        --end;
    return text.sliced(begin, end - begin);
}

bool sameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The raw value of key in the first section named section, or nothing.
std::optional<QStringView> findValue(QStringView text, QStringView section, QStringView key)
{
    bool inSection = false;
    for (QStringView rawLine : QStringTokenizer(text, u'\n')) {
        const QStringView line = trimmedBlanks(rawLine);
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[')) {
            // Leaving the first matching section ends the search.
            if (inSection)
                return std::nullopt;
            const qsizetype close = line.lastIndexOf(u']');
            const QStringView name = close > 0 ? line.sliced(1, close - 1) : line.sliced(1);
            inSection = sameName(trimmedBlanks(name), section);
            continue;
        }
        if (!inSection)
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0)
            continue;
        if (sameName(trimmedBlanks(line.first(equals)), key))
            return trimmedBlanks(line.sliced(equals + 1));
    }
    return std::nullopt;
}

QStringView withoutQuotes(QStringView value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'')
        && value.back() == value.front())
        return value.sliced(1, value.size() - 2);
    return value;
}

} // namespace

QString ReadProfileString(const QString &section, const QString &key, const QString &defaultValue,
                          qsizetype bufferBytes, const QString &filePath)
{
    const qsizetype room = bufferBytes > 0 ? bufferBytes - 1 : 0;
    const StoredText file = StoredText::readFile(filePath);
    const std::optional<QStringView> value =
        findValue(file.text(), trimmedBlanks(section), trimmedBlanks(key));
    if (value)
        return StoredText::cutToBytes(withoutQuotes(*value).toString(), room, file.encoding());

    QStringView fallback = defaultValue;
    while (fallback.endsWith(u' '))
        fallback.chop(1);
    return StoredText::cutToBytes(fallback.toString(), room, StoredText::Encoding::Utf8);
}
