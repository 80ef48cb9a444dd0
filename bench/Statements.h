#pragma once

#include "import/ListedOrder.h"

#include <QList>

class QFileDevice;

// A bank's Shift_JIS CSV of deposits for the listed orders: a quarter each
// by order number and amount, by amount alone, naming unknown orders, and by
// order number with another amount. Shift_JIS is the slower way in: UTF-8 is
// tried first. Lines are written until there are `lines` of them or the file
// would pass maxBytes.
void WriteStatement(QFileDevice &file, const QList<ListedOrder> &orders, int lines, qint64 maxBytes = -1);

// "largest statement": the largest file an operator may choose, read,
// matched and previewed in a process of its own, so that its peak memory is
// the import's.
struct LargestStatement
{
    qint64 fileBytes{0};
    int lines{0};
    double importMs{0};     // read and matched as the screen does it, beside the screen
    double previewMs{0};    // the preview screen filled with every line
    qint64 peakKb{0};        // read and matched, above what the process held before reading
    qint64 previewPeakKb{0}; // the same with the preview open
    bool ok{false};
};

LargestStatement MeasureLargestStatement(int listedOrders);
// The child's side: reads and matches the file against the same generated
// orders and prints what it measured for the parent.
int LargestStatementChild(const QString &path, int listedOrders);
