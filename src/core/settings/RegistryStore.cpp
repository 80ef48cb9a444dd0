#include "core/settings/RegistryStore.h"

#include "core/settings/StoredText.h"

#include <QFileInfo>
#include <QRegularExpression>
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

// A quoted text as written: \" and \\ stand for " and \, any other backslash is kept.
QString unescaped(QStringView quoted)
{
    static const QRegularExpression escape(uR"re(\\(["\\]))re"_s);
    return quoted.toString().replace(escape, u"\\1"_s);
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
    // @ or a quoted name, '=', and a quoted text or "dword:" with up to eight hex digits.
    static const QRegularExpression valueLine(
        uR"re(^(?:@|"((?:[^"\\]|\\.)*)")[ \t\r]*=[ \t\r]*(?:"((?:[^"\\]|\\.)*)"|dword:([0-9a-f]{1,8}))$)re"_s,
        QRegularExpression::CaseInsensitiveOption);
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
        const QRegularExpressionMatch match = valueLine.match(line);
        if (!key || !match.hasMatch())
            continue;
        RegistryValue value;
        if (match.hasCaptured(3)) {
            value.type = RegistryValue::kNumber;
            value.data.resize(4);
            qToLittleEndian(match.capturedView(3).toUInt(nullptr, 16), value.data.data());
        } else {
            value.type = RegistryValue::kString;
            value.data = unescaped(match.capturedView(2)).toUtf8() + '\0';
        }
        store.m_keys[*key].insert(fold(unescaped(match.capturedView(1))), std::move(value));
    }
    return store;
}

bool RegistryStore::hasKey(const QString &keyPath) const
{
    const QString wanted = fold(keyPath.trimmed());
    if (wanted.isEmpty() || m_keys.contains(wanted))
        return true;
    const QString prefix = wanted % u'\\';
    return std::any_of(m_keys.keyBegin(), m_keys.keyEnd(),
                       [&prefix](const QString &key) { return key.startsWith(prefix); });
}

std::optional<RegistryValue> RegistryStore::value(const QString &keyPath, const QString &valueName) const
{
    const QHash<QString, RegistryValue> values = m_keys.value(fold(keyPath.trimmed()));
    const auto found = values.constFind(fold(valueName));
    return found == values.constEnd() ? std::nullopt : std::optional<RegistryValue>(*found);
}
