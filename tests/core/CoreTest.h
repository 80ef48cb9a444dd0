#pragma once

#include <QTest>

// A data table's columns declared at once: columns<QString, int>("text", "count").
template <typename... Types, typename... Names>
void columns(Names... names)
{
    static_assert(sizeof...(Types) == sizeof...(Names));
    (QTest::addColumn<Types>(names), ...);
}
