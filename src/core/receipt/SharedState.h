#pragma once

#include "core/data/DbConnection.h"

#include <QList>
#include <QString>

#include <memory>

// State that exists once per loaded component, shared by every public object.
// The screens reach it through the Session lent to them (core/receipt/Session.h).
extern std::shared_ptr<DbConnection> gdbConnection;
extern qint16 gintUserLevel;
extern QString gstrLoginFirstText;
extern QString gstrLoginSecondText;

// The payment-method table: one entry per method in display order, with the
// highest OK as number text and "1" managed / "0" exempt from payment management.
struct SiharaiEntry
{
    QString method;
    QString okMax;
    QString managed;
};
extern QList<SiharaiEntry> gstrSiharaiTable;
extern bool gblnSiharaiLoaded;
// Position in the usable-method list of the one method shown; -1 for all.
extern qint16 gintSiharaiIndex;
