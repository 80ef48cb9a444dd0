#include "core/settings/RegistryStore.h"

#include "core/settings/StoredText.h"

#include <QFileInfo>
#include <QStandardPaths>
#include <QStringTokenizer>
#include <QtEndian>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QString fold(QStringView text)
{
    return text.toString().toCaseFolded();
}

bool isHexDigit(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r';
}

void skipBlanks(QStringView line, qsizetype &pos)
{
    while (pos < line.size() && isBlank(line.at(pos)))
        ++pos;
}

// A quoted text starting at pos; pos ends after the closing quote.
std::optional<QString> readQuoted(QStringView line, qsizetype &pos)
{
    if (pos >= line.size() || line.at(pos) != u'"')
        return std::nullopt;
    QString text;
    for (++pos; pos < line.size(); ++pos) {
        const QChar c = line.at(pos);
        if (c == u'"') {
            ++pos;
            return text;
        }
        if (c == u'\\' && pos + 1 < line.size()
            && (line.at(pos + 1) == u'"' || line.at(pos + 1) == u'\\'))
            ++pos;
        text.append(line.at(pos));
    }
    return std::nullopt;
}

std::optional<RegistryValue> readData(QStringView line, qsizetype pos)
{
    RegistryValue value;
    if (const std::optional<QString> text = readQuoted(line, pos)) {
        value.type = RegistryValue::kString;
        value.data = text->toUtf8();
        value.data.append('\0');
    } else if (line.sliced(pos).startsWith(u"dword:", Qt::CaseInsensitive)) {
        pos += 6;
        const qsizetype start = pos;
        while (pos < line.size() && isHexDigit(line.at(pos)))
            ++pos;
        if (pos == start || pos - start > 8)
            return std::nullopt;
        const quint32 number = line.sliced(start, pos - start).toUInt(nullptr, 16);
        value.type = RegistryValue::kNumber;
        value.data.resize(4);
        qToLittleEndian(number, value.data.data());
    } else {
        return std::nullopt;
    }
    skipBlanks(line, pos);
    if (pos != line.size())
        return std::nullopt;
    return value;
}

// The key path of a section header, relative to root; nothing when the
// section belongs to the other root or is not a header at all.
std::optional<QString> sectionPath(QStringView line, RegRoot root)
{
    if (!line.endsWith(u']'))
        return std::nullopt;
    QStringView path = line.sliced(1, line.size() - 2).trimmed();
    const qsizetype separator = path.indexOf(u'\\');
    const QStringView first = separator < 0 ? path : path.first(separator);
    auto is = [first](QStringView name) { return first.compare(name, Qt::CaseInsensitive) == 0; };
    const bool userRoot = is(u"HKEY_CURRENT_USER") || is(u"HKCU");
    const bool machineRoot = is(u"HKEY_LOCAL_MACHINE") || is(u"HKLM");
    if (userRoot || machineRoot) {
        if (userRoot != (root == RegRoot::CurrentUser))
            return std::nullopt;
        path = path.sliced(std::min(first.size() + 1, path.size()));
    }
    return fold(path);
}

} // namespace

QString RegistryValue::text() const
{
    const qsizetype nul = data.indexOf('\0');
    return QString::fromUtf8(nul < 0 ? data : data.first(nul));
}

QString RegistryStore::filePath(RegRoot root)
{
    const bool user = root == RegRoot::CurrentUser;
    const char *variable = user ? "PARLOW6_USER_REGISTRY" : "PARLOW6_MACHINE_REGISTRY";
    const QString fileName = user ? u"user.reg"_s : u"machine.reg"_s;
    if (qEnvironmentVariableIsSet(variable)) {
        const QString path = qEnvironmentVariable(variable);
        return QFileInfo(path).isDir() ? path % u'/' % fileName : path;
    }

    const QString relative = u"Veltrane/"_s % fileName;
    if (user)
        return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) % u'/' % relative;
    // The first location is the user's own; the machine store is one of the rest.
    const QStringList locations = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    for (qsizetype i = 1; i < locations.size(); ++i) {
        const QString candidate = locations.at(i) % u'/' % relative;
        if (QFileInfo::exists(candidate))
            return candidate;
    }
    return u"/etc/xdg/"_s % relative;
}

RegistryStore RegistryStore::load(RegRoot root)
{
    return parse(StoredText::ReadFile(filePath(root)).text(), root);
}

RegistryStore RegistryStore::parse(const QString &text, RegRoot root)
{
    RegistryStore store;
    std::optional<QString> key;
    for (QStringView rawLine : QStringTokenizer(text, u'\n')) {
        const QStringView line = rawLine.trimmed();
        if (line.startsWith(u'[')) {
            key = sectionPath(line, root);
            if (key)
                store.m_keys[*key];
            continue;
        }
        if (!key)
            continue;

        qsizetype pos = 0;
        std::optional<QString> name;
        if (line.startsWith(u'@')) {
            name = QString();
            pos = 1;
        } else {
            name = readQuoted(line, pos);
        }
        if (!name)
            continue;
        skipBlanks(line, pos);
        if (pos >= line.size() || line.at(pos) != u'=')
            continue;
        ++pos;
        skipBlanks(line, pos);
        if (std::optional<RegistryValue> value = readData(line, pos))
            store.m_keys[*key].insert(fold(*name), std::move(*value));
    }
    return store;
}

bool RegistryStore::hasKey(const QString &keyPath) const
{
    const QString wanted = fold(keyPath.trimmed());
    if (wanted.isEmpty() || m_keys.contains(wanted))
        return true;
    const QString prefix = wanted % u'\\';
    for (auto it = m_keys.keyBegin(); it != m_keys.keyEnd(); ++it) {
        if (it->startsWith(prefix))
            return true;
    }
    return false;
}

std::optional<RegistryValue> RegistryStore::value(const QString &keyPath, const QString &valueName) const
{
    const auto key = m_keys.constFind(fold(keyPath.trimmed()));
    if (key == m_keys.constEnd())
        return std::nullopt;
    const auto found = key->constFind(fold(valueName));
    if (found == key->constEnd())
        return std::nullopt;
    return *found;
}
