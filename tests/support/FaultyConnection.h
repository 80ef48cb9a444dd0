#pragma once

#include "core/data/DbConnection.h"

#include <memory>

// A real connection that fails on cue, as a lost link would: the database
// underneath is real, only the moment is chosen. The nth statement from now
// runs, then fails (move 0) or its result fails at MoveNext number move.
class FaultyConnection final : public DbConnection
{
public:
    explicit FaultyConnection(std::shared_ptr<DbConnection> real) : m_real(std::move(real)) {}

    void failExecute(int nth, int move = 0) { m_countdown = nth, m_move = move; }
    bool failCommit = false;
    static QString lost() { return QStringLiteral("[ODBC] Communication link failure"); }

    std::unique_ptr<DbRecordset> Execute(const QString &statement) override
    {
        auto result = m_real->Execute(statement);
        if (m_countdown == 0 || --m_countdown > 0)
            return result;
        if (m_move == 0)
            throw DbError(lost());
        return std::make_unique<Recordset>(std::move(result), m_move);
    }
    void BeginTrans() override { m_real->BeginTrans(); }
    void CommitTrans() override { failCommit ? throw DbError(lost()) : m_real->CommitTrans(); }
    void RollbackTrans() override { m_real->RollbackTrans(); }

private:
    struct Recordset final : DbRecordset
    {
        Recordset(std::unique_ptr<DbRecordset> r, int failAt) : real(std::move(r)), failAt(failAt) {}
        bool Eof() const override { return real->Eof(); }
        QVariant Fields(const QString &name) const override { return real->Fields(name); }
        void MoveNext() override { --failAt == 0 ? throw DbError(lost()) : real->MoveNext(); }
        void Close() override { real->Close(); }
        int FieldIndex(const QString &name) const override { return real->FieldIndex(name); }
        QVariant FieldValue(int index) const override { return real->FieldValue(index); }
        std::unique_ptr<DbRecordset> real;
        int failAt;
    };

    std::shared_ptr<DbConnection> m_real;
    int m_countdown = 0;
    int m_move = 0;
};
