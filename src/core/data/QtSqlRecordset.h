#pragma once

#include "core/data/NamedRecordset.h"

#include <QSqlDatabase>
#include <QSqlQuery>

// A forward-only result over one executed QSqlQuery. It sits on the first row
// as soon as it exists, so Eof() is known before the first read.
class QtSqlRecordset final : public NamedRecordset
{
public:
    // Takes the executed query; a statement that returns no rows gives a
    // recordset that is Eof from the start. Throws DbError when the first
    // row cannot be fetched.
    QtSqlRecordset(QSqlDatabase database, QSqlQuery &&query);

    QtSqlRecordset(const QtSqlRecordset &) = delete;
    QtSqlRecordset &operator=(const QtSqlRecordset &) = delete;

    void MoveNext() override;
    void Close() override;
    QVariant ValueAt(int index) const override;
    std::optional<QDate> DateAt(int index) const override;

private:
    void fetch();

    // Kept so a recordset that outlives its connection object never reads
    // through a driver that is already gone.
    QSqlDatabase m_database;
    QSqlQuery m_query;
};
