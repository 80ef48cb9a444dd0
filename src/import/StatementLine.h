#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

// One deposit read from a payment statement, before it is matched.
struct StatementLine
{
    int lineNumber{0};    // line of a CSV file, record of a fixed-length file
    QDate date;           // invalid: no date the payment-date cell can hold
    qint64 amount{0};     // yen
    QStringList searched; // the texts searched for order numbers
    // Digits of a field that holds an order number only; when that field holds
    // something no order number can be read from, that text as written.
    QString namedOrder;
    QString problem;      // why the line cannot be used, quoting what could not be read; empty when it can
    QString payerName;    // 振込依頼人名 alone, when the file has it as a field
    QString edi;          // EDI情報 of a bank file, as written (trimmed)
    QString reference;    // 照会番号 of a 振込入金通知
    // The bank takes back a deposit that is not in this file (a cancelled
    // notice, an 入金訂正): the line pays nothing and only points the operator
    // at the order an earlier import may have paid. Pairs within one file are
    // dropped by the reader and never become lines.
    bool cancels{false};
    // Saved by "未反映分を保存..." as 重複: the line its order took is not in
    // the saved file, and the line must not take the order in its place.
    bool duplicate{false};
    // The files of the other payment methods: the record's kind as the file
    // names it (速報, 確報, 郵便振替, 売上, 返金, ...), the slip's barcode, and
    // what the service keeps, shown only, since the customer paid the whole.
    QString kind;
    QString barcode;
    qint64 fee{0};
    // A 速報: money on its way, shown, never ticked unasked.
    bool early{false};

    // Payer and remarks, as the operator reads them.
    QString text() const { return searched.join(u' '); }
};
