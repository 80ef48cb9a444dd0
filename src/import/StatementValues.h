#pragma once

#include <QDate>
#include <QStringView>

#include <algorithm>
#include <optional>

// How a statement's dates and amounts are read, whichever format they came in.
namespace StatementValues {

// "YYYY/MM/DD", "YYYY-MM-DD", "YYYYMMDD", "YYYY年M月D日" or 和暦 ("令和8年12月5日",
// "R08.12.05", 平成 likewise), full-width digits allowed, within the
// payment-date cell's range; invalid for anything else, and for a day its
// era does not have.
QDate dateOf(QStringView text);

// A whole number of yen, with or without "," grouping, "¥" in front or "円"
// behind; nothing when the text is no such number (scientific notation
// included).
std::optional<qint64> amountOf(QStringView text);

// The order number of a field that holds one only: its digits after folding
// full-width forms, with the usual prefixes (No., No, #, 注文, 注文番号) and a
// branch suffix ("250-1") allowed; empty for anything else.
QString orderNumberOf(QStringView text);

// The text (QStringView or QByteArrayView) is one or more ASCII digits and nothing else.
template<typename Text>
bool isDigits(Text text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](auto c) { return c >= u'0' && c <= u'9'; });
}

} // namespace StatementValues
