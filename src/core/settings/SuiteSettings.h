#pragma once

#include <QString>

// The slots this component reads.
namespace SettingSlot {
inline constexpr qint32 WindowSizeIndex = 23; // 2: the fixed-ratio layout, which ignores resizes
}

// The suite's settings, read the way every program of the suite reads them so
// that one installation's settings mean the same to all of them. Nothing is
// cached, so a change an administrator makes counts at the next read; and a
// missing store, key or value is never an error, because most installations
// set almost nothing. clsParlow6dl makes one per Show() and lends it to the
// screens; a test makes its own over a folder of its choosing.
class SuiteSettings final
{
public:
    // Over the per-user data folder, created when missing: Veltrane/Parlow6
    // in $PARLOW6_APPDATA when set (set to nothing, or to a relative path, it
    // means "cannot be told"), else in the XDG data home ($XDG_DATA_HOME,
    // ~/.local/share); the folder of the component's own file when it cannot
    // be told. Throws DataFolderError when a folder cannot be created.
    static SuiteSettings Resolve();
    // Over dataFolder as it is; without one there is no parlow.ini.
    explicit SuiteSettings(QString dataFolder = QString());

    // Without a trailing separator.
    const QString &dataFolder() const { return m_dataFolder; }

    // Settings are numbered slots with fixed names (slots 19, 30, 31, 0 and
    // unknown numbers take valueName instead; no name reads nothing). A user
    // who has a per-user key gets only that key. Otherwise paths that are the
    // same for every user of a machine come from the machine store, slot 0
    // from parlow.ini before the machine store, and everything else from
    // parlow.ini.
    QString setting(qint32 slot, const QString &defaultValue, const QString &valueName = QString()) const;

    // key of section Parlow6 in parlow.ini, at most 1023 bytes; the default
    // when the file, section or key is missing, "" for a key with no value.
    QString ini(const QString &key, const QString &defaultValue) const;
    // Sets key of section Parlow6 in parlow.ini, everything else and the
    // file's encoding kept. False when the folder or the file cannot be written.
    bool writeIni(const QString &key, const QString &value) const;
    // The INI text with key set to value in section, everything else kept as
    // it was; the section is added at the end when missing.
    static QString withKey(const QString &ini, const QString &section, const QString &key, const QString &value);

    // How long a statement waits for another operator's lock: LockTimeout in
    // parlow.ini, in seconds (fractions allowed, up to an hour); defaultMs
    // when it is missing or not such a number.
    int lockTimeoutMs(int defaultMs) const;

private:
    QString iniPath() const;

    QString m_dataFolder;
};
