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

// Every typed read of the current row's column agrees with what FieldValue
// makes of value; the text first, before another read converts in place.
inline void compareTypedReads(const DbRecordset &records, int column, const QVariant &value)
{
    const QString text = FieldValue::Text(value);
    QCOMPARE(records.TextAt(column), text);
    const double number = records.NumberAt(column), expected = FieldValue::NumberOf(value);
    QVERIFY2(number == expected || (std::isnan(number) && std::isnan(expected)), qPrintable(text));
    QCOMPARE(records.IntegerAt(column), FieldValue::IntegerOf(value));
    QCOMPARE(records.DateAt(column), FieldValue::ParseDate(text));
}
