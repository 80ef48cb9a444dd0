#include "core/import/ColumnMemory.h"

#include "core/settings/StoredText.h"
#include "core/settings/SuiteSettings.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringEncoder>

using namespace Qt::StringLiterals;

namespace ColumnMemory {

namespace {

const QString Section = u"Parlow6"_s;

QString iniPath()
{
    const QString folder = DataFolder();
    return folder.isEmpty() ? QString() : QDir(folder).filePath(u"parlow.ini"_s);
}

} // namespace

std::optional<CsvColumns> recall(const QString &key)
{
    if (iniPath().isEmpty())
        return std::nullopt;
    return CsvColumns::fromText(ReadSuiteIni(Section, key, QString()));
}

QString withKey(const QString &ini, const QString &section, const QString &key, const QString &value)
{
    const QString eol = ini.contains(u"\r\n"_s) || ini.isEmpty() ? u"\r\n"_s : u"\n"_s;
    QStringList lines = ini.split(u'\n');
    const bool endsInBreak = ini.endsWith(u'\n');
    if (endsInBreak)
        lines.removeLast();
    const QString entry = key + u'=' + value + (eol == u"\r\n" ? u"\r"_s : QString());
    qsizetype sectionAt = -1, lastInSection = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        if (line.startsWith(u'[')) {
            if (sectionAt >= 0)
                break;
            if (line.endsWith(u']') && line.mid(1, line.size() - 2).trimmed().compare(section, Qt::CaseInsensitive) == 0)
                sectionAt = lastInSection = i;
            continue;
        }
        if (sectionAt < 0)
            continue;
        if (!line.isEmpty())
            lastInSection = i;
        const qsizetype eq = line.indexOf(u'=');
        if (!line.startsWith(u';') && eq > 0 && line.first(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0) {
            lines[i] = entry;
            return lines.join(u'\n') + (endsInBreak ? u"\n"_s : QString());
        }
    }
    if (sectionAt >= 0) {
        lines.insert(lastInSection + 1, entry);
        return lines.join(u'\n') + (endsInBreak ? u"\n"_s : QString());
    }
    QString text = ini;
    if (!text.isEmpty() && !endsInBreak)
        text += eol;
    return text + u'[' + section + u']' + eol + key + u'=' + value + eol;
}

bool remember(const QString &key, const CsvColumns &columns)
{
    const QString path = iniPath();
    if (path.isEmpty())
        return false;
    QByteArray bytes;
    if (QFile file(path); file.exists()) {
        if (!file.open(QIODevice::ReadOnly))
            return false;
        bytes = file.readAll();
    }
    const StoredText stored = StoredText::decode(bytes);
    const QString text = withKey(stored.text(), Section, key, columns.toText());
    // The file stays in the encoding it had: the suite's other programs read it too.
    QByteArray out;
    if (stored.encoding() == StoredText::Encoding::Cp932)
        out = QStringEncoder("windows-31j").encode(text);
    else if (stored.encoding() == StoredText::Encoding::Latin1)
        out = text.toLatin1();
    else
        out = (bytes.startsWith("\xEF\xBB\xBF") ? QByteArray("\xEF\xBB\xBF") : QByteArray()) + text.toUtf8();
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(out) == out.size() && file.commit();
}

} // namespace ColumnMemory
