#pragma once

#include "ScreenFixture.h"
#include "demo/DemoDatabase.h"
#include "demo/DemoStatement.h"

#include <QHash>

// The receipt list over the demo orders and the sample statement the demo host
// writes beside them.
class ImportFixture final
{
public:
    explicit ImportFixture(qint16 userLevel = 2)
    {
        DemoOptions options;
        options.createTables = false;
        CreateDemoDatabase(*screen.db.connection(), options);
        sample = WriteDemoStatement(*screen.db.connection(), options, DemoStatementPath(screen.db.path()));
        gintUserLevel = userLevel;
    }

    // Opens the screen and lists the orders (F1).
    frmKensaku *openAndSearch() { return screen.open(true); }

    // Every order's "入金日:入金額", by No.
    QHash<qint64, QString> receipts() const
    {
        QHash<qint64, QString> byId;
        const auto records = screen.db.connection()->Execute(QStringLiteral("SELECT [ID], [入金日], [入金額] FROM [CHUMON]"));
        while (!records->Eof()) {
            byId.insert(records->FieldValue(0).toLongLong(),
                        records->FieldValue(1).toString() + u':' + records->FieldValue(2).toString());
            records->MoveNext();
        }
        records->Close();
        return byId;
    }

    QString file(const QString &name) const { return QFileInfo(screen.db.path()).absoluteDir().filePath(name); }

    ScreenFixture screen;
    DemoStatement sample;
};
