#pragma once

#include "core/data/DbConnection.h"

#include <memory>

// A real connection that fails on cue, as a lost link would: the database
// underneath is real, only the moment is chosen.
class FaultyConnection final : public DbConnection
{
public:
    explicit FaultyConnection(std::shared_ptr<DbConnection> real) : m_real(std::move(real)) {}

    // The nth statement from now runs, then fails; 0 none.
    void failExecute(int nth) { m_countdown = nth; }
    bool failCommit = false;
    static QString lost() { return QStringLiteral("[ODBC] Communication link failure"); }

    std::unique_ptr<DbRecordset> Execute(const QString &statement) override
    {
        auto result = m_real->Execute(statement);
        if (m_countdown > 0 && --m_countdown == 0)
            throw DbError(lost());
        return result;
    }
    void BeginTrans() override { m_real->BeginTrans(); }
    void CommitTrans() override { failCommit ? throw DbError(lost()) : m_real->CommitTrans(); }
    void RollbackTrans() override { m_real->RollbackTrans(); }

private:
    std::shared_ptr<DbConnection> m_real;
    int m_countdown = 0;
};
