#pragma once

#include "parlow6dl_export.h"

#include <QString>
#include <QVariant>

#include <memory>
#include <stdexcept>

// A database failure. description() is the database's own text, shown to the
// operator unchanged.
class PARLOW6DL_EXPORT DbError : public std::runtime_error
{
public:
    explicit DbError(const QString &description);

    QString description() const { return m_description; }

private:
    QString m_description;
};

// A forward-only result, read once: while !Eof() read fields, MoveNext(); then Close().
class PARLOW6DL_EXPORT DbRecordset
{
public:
    virtual ~DbRecordset();

    virtual bool Eof() const = 0;
    // Value of the named column of the current row; a null QVariant for Null.
    // Names are matched without regard to case. Throws DbError for an unknown
    // name or when there is no current row.
    virtual QVariant Fields(const QString &name) const = 0;
    virtual void MoveNext() = 0;
    virtual void Close() = 0;

    // Fast path for readers that walk many rows: resolve a name once, then
    // read by position. FieldIndex throws DbError for an unknown name.
    virtual int FieldIndex(const QString &name) const = 0;
    virtual QVariant FieldValue(int index) const = 0;
};

// The host's database connection, lent to the component.
class PARLOW6DL_EXPORT DbConnection
{
public:
    virtual ~DbConnection();

    // Runs the statement at once. Statements that return no rows give an
    // empty recordset. Failures throw DbError.
    virtual std::unique_ptr<DbRecordset> Execute(const QString &statement) = 0;
    virtual void BeginTrans() = 0;
    virtual void CommitTrans() = 0;
    virtual void RollbackTrans() = 0;
};
