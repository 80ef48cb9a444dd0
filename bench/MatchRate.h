#pragma once

#include "import/ListedOrder.h"

#include <QJsonObject>
#include <QList>
#include <QString>

// "import match rate": a generated statement with a stated mix of the ways
// payers pay, written as payers write (kana names from a hand-written table,
// numbers before or after them), the order each line is truly for kept
// beside it, imported as the screen imports it.
struct MatchRate
{
    struct Kind
    {
        QString name;
        int lines{0};
        int identifiable{0};
        int tickedRight{0};
    };

    int lines{0};
    int imported{0};     // lines the reader made of them
    int identifiable{0}; // lines whose order(s) a careful operator can know from the line
    int tickedRight{0};  // of those, ticked to exactly their order(s)
    int tickedWrong{0};  // any line ticked to an order it is not for
    int tickedUnidentifiable{0}; // lines no one can assign with certainty, ticked all the same
    double importMs{0}; // reading and matching the generated statement
    double readMs{0};
    QList<Kind> kinds;

    double percent() const { return identifiable > 0 ? 100.0 * tickedRight / identifiable : 0; }
    QJsonObject rateFigure() const;
    QJsonObject wrongFigure() const;
    QJsonObject unidentifiableFigure() const;
};

MatchRate MeasureMatchRate(const QList<ListedOrder> &listed, int lines);
