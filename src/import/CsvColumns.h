#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// Which column of a CSV statement holds what, found from the header's names
// or assigned by the operator ("列の割り当て"). Columns count from 0; -1 is none.
struct CsvColumns
{
    int date{-1};
    int amount{-1};     // the deposit, or a signed amount
    int withdrawal{-1}; // a separate withdrawal column: a row with only that is no deposit
    QList<int> searched;
    QList<int> order;   // columns holding an order number only
    int payer{-1};      // 振込依頼人名 on its own, for the matching of payers' names
    int cancel{-1};     // 取消: "1" marks a deposit the bank took back (as saved by "未反映分を保存...")
    int problem{-1};    // 不正理由: why a saved line could not be used, so it cannot be used again
    int status{-1};     // 状態 as saved: a 重複 line stays one, its first line being gone
    // A payment service's, 後払い or 代引 statement: the fee kept, the net
    // paid out, the transaction type (a refund's says so), and which
    // methods' orders the file pays (a PaymentMethods::FileKind, 0 the banks').
    int fee{-1};
    int net{-1};
    int type{-1};
    int kind{0};
    bool headerRow{true}; // false: the first row is already data

    bool complete() const { return date >= 0 && amount >= 0; }
    // Signed amounts are refunds, not withdrawals; the fee is no deduction.
    bool service() const { return kind != 0 || fee >= 0 || net >= 0 || type >= 0; }

    // Found from the names of a header row; incomplete when they do not name
    // a date and an amount.
    static CsvColumns fromHeader(const QStringList &header);

    // The text kept in parlow.ini, and the assignment read back from it;
    // nothing for text that is no assignment.
    QString toText() const;
    static std::optional<CsvColumns> fromText(QStringView text);

    // The key an assignment is remembered under: the header line's names, or
    // for a file without a header, the shape of its first row (how many
    // columns, which hold dates and numbers), so the next file of the same
    // bank finds it.
    static QString keyOf(const QStringList &firstRow);
    // The first row holds a date: it is data, not names.
    static bool looksLikeData(const QStringList &firstRow);
};
