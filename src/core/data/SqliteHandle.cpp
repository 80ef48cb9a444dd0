#include "core/data/SqliteHandle.h"

#include "core/data/SqliteRecordset.h"

SqliteHandle::~SqliteHandle()
{
    release();
}

void SqliteHandle::release()
{
    // Close() detaches, so take the list first.
    const QList<SqliteRecordset *> open = std::exchange(m_open, {});
    for (SqliteRecordset *records : open)
        records->Close();
    m_handle = nullptr;
}
