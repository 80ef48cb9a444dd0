#pragma once

#include "core/import/Statement.h"

#include <QByteArrayView>
#include <QDate>

// The Japanese banks' fixed-length statement of deposits and withdrawals
// (全銀協規定形式 入出金取引明細): 200-byte records in Shift_JIS with half-width
// kana, with or without line breaks between them. Each account's section is a
// header, its data records and a trailer; an end record closes the file.
// Only deposits become lines.
class ZenginReader final
{
public:
    // The bytes start with a header record of this family.
    static bool looksLike(QByteArrayView bytes);
    static Statement read(QByteArrayView bytes, const QDate &today);
    // A record's YYMMDD date. today decides between the readings.
    static QDate dateOf(QByteArrayView yymmdd, const QDate &today);
};
