#pragma once

#include "core/data/DbConnection.h"
#include "core/data/FieldValue.h"

#include <QString>
#include <QTest>

#include <cmath>

// A data table's columns declared at once: columns<QString, int>("text", "count").
template <typename... Types, typename... Names>
void columns(Names... names)
{
    static_assert(sizeof...(Types) == sizeof...(Names));
    (QTest::addColumn<Types>(names), ...);
}

// The current row's column holds value, of its type, and every typed read agrees
// with what FieldValue makes of it; the text first, before another read converts in place.
inline void compareTypedReads(const DbRecordset &records, int column, const QVariant &value)
{
    const QString text = FieldValue::Text(value);
    QCOMPARE(records.TextAt(column), text);
    const double number = records.NumberAt(column), expected = FieldValue::NumberOf(value);
    QVERIFY2(number == expected || (std::isnan(number) && std::isnan(expected)), qPrintable(text));
    QCOMPARE(records.IntegerAt(column), FieldValue::IntegerOf(value));
    QCOMPARE(records.DateAt(column), FieldValue::ParseDate(text));
    QCOMPARE(records.ValueAt(column), value);
    QCOMPARE(records.ValueAt(column).typeId(), value.typeId());
}
