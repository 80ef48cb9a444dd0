#include "core/settings/SuiteSettings.h"

#include "core/settings/DataFolderError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <dlfcn.h>

using namespace Qt::StringLiterals;

namespace {

// Any object of this library: dladdr names the file it was loaded from.
const char kComponentAnchor = 0;

// The folder of the file that holds the component: the shared library when a
// host loaded it, the program itself when it was linked in.
QString ComponentFolder()
{
    Dl_info info{};
    if (dladdr(&kComponentAnchor, &info) != 0 && info.dli_fname != nullptr) {
        const QFileInfo file(QFile::decodeName(info.dli_fname));
        // The main program may be named as it was started, relative to who knows where.
        if (file.isAbsolute())
            return file.absolutePath();
    }
    if (QCoreApplication::instance() != nullptr)
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QFileInfo(u"/proc/self/exe"_s).symLinkTarget()).absolutePath();
}

void createFolder(const QString &path)
{
    if (!QDir().mkdir(path))
        throw DataFolderError(path);
}

// The XDG rules ask for a missing data home to be made, private to the user;
// on a fresh account ~/.local/share often is not there yet.
void ensureAppDataFolder(const QString &path)
{
    if (QFileInfo::exists(path))
        return;
    if (!QDir().mkpath(path))
        throw DataFolderError(path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// The user's application-data folder, or "" when it cannot be told.
QString appDataFolder()
{
    const QString folder = qEnvironmentVariableIsSet("PARLOW6_APPDATA")
                               ? qEnvironmentVariable("PARLOW6_APPDATA")
                               : QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (folder.isEmpty() || QDir::isRelativePath(folder))
        return QString();
    return QDir::cleanPath(folder);
}

} // namespace

SuiteSettings::SuiteSettings(QString dataFolder) : m_dataFolder(std::move(dataFolder)) {}

SuiteSettings SuiteSettings::Resolve()
{
    const QString appData = appDataFolder();
    if (appData.isEmpty())
        return SuiteSettings(ComponentFolder());

    SuiteSettings settings(appData % u"/Veltrane/Parlow6");
    // Something already there, even a file, is left as it is.
    if (QFileInfo::exists(settings.m_dataFolder))
        return settings;
    const QString parent = appData % u"/Veltrane";
    if (!QFileInfo::exists(parent)) {
        ensureAppDataFolder(appData);
        createFolder(parent);
    }
    createFolder(settings.m_dataFolder);
    return settings;
}

QString SuiteSettings::iniPath() const
{
    // Before the data folder is known there is no parlow.ini to read.
    return m_dataFolder.isEmpty() ? QString() : m_dataFolder % u"/parlow.ini";
}
