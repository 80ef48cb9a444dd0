#pragma once

#include "import/ConvenienceRecord.h"

#include <QList>

// One payment, one receipt: the agent reports a payment when the store scans
// the slip (速報) and again when the money is settled (確報), may take a
// 速報 back (速報取消), and corrects a 郵便振替 with a record of its own. The
// records of one file are paired here, so that no payment is counted twice.
namespace ConveniencePayments {

struct Settled
{
    QList<ConvenienceRecord> records; // the ones left, in file order, each with its outcome
    int takenBack{0};                 // records the file itself takes back
};

// promptPays: the 速報 pays (and fixes the 入金日) instead of the 確報.
Settled settle(QList<ConvenienceRecord> records, bool promptPays);

} // namespace ConveniencePayments
