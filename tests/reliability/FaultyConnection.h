#pragma once

#include "core/data/DbConnection.h"

#include <functional>
#include <memory>

// A connection that hands every call to a real one and fails on cue: the
// database underneath is real, only the moment of the failure is chosen.
class FaultyConnection final : public DbConnection
{
public:
    explicit FaultyConnection(std::shared_ptr<DbConnection> real) : m_real(std::move(real)) {}

    // The nth statement (from 1) whose text starts with prefix runs, then
    // fails as a lost connection would; 0 never.
    void failExecuteAfterRunning(const QString &prefix, int nth)
    {
        m_executePrefix = prefix;
        m_executeFailAt = nth;
        m_executeSeen = 0;
    }
    // The statement containing marker fails at its MoveNext number nth
    // (from 1); nth 0 fails the Execute itself.
    void failReadOf(const QString &marker, int nth)
    {
        m_readMarker = marker;
        m_readFailAt = nth;
    }
    void failCommit(bool fail) { m_failCommit = fail; }
    void heal()
    {
        m_executeFailAt = 0;
        m_readMarker.clear();
        m_failCommit = false;
    }

    static QString lostText() { return QStringLiteral("[ODBC] Communication link failure"); }

    std::unique_ptr<DbRecordset> Execute(const QString &statement) override;
    SqlDialect Dialect() const override { return m_real->Dialect(); }
    void BeginTrans() override { m_real->BeginTrans(); }
    void CommitTrans() override
    {
        if (m_failCommit)
            throw DbError(lostText());
        m_real->CommitTrans();
    }
    void RollbackTrans() override { m_real->RollbackTrans(); }

private:
    std::shared_ptr<DbConnection> m_real;
    QString m_executePrefix;
    int m_executeFailAt = 0;
    int m_executeSeen = 0;
    QString m_readMarker;
    int m_readFailAt = -1;
    bool m_failCommit = false;
};

// Reads rows from the real result until MoveNext number failAt.
class FaultyRecordset final : public DbRecordset
{
public:
    FaultyRecordset(std::unique_ptr<DbRecordset> real, int failAt)
        : m_real(std::move(real)), m_failAt(failAt)
    {
    }

    bool Eof() const override { return m_real->Eof(); }
    QVariant Fields(const QString &name) const override { return m_real->Fields(name); }
    void MoveNext() override
    {
        if (++m_moves == m_failAt)
            throw DbError(FaultyConnection::lostText());
        m_real->MoveNext();
    }
    void Close() override { m_real->Close(); }
    int FieldIndex(const QString &name) const override { return m_real->FieldIndex(name); }
    QVariant FieldValue(int index) const override { return m_real->FieldValue(index); }

private:
    std::unique_ptr<DbRecordset> m_real;
    int m_failAt;
    int m_moves = 0;
};

inline std::unique_ptr<DbRecordset> FaultyConnection::Execute(const QString &statement)
{
    if (!m_readMarker.isEmpty() && statement.contains(m_readMarker)) {
        if (m_readFailAt == 0)
            throw DbError(lostText());
        return std::make_unique<FaultyRecordset>(m_real->Execute(statement), m_readFailAt);
    }
    auto result = m_real->Execute(statement);
    if (m_executeFailAt > 0 && statement.startsWith(m_executePrefix)
        && ++m_executeSeen == m_executeFailAt)
        throw DbError(lostText());
    return result;
}
