#include "core/receipt/SharedState.h"

std::shared_ptr<DbConnection> gdbConnection;
qint16 gintUserLevel = 0;
QString gstrLoginFirstText;
QString gstrLoginSecondText;

QList<SiharaiEntry> gstrSiharaiTable;
bool gblnSiharaiLoaded = false;
qint16 gintSiharaiIndex = -1;

DbConnection &CurrentConnection()
{
    if (!gdbConnection)
        throw DbError(QStringLiteral("データベースに接続されていません。"));
    return *gdbConnection;
}
