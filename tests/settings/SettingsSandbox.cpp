#include "SettingsSandbox.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

SettingsSandbox::SettingsSandbox()
{
    QDir(m_dir.path()).mkdir(u"appdata"_s);
    setEnv("PARLOW6_USER_REGISTRY", userStore());
    setEnv("PARLOW6_MACHINE_REGISTRY", machineStore());
    setEnv("PARLOW6_APPDATA", appData());
}

SettingsSandbox::~SettingsSandbox()
{
    for (auto it = m_savedEnv.rbegin(); it != m_savedEnv.rend(); ++it) {
        if (it->second)
            qputenv(it->first.constData(), *it->second);
        else
            qunsetenv(it->first.constData());
    }
}

void SettingsSandbox::remember(const char *name)
{
    const bool seen = std::any_of(m_savedEnv.cbegin(), m_savedEnv.cend(),
                                  [name](const auto &saved) { return saved.first == name; });
    if (seen)
        return;
    std::optional<QByteArray> old;
    if (qEnvironmentVariableIsSet(name))
        old = qgetenv(name);
    m_savedEnv.emplace_back(QByteArray(name), old);
}

void SettingsSandbox::setEnv(const char *name, const QString &value)
{
    remember(name);
    qputenv(name, QFile::encodeName(value));
}

void SettingsSandbox::unsetEnv(const char *name)
{
    remember(name);
    qunsetenv(name);
}

bool SettingsSandbox::writeFile(const QString &path, const QByteArray &bytes)
{
    if (bytes.isNull())
        return true;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QStringList SettingsSandbox::entries() const
{
    QStringList found;
    const QDir root(m_dir.path());
    QDirIterator it(m_dir.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QString relative = root.relativeFilePath(it.filePath());
        found << (it.fileInfo().isDir() ? relative % u'/' : relative);
    }
    found.sort();
    return found;
}
