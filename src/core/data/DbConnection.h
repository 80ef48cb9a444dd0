#pragma once

#include "parlow6dl_export.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>
#include <stdexcept>

// A database failure. description() is the database's own text, shown to the
// operator unchanged.
class PARLOW6DL_EXPORT DbError : public std::runtime_error
{
public:
    explicit DbError(const QString &description, bool commitUnanswered = false);

    QString description() const { return m_description; }
    // The connection was lost waiting for a COMMIT's answer: the transaction
    // may have gone through.
    bool commitUnanswered() const { return m_commitUnanswered; }

private:
    QString m_description;
    bool m_commitUnanswered{false};
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
    virtual QVariant ValueAt(int index) const = 0;

    // Typed reads by position, each exactly what the FieldValue function of
    // the same meaning gives for ValueAt(index): a long search reads its
    // values without a QVariant each. The defaults go through ValueAt(index);
    // a recordset that reaches the database's own values may do better.
    virtual QString TextAt(int index) const;                  // FieldValue::Text
    virtual double NumberAt(int index) const;                 // FieldValue::NumberOf
    virtual std::optional<qint64> IntegerAt(int index) const; // FieldValue::IntegerOf
    virtual std::optional<QDate> DateAt(int index) const;     // FieldValue::ParseDate of the text
};

// Which SQL the connection's database speaks where the statements differ.
enum class SqlDialect {
    SqlServer,  // the suite's production database
    Sqlite,     // the embedded default
    PostgreSql, // the server the tests run on, and many back offices'
};

// The host's database connection, lent to the component.
class PARLOW6DL_EXPORT DbConnection
{
public:
    virtual ~DbConnection();

    // Defaults to the suite's SQL Server, so a host's own connection needs
    // to say nothing unless it talks to something else.
    virtual SqlDialect Dialect() const { return SqlDialect::SqlServer; }
    // How long any statement may wait for another connection's lock before
    // it fails with the database's message. The component sets it when its
    // screen opens; a host's own connection may ignore it.
    virtual void SetLockTimeout(int /*milliseconds*/) {}

    // Runs the statement at once. Statements that return no rows give an
    // empty recordset. Failures throw DbError.
    virtual std::unique_ptr<DbRecordset> Execute(const QString &statement) = 0;
    // Runs a statement that returns no rows once for each row of values, in
    // order: each ? outside quotes takes the row's next value (an integer, a
    // number, a text or Null). A database that compiles statements compiles
    // it once. The default writes the values into the statement as SQL
    // literals and runs each through Execute, so a host's own connection
    // needs nothing more. Failures throw DbError; the rows before stay run.
    virtual void ExecuteEach(const QString &statement, const QList<QVariantList> &rows);
    // The statement as the default runs it for one row of values.
    static QString WithLiterals(const QString &statement, const QVariantList &values);
    // On SQLite the transaction takes the write lock as it begins, so two
    // operators' registrations cannot both read before either writes.
    virtual void BeginTrans() = 0;
    virtual void CommitTrans() = 0;
    virtual void RollbackTrans() = 0;
};
