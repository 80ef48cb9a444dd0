#include "core/receipt/SharedState.h"

std::shared_ptr<DbConnection> gdbConnection;
qint16 gintUserLevel = 0;
QString gstrLoginFirstText;
QString gstrLoginSecondText;

QList<SiharaiEntry> gstrSiharaiTable;
bool gblnSiharaiLoaded = false;
qint16 gintSiharaiIndex = -1;
