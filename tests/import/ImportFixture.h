#pragma once

#include "ScreenFixture.h"
#include "demo/DemoDatabase.h"
#include "demo/DemoStatement.h"

#include <QDir>
#include <QFileInfo>

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
        screen.db.addSchemaTable(QStringLiteral("NYUKIN_MEIGI"));
        sample = WriteDemoStatement(*screen.db.connection(), options, DemoStatementPath(screen.db.path()));
        screen.store.userLevel = userLevel;
    }

    // Opens the screen and lists the orders (F1).
    frmKensaku *openAndSearch() { return screen.open(true); }

    QString file(const QString &name) const { return QFileInfo(screen.db.path()).absoluteDir().filePath(name); }

    ScreenFixture screen;
    DemoStatement sample;
};
