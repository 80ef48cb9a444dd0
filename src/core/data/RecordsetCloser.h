#pragma once

#include "core/data/DbConnection.h"

// Closes a result however its reader leaves, early return and exception
// included; a result that will not close is left to its destructor.
class RecordsetCloser final
{
public:
    explicit RecordsetCloser(DbRecordset *records) : m_records(records) {}
    ~RecordsetCloser()
    {
        if (!m_records)
            return;
        try {
            m_records->Close();
        } catch (const DbError &) {
            // Nothing more can be done with it.
        }
    }
    Q_DISABLE_COPY_MOVE(RecordsetCloser)

private:
    DbRecordset *m_records;
};
