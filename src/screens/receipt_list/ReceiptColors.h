#pragma once

#include "core/receipt/ReceiptRules.h"

#include <QColor>

// The receipt list's row colours.
namespace ReceiptColors {

inline const QColor White{255, 255, 255};
inline const QColor Yellow{255, 255, 0};
inline const QColor Pink{255, 200, 200};

inline QColor Of(ReceiptRules::Age age)
{
    switch (age) {
    case ReceiptRules::Age::Overdue: return Pink;
    case ReceiptRules::Age::Aging: return Yellow;
    case ReceiptRules::Age::Recent: break;
    }
    return White;
}

} // namespace ReceiptColors
