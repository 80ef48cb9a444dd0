#pragma once

#include "import/ConvenienceSettings.h"
#include "import/Statement.h"

#include <QByteArray>

#include <atomic>

// A convenience-store collection agent's file as a statement: one line per
// payment, each naming the order its slip carries. The agents write a CSV,
// one record per 速報, 確報, 速報取消, 郵便振替 or its 訂正, with or without
// a header row (the published columns, in this order when there is none:
// 種別, 収納日, 収納時刻, バーコード情報, ユーザー使用欄1, ユーザー使用欄2,
// 印紙フラグ, 金額, コンビニ本部コード, コンビニ名, 店舗コード, 振込日,
// データ作成日), or a 120-byte form: a header (データ区分 1), data records
// (2), a trailer (8) whose count and total must agree with them, and an end
// record (9), with or without line breaks, its fields where the settings say.
class ConvenienceStatement final
{
public:
    // The bytes are one of the agents' files, told by their first record.
    static bool recognises(const QByteArray &bytes);
    // Once stop is set, reading ends with the error Statement::Stopped.
    static Statement read(const QByteArray &bytes, const ConvenienceSettings &settings,
                          const std::atomic_bool *stop = nullptr);
};
