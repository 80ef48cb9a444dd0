#pragma once

#include "core/data/QtSqlConnection.h"

// A PostgreSQL server through Qt's own driver (QPSQL): statements run as Qt
// runs them, with exact numerics.
class PostgreSqlConnection final : public QtSqlConnection
{
public:
    PostgreSqlConnection(const QString &connectionName, bool ownsConnection);

    std::unique_ptr<DbRecordset> Execute(const QString &statement) override;

private:
    void applyLockTimeout(int milliseconds) override;
    bool lostBy(const QSqlError &error) const override;
};
