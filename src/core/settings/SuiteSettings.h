#pragma once

#include <QString>

// The suite's settings, read the way every program of the suite reads them so
// that one installation's settings mean the same to all of them. Nothing is
// cached, so a change an administrator makes counts at the next read; and a
// missing store, key or value is never an error, because most installations
// set almost nothing.
//
// Settings are numbered slots with fixed names (slots 19, 30, 31, 0 and
// unknown numbers take valueName instead; no name reads nothing). A user who
// has a per-user key gets only that key. Otherwise paths that are the same for
// every user of a machine come from the machine store, slot 0 from parlow.ini
// before the machine store, and everything else from parlow.ini in
// DataFolder().
// The slots this component reads.
namespace SettingSlot {
inline constexpr qint32 WindowSizeIndex = 23; // 2: the fixed-ratio layout, which ignores resizes
}

QString GetSuiteSetting(qint32 slot, const QString &defaultValue, const QString &valueName = QString());

// Resolves the per-user data folder and creates it when missing.
// Throws DataFolderError when a folder cannot be created.
void ResolveDataFolder();
// The per-user data folder, without a trailing separator; empty until
// ResolveDataFolder() first runs.
QString DataFolder();

// The user's application-data folder, or "" when it cannot be told:
// $PARLOW6_APPDATA when set (set to nothing, or to a relative path, it means
// "cannot be told"), else the XDG data home ($XDG_DATA_HOME, ~/.local/share).
QString GetAppDataFolder();

// How long a statement waits for another operator's lock: LockTimeout in
// section Parlow6 of parlow.ini, in seconds (fractions allowed, up to an
// hour); defaultMs when it is missing or not such a number.
int LockTimeoutMs(int defaultMs);

// key of section in DataFolder()/parlow.ini, at most 1023 bytes; the default
// when the file, section or key is missing, "" for a key with no value.
QString ReadSuiteIni(const QString &section, const QString &key, const QString &defaultValue);
