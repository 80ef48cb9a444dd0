#include "core/receipt/SharedState.h"

SessionStore gSessionStore;
std::shared_ptr<DbConnection> &gdbConnection = gSessionStore.connection;
qint16 &gintUserLevel = gSessionStore.userLevel;
QString &gstrLoginFirstText = gSessionStore.userName;
QString gstrLoginSecondText;

QList<SiharaiEntry> &gstrSiharaiTable = gSessionStore.paymentTable;
bool &gblnSiharaiLoaded = gSessionStore.paymentTableLoaded;
qint16 &gintSiharaiIndex = gSessionStore.shownMethod;
