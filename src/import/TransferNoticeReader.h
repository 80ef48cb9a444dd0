#pragma once

#include "import/Statement.h"

#include <QByteArrayView>
#include <QDate>

#include <atomic>

// The banks' notice of incoming transfers (全銀協制定 振込入金通知, 種別
// コード 01): 200-byte records in Shift_JIS, with or without line breaks,
// one header, data and trailer section per account and an end record. Every
// data record is a deposit; one with 取消区分 1 cancels an earlier notice.
class TransferNoticeReader final
{
public:
    static Statement read(QByteArrayView bytes, const QDate &today, const std::atomic_bool *stop = nullptr);
};
