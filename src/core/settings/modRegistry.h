#pragma once

#include "core/settings/RegRoot.h"

#include <QString>
#include <QVariant>

// Registry reads. The component never writes to the registry.

// The value kinds RegReadValue knows.
inline constexpr qint32 kRegKindString = 1;
inline constexpr qint32 kRegKindNumber = 4;

// Reads valueName under root\keyPath: as text (kind 1, at most 255 bytes) or
// as a 32-bit signed number (kind 4). A missing key or value, one too long
// for its buffer, or any other kind gives defaultValue unchanged. The stored
// type is not checked: the value's raw data is read either way.
QVariant RegReadValue(RegRoot root, const QString &keyPath, const QString &valueName, qint32 kind,
                      const QVariant &defaultValue);

// True when root\keyPath can be opened for reading.
bool RegKeyExists(RegRoot root, const QString &keyPath);
