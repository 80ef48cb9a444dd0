#pragma once

#include "core/import/ListedOrder.h"

#include <QJsonObject>
#include <QList>

// "import match rate": a generated statement with a stated mix of the ways
// payers pay, the order each line is truly for kept beside it, imported as
// the screen imports it.
struct MatchRate
{
    int lines{0};
    int imported{0};     // lines the reader made of them
    int identifiable{0}; // lines whose order(s) can be known from the line
    int tickedRight{0};  // of those, ticked to exactly their order(s)
    int tickedWrong{0};  // any line ticked to an order it is not for
    double importMs{0}; // reading and matching the generated statement
    double readMs{0};

    double percent() const { return identifiable > 0 ? 100.0 * tickedRight / identifiable : 0; }
    QJsonObject rateFigure() const;
    QJsonObject wrongFigure() const;
};

MatchRate MeasureMatchRate(const QList<ListedOrder> &listed, int lines);
