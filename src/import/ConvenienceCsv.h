#pragma once

#include "import/ConvenienceRecord.h"
#include "import/ConvenienceSettings.h"

#include <QList>
#include <QStringList>
#include <QStringView>

// The collection agents' CSV: one record per 速報, 確報, 速報取消, 郵便振替
// or its 訂正, with or without a header row. The published form's columns,
// in this order when there is no header: 種別, 収納日, 収納時刻, バーコード
// 情報, ユーザー使用欄1, ユーザー使用欄2, 印紙フラグ, 金額, コンビニ本部
// コード, コンビニ名, 店舗コード, 振込日, データ作成日.
class ConvenienceCsv final
{
public:
    // The file's first record is this form's header, or a record of it.
    static bool recognises(const QStringList &firstRecord);
    // The records, each naming what makes it unusable; error names the line
    // when the text is no CSV or its header lacks a column.
    static QList<ConvenienceRecord> read(QStringView text, const ConvenienceSettings &settings, QString &error);
};
