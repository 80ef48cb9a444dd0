#pragma once

#include "core/data/DbConnection.h"

#include <QStringList>

// What every recordset of ours shares: its columns' names, looked up without
// regard to case, and whether it stands on a row, with the database-side
// refusals of a read where there is none.
class NamedRecordset : public DbRecordset
{
public:
    bool Eof() const override { return !m_onRow; }
    QVariant Fields(const QString &name) const override;
    int FieldIndex(const QString &name) const override;

protected:
    // Throws DbError when there is no current row.
    void requireRow() const;
    // Throws DbError when there is no current row or no such column.
    void requireColumn(int index) const;

    QStringList m_names;
    bool m_onRow{false};
};
