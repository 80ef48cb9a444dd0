#pragma once

#include <QString>

// The suite's settings: per-user store, then parlow.ini or the machine store.
// Nothing is cached: every call reads the stores as they are now. Missing
// stores, keys and values are never errors; they give the caller's default.
//
// Slots 1 to 34 carry the fixed value names of the suite's settings; slots
// 19, 30 and 31, slot 0 and numbers outside 1 to 34 use valueName instead,
// and with an empty name they read nothing and give "". When the per-user key
// Software\VB and VBA Program Settings\Veltrane\Parlow6 exists it alone is
// read. Otherwise the slots of machine-wide paths (1, 2, 6, 7, 13, 15, 21,
// 30, 32) read SOFTWARE\Veltrane\Parlow6 of the machine store, slot 0 tries
// parlow.ini before the machine store, and every other slot reads section
// "Parlow6" of parlow.ini in DataFolder().
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

// key of section in DataFolder()/parlow.ini, at most 1023 bytes; the default
// when the file, section or key is missing, "" for a key with no value.
QString ReadSuiteIni(const QString &section, const QString &key, const QString &defaultValue);
