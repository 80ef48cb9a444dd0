#pragma once

#include "import/FixedRecords.h"
#include "import/Gs1Barcode.h"

#include <QString>

class SuiteSettings;

// What parlow.ini says about the convenience-store collection files.
struct ConvenienceSettings
{
    using Field = FixedRecords::Field;

    // The size of the 120-byte form's records.
    static constexpr qsizetype RecordSize = 120;

    // Where the 120-byte form's records hold their fields. The agents differ
    // and none publishes its layout openly, so these are our default, laid
    // out as such a record usually is, and every field can be moved in
    // parlow.ini (CvsFixedKind=2,2: from byte 2, 2 bytes).
    struct FixedLayout
    {
        Field kind{1, 2};          // 種別
        Field paidOn{3, 8};        // 収納日 YYYYMMDD
        Field time{11, 4};         // 収納時刻 HHMM
        Field barcode{15, 44};
        Field store{59, 7};        // 店舗コード
        Field transferDate{66, 8}; // 振込予定日
        Field bookingDate{74, 8};  // 経理処理日
        Field chain{82, 6};        // コンビニ本部コード
        Field amount{88, 10};      // the amount paid (a 郵便振替訂正's corrected one)
        Field trailerCount{1, 6};  // trailer: 件数
        Field trailerTotal{7, 12}; // trailer: 合計金額
    };

    // BarcodeOrderStart and BarcodeOrderLength: where the order number stands
    // in the barcode's free digits.
    int orderStart{1};
    int orderLength{Gs1Barcode::FreeLength};
    // ConvenienceDate=速報: the 速報 pays and fixes the 入金日; by default the
    // 確報 does, and a 速報 alone only shows that money is on its way.
    bool promptPays{false};
    FixedLayout fixed;
    // A setting that cannot be used, named; the files are refused until it is
    // put right, since a wrong position would read wrong order numbers.
    QString error;

    static ConvenienceSettings read(const SuiteSettings &settings);
};
