#pragma once

#include <QString>

// What a grid column holds and how it shows it, shared by the grid, its model
// and its cells without any of them needing the others.

// Integer cells keep whole numbers exactly, for keys such as order numbers
// that a double would round. Yen cells hold money as whole yen: what comes
// in as a fraction is rounded half to even where it enters.
enum class CellKind { Text, Number, CheckBox, Date, Integer, Yen };

struct ColumnDef
{
    QString header;
    double width = -1;  // in character units; < 0 takes the grid default, 0 hides the column
    CellKind kind = CellKind::Text;
    int maxLength = 60; // Text
    double minimum = -9999999999.0; // Number, Integer, Yen
    double maximum = 9999999999.0;  // Number, Integer, Yen
    bool grouping = false;          // Number, Yen: digits grouped with ","
};

struct SortKey
{
    int column = 0;
    int order = 1; // 1 ascending, 2 descending
};
