#pragma once

#include <QString>

// The program-settings read: the value key under the per-user key
// Software\VB and VBA Program Settings\<appName>\<section>, as text. A 32-bit
// number reads as its decimal text. A missing key or value, or one of another
// type, gives defaultValue.
QString GetSetting(const QString &appName, const QString &section, const QString &key,
                   const QString &defaultValue);

// The per-user key that holds appName's settings of section.
QString ProgramSettingsKey(const QString &appName, const QString &section);
