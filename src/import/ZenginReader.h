#pragma once

#include "import/Statement.h"

#include <QByteArrayView>
#include <QDate>

#include <atomic>

// The Japanese banks' fixed-length statement of deposits and withdrawals
// (全銀協規定形式 入出金取引明細, 種別コード 03): 200-byte records in Shift_JIS
// with half-width kana, with or without line breaks between them. Each
// account's section is a header, its data records and a trailer; an end
// record closes the file. Deposits become lines; an 入金訂正 takes back the
// deposit it corrects.
class ZenginReader final
{
public:
    static Statement read(QByteArrayView bytes, const QDate &today, const std::atomic_bool *stop = nullptr);
};
