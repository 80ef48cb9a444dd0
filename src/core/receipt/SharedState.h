#pragma once

#include "core/data/DbConnection.h"

#include <QList>
#include <QString>

#include <memory>

// The payment-method table: one entry per method in display order, with the
// highest OK as number text and "1" managed / "0" exempt from payment management.
struct SiharaiEntry
{
    QString method;
    QString okMax;
    QString managed;
};

// Where the state a session works with is kept: the component keeps it once
// (gSessionStore, whose parts the names below give), a screen opened on its
// own (a test) in one of its own.
struct SessionStore
{
    std::shared_ptr<DbConnection> connection;
    qint16 userLevel = 0;
    QString userName; // who 登録 and 取消 record as the operator
    QList<SiharaiEntry> paymentTable;
    bool paymentTableLoaded = false;
    qint16 shownMethod = -1; // position in the usable-method list of the one method shown; -1 for all
};

// State that exists once per loaded component, shared by every public object.
// The screens reach it through the Session lent to them (core/receipt/Session.h).
extern SessionStore gSessionStore;
extern std::shared_ptr<DbConnection> &gdbConnection;
extern qint16 &gintUserLevel;
extern QString &gstrLoginFirstText;
extern QString gstrLoginSecondText;
extern QList<SiharaiEntry> &gstrSiharaiTable;
extern bool &gblnSiharaiLoaded;
extern qint16 &gintSiharaiIndex;
