#pragma once

#include "import/PaymentMethods.h"
#include "import/StatementLine.h"
#include "core/text/DecodedText.h"

#include <QList>
#include <QString>

// A payment statement as read from its file: its deposits in file order, or
// the reason the whole file is refused.
struct Statement
{
    // Zengin: 入出金取引明細 (種別コード 03); Notice: 振込入金通知 (種別コード 01).
    enum class Format { Csv, Zengin, Notice, ConvenienceCsv, ConvenienceFixed };

    Format format{Format::Csv};
    TextEncoding encoding{TextEncoding::Utf8};
    QList<StatementLine> lines{};
    int skipped{0};   // withdrawals and blank lines, which are no deposits
    int takenBack{0}; // deposits the file itself cancels or corrects: they pay nothing
    QString error;    // not empty: nothing of the file may be used; names the line
    // A CSV whose header names no date or amount: the operator assigns the
    // columns ("列の割り当て"), remembered under this key.
    QString columnsKey{};
    // Which payment methods' orders the file may pay.
    PaymentMethods::FileKind fileKind{PaymentMethods::FileKind::Bank};
    // What the service transfers for the file, when it says so: -1 for none.
    qint64 payout{-1};

    bool ok() const { return error.isEmpty(); }
    // Keeps the lines not marked gone, in their order.
    void dropLines(const QList<bool> &gone)
    {
        qsizetype kept = 0;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (!gone.at(i))
                lines.swapItemsAt(kept++, i);
        }
        lines.resize(kept);
    }

    // The error of a reading stopped on the operator's ｷｬﾝｾﾙ.
    static constexpr QStringView Stopped{u"取込を中止しました"};
};
