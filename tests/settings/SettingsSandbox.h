#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <optional>
#include <utility>
#include <vector>

// A private world of settings for one test: both registry stores and the
// application-data folder point into a temporary folder, and the environment
// is put back when the sandbox goes.
class SettingsSandbox final
{
public:
    SettingsSandbox();
    ~SettingsSandbox();
    SettingsSandbox(const SettingsSandbox &) = delete;
    SettingsSandbox &operator=(const SettingsSandbox &) = delete;

    bool isValid() const { return m_dir.isValid(); }
    QString path(const QString &relative) const { return m_dir.filePath(relative); }
    QString userStore() const { return path(QStringLiteral("user.reg")); }
    QString machineStore() const { return path(QStringLiteral("machine.reg")); }
    QString appData() const { return path(QStringLiteral("appdata")); }

    void setEnv(const char *name, const QString &value);
    void unsetEnv(const char *name);

    // Writes bytes, making the folders on the way; a null array writes nothing.
    static bool writeFile(const QString &path, const QByteArray &bytes);
    // Everything below the sandbox, relative and sorted; folders end in '/'.
    QStringList entries() const;

private:
    void remember(const char *name);

    QTemporaryDir m_dir;
    std::vector<std::pair<QByteArray, std::optional<QByteArray>>> m_savedEnv;
};
