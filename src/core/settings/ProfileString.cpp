#include "core/settings/ProfileString.h"

#include "core/settings/StoredText.h"

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

QStringView withoutQuotes(QStringView value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'')
        && value.back() == value.front())
        return value.sliced(1, value.size() - 2);
    return value;
}

} // namespace

ProfileSpot FindProfileKey(const QList<QStringView> &lines, QStringView section, QStringView key)
{
    ProfileSpot spot;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringView line = trimmedBlanks(lines.at(i));
        if (line.isEmpty())
            continue;
        if (line.startsWith(u'[')) {
            // Leaving the first matching section ends the search.
            if (spot.section >= 0)
                break;
            const qsizetype close = line.lastIndexOf(u']');
            if (sameName(trimmedBlanks(close > 0 ? line.sliced(1, close - 1) : line.sliced(1)), section))
                spot.section = spot.lastInSection = i;
            continue;
        }
        if (spot.section < 0)
            continue;
        spot.lastInSection = i;
        const qsizetype equals = line.indexOf(u'=');
        if (!line.startsWith(u';') && equals >= 0 && sameName(trimmedBlanks(line.first(equals)), key)) {
            spot.key = i;
            spot.value = trimmedBlanks(line.sliced(equals + 1));
            break;
        }
    }
    return spot;
}

QString ReadProfileString(const QString &section, const QString &key, const QString &defaultValue,
                          qsizetype bufferBytes, const QString &filePath)
{
    const qsizetype room = bufferBytes > 0 ? bufferBytes - 1 : 0;
    const DecodedText file = StoredText::ReadFile(filePath);
    const ProfileSpot spot =
        FindProfileKey(QStringView(file.text()).split(u'\n'), trimmedBlanks(section), trimmedBlanks(key));
    if (spot.key >= 0)
        return StoredText::CutToBytes(withoutQuotes(spot.value).toString(), room, file.encoding());

    QStringView fallback = defaultValue;
    while (fallback.endsWith(u' '))
        fallback.chop(1);
    return StoredText::CutToBytes(fallback.toString(), room, TextEncoding::Utf8);
}
