#include "core/data/DbTransaction.h"

DbTransaction::DbTransaction(DbConnection &connection) : m_connection(connection)
{
    m_connection.BeginTrans();
    m_open = true;
}

DbTransaction::~DbTransaction()
{
    if (!m_open)
        return;
    try {
        m_connection.RollbackTrans();
    } catch (...) {
        // The database has dropped the transaction already; the failure that
        // got us here is the one worth reporting.
    }
}

void DbTransaction::Commit()
{
    m_connection.CommitTrans();
    m_open = false;
}
