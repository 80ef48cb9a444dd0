#pragma once

#include "core/data/DbConnection.h"

#include <memory>

// A real connection that fails on cue, as a lost link would: the database
// underneath is real, only the moment of the failure is chosen.
class FaultyConnection final : public DbConnection
{
public:
    explicit FaultyConnection(std::shared_ptr<DbConnection> real) : m_real(std::move(real)) {}

    // The nth statement from now runs, then fails (move 0) or fails at its
    // MoveNext number move.
    void failExecute(int nth, int move = 0)
    {
        m_countdown = nth;
        m_move = move;
    }
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
    void CommitTrans() override
    {
        if (failCommit)
            throw DbError(lost());
        m_real->CommitTrans();
    }
    void RollbackTrans() override { m_real->RollbackTrans(); }

private:
    class Recordset final : public DbRecordset
    {
    public:
        Recordset(std::unique_ptr<DbRecordset> real, int failAt) : m_real(std::move(real)), m_failAt(failAt) {}
        bool Eof() const override { return m_real->Eof(); }
        QVariant Fields(const QString &name) const override { return m_real->Fields(name); }
        void MoveNext() override
        {
            if (--m_failAt == 0)
                throw DbError(lost());
            m_real->MoveNext();
        }
        void Close() override { m_real->Close(); }
        int FieldIndex(const QString &name) const override { return m_real->FieldIndex(name); }
        QVariant FieldValue(int index) const override { return m_real->FieldValue(index); }

    private:
        std::unique_ptr<DbRecordset> m_real;
        int m_failAt;
    };

    std::shared_ptr<DbConnection> m_real;
    int m_countdown = 0;
    int m_move = 0;
};
