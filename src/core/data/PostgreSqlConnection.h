#pragma once

#include "core/data/QtSqlConnection.h"

// A PostgreSQL server through Qt's own driver (QPSQL): statements run as Qt
// runs them, with exact numerics; a batch is planned once by the server.
class PostgreSqlConnection final : public QtSqlConnection
{
public:
    PostgreSqlConnection(const QString &connectionName, bool ownsConnection);

    std::unique_ptr<DbRecordset> Execute(const QString &statement) override;
    void ExecuteEach(const QString &statement, const QList<QVariantList> &rows) override;

private:
    void applyLockTimeout(int milliseconds) override;
    bool lostBy(const QSqlError &error) const override;
};
