#pragma once

#include "core/data/QtSqlConnection.h"

class SqliteHandle;

// A SQLite file. Its statements are read through SQLite's own interface on
// the handle behind Qt's driver (SqliteRecordset).
class SqliteConnection final : public QtSqlConnection
{
public:
    SqliteConnection(const QString &connectionName, bool ownsConnection);
    ~SqliteConnection() override;

    std::unique_ptr<DbRecordset> Execute(const QString &statement) override;
    // Compiled once and bound through SQLite's own interface, as Qt's driver
    // binds: a null text as '', as the literal form writes it.
    void ExecuteEach(const QString &statement, const QList<QVariantList> &rows) override;

private:
    struct LockWait;

    void applyLockTimeout(int milliseconds) override;
    void prepare() override;

    std::unique_ptr<LockWait> m_lockWait;
    std::shared_ptr<SqliteHandle> m_handle;
};
