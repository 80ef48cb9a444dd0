#include "core/data/QtSqlRecordset.h"

#include "core/data/FieldValue.h"
#include "core/data/QtSqlConnection.h"

#include <QSqlError>
#include <QSqlRecord>

using namespace Qt::StringLiterals;

QtSqlRecordset::QtSqlRecordset(QSqlDatabase database, QSqlQuery &&query)
    : m_database(std::move(database)), m_query(std::move(query))
{
    if (!m_query.isSelect()) {
        m_query.finish();
        return;
    }
    // Names are resolved once here; the readers then look them up without
    // going back to the driver.
    const QSqlRecord record = m_query.record();
    m_names.reserve(record.count());
    for (int i = 0; i < record.count(); ++i)
        m_names.append(record.fieldName(i));
    fetch();
}

void QtSqlRecordset::fetch()
{
    m_onRow = m_query.next();
    if (m_onRow)
        return;
    // next() answers false both at the end and on a failed step; only the
    // error tells them apart.
    const QSqlError error = m_query.lastError();
    m_query.finish();
    if (error.isValid())
        throw DbError(QtSqlConnection::Description(error));
}

QVariant QtSqlRecordset::ValueAt(int index) const
{
    requireColumn(index);
    const QVariant value = m_query.value(index);
    // The driver hands out typed nulls; readers expect one plain Null.
    return value.isNull() ? QVariant() : value;
}

void QtSqlRecordset::MoveNext()
{
    requireRow();
    fetch();
}

void QtSqlRecordset::Close()
{
    // Closing twice is harmless: readers close in cleanup paths too.
    m_onRow = false;
    m_query.finish();
}

std::optional<QDate> QtSqlRecordset::DateAt(int index) const
{
    // A date the driver made already is taken as it is, not written out and
    // read again: a search reads three per row. Years outside 100 to 9999 are
    // no date to the suite, as FieldValue says below.
    const QVariant value = ValueAt(index);
    if (value.typeId() == QMetaType::QDate) {
        const QDate date = value.toDate();
        if (date.isValid() && date.year() >= 100 && date.year() <= 9999)
            return date;
    }
    return FieldValue::ParseDate(FieldValue::Text(value));
}
