#include "import/ConveniencePayments.h"

using Kind = ConvenienceRecord::Kind;
using Outcome = ConvenienceRecord::Outcome;

namespace ConveniencePayments {

namespace {

bool usable(const ConvenienceRecord &record, Kind kind)
{
    return record.kind == kind && record.problem.isEmpty();
}

} // namespace

Settled settle(QList<ConvenienceRecord> records, bool promptPays)
{
    Settled settled;
    QList<bool> gone(records.size(), false);
    QList<bool> paired(records.size(), false);
    // The first of the file's records of kind that `same` finds, not yet used.
    const auto earliest = [&](Kind kind, auto same) -> qsizetype {
        for (qsizetype i = 0; i < records.size(); ++i) {
            if (!gone.at(i) && !paired.at(i) && usable(records.at(i), kind) && same(records.at(i)))
                return i;
        }
        return -1;
    };

    // A 確報 and its 速報 share barcode, store, day and time: one payment,
    // shown once, as the record that pays.
    for (qsizetype f = 0; f < records.size(); ++f) {
        if (!usable(records.at(f), Kind::Final))
            continue;
        const ConvenienceRecord &final = records.at(f);
        const qsizetype p = earliest(Kind::Prompt, [&final](const ConvenienceRecord &prompt) {
            return prompt.barcode == final.barcode && prompt.store == final.store && prompt.paidOn == final.paidOn
                   && prompt.time == final.time;
        });
        if (p < 0)
            continue;
        paired[p] = paired[f] = true;
        gone[promptPays ? f : p] = true;
    }
    // A 速報取消 takes back the 速報 of its slip and store that no 確報 has
    // settled; without one, the 速報 came in an earlier file and may have
    // been paid there, so the cancel is shown and pays nothing.
    for (qsizetype c = 0; c < records.size(); ++c) {
        ConvenienceRecord &cancel = records[c];
        if (!usable(cancel, Kind::PromptCancel))
            continue;
        const qsizetype p = earliest(Kind::Prompt, [&cancel](const ConvenienceRecord &prompt) {
            return prompt.barcode == cancel.barcode && prompt.store == cancel.store && prompt.amount == cancel.amount;
        });
        if (p >= 0) {
            gone[p] = gone[c] = true;
            ++settled.takenBack;
        }
        cancel.outcome = Outcome::Cancel;
    }
    // A 郵便振替訂正 puts its amount in place of the 郵便振替 of its slip
    // before it; one whose 郵便振替 is not in the file pays nothing.
    for (qsizetype k = 0; k < records.size(); ++k) {
        ConvenienceRecord &correction = records[k];
        if (!usable(correction, Kind::PostalCorrection))
            continue;
        qsizetype postal = -1;
        for (qsizetype i = 0; i < k; ++i) {
            if (!gone.at(i) && usable(records.at(i), Kind::Postal) && records.at(i).barcode == correction.barcode)
                postal = i;
        }
        if (postal >= 0) {
            records[postal].amount = correction.amount;
            gone[k] = true;
        }
        correction.outcome = Outcome::Cancel;
    }

    for (qsizetype i = 0; i < records.size(); ++i) {
        if (gone.at(i))
            continue;
        ConvenienceRecord &record = records[i];
        if (!record.problem.isEmpty())
            record.outcome = Outcome::Unusable;
        else if (record.kind == Kind::Prompt && !promptPays && !paired.at(i))
            record.outcome = Outcome::Prompt;
        settled.records.append(std::move(record));
    }
    return settled;
}

} // namespace ConveniencePayments
