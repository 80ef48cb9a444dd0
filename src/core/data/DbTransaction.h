#pragma once

#include "core/data/DbConnection.h"

// One transaction on a connection: begun when constructed, rolled back when
// it ends without Commit(), whatever ended it.
class DbTransaction final
{
public:
    // Throws DbError when the transaction cannot begin.
    explicit DbTransaction(DbConnection &connection);
    ~DbTransaction();
    Q_DISABLE_COPY_MOVE(DbTransaction)

    // Throws DbError; the destructor then still rolls back.
    void Commit();

private:
    DbConnection &m_connection;
    bool m_open{false};
};
