#pragma once

#include <QDate>
#include <QString>

// One record of a convenience-store collection agent's file, read but not yet
// paired with the other records of its payment.
struct ConvenienceRecord
{
    // 種別 as the agents write it.
    enum class Kind { Prompt = 1, Final = 2, PromptCancel = 3, Postal = 12, PostalCorrection = 22 };
    // What the record comes to once the file's records are paired.
    enum class Outcome { Pays, Prompt, Cancel, Unusable };

    // The texts of a record's fields, as the CSV or the 120-byte form gives them.
    struct Texts
    {
        QString kind, paidOn, time, barcode, amount, store, chain, transferDate;
    };

    int lineNumber{0};
    Kind kind{Kind::Final};
    QDate paidOn;        // 収納日
    QString time;        // 収納時刻, digits as written
    QString barcode;     // the 44 digits, or the text when it is none
    QString store;       // 店舗コード
    QString chain;       // コンビニ本部コード or its name
    QDate transferDate;  // 振込日: when the agent pays the shop
    qint64 amount{0};    // yen
    QString order;       // the order number the barcode carries
    QString problem;     // why the record cannot be used; empty when it can
    Outcome outcome{Outcome::Pays};

    // The record the texts make, naming the first thing that makes it
    // unusable. The order number stands in the barcode's free digits at
    // orderStart (from 1) and orderLength. The barcode's amount must be the
    // record's: a 郵便振替訂正 alone carries another, the corrected one.
    static ConvenienceRecord read(int lineNumber, const Texts &texts, int orderStart, int orderLength);

    static QString kindName(Kind kind);
    // The kind a 種別 code stands for; false for a code no agent writes.
    static bool kindOf(QStringView code, Kind &kind);
};
