#pragma once

#include <QString>

// The suite's settings: per-user store, then parlow.ini or the machine store.
QString GetSuiteSetting(qint32 slot, const QString &defaultValue, const QString &valueName = QString());

// Resolves the per-user data folder and creates it when missing.
void ResolveDataFolder();
QString DataFolder();
