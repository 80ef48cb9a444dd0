#pragma once

#include <QList>
#include <QString>

enum class MatchStatus {
    Match,              // 一致: order number and open amount agree
    AmountDiffers,      // 金額相違: order number, another amount
    Candidate,          // 候補: no number; one unclaimed order has the amount
    MultipleCandidates, // 複数候補: several have it; the operator picks
    NoMatch,            // 不一致: no number and no order with the amount
    Duplicate,          // 重複: the order already takes another line
    Invalid,            // 不正: unreadable line or a date the cell cannot hold
    NotListed,          // 一覧外: names an order the list does not have
    Cancelled,          // 取消: the bank takes back an earlier deposit; pays nothing
};
inline constexpr int MatchStatusCount = 9;

// What matching made of one statement line.
struct MatchResult
{
    MatchStatus status{MatchStatus::NoMatch};
    int order{-1};         // listed order the line goes to; a duplicate's is the one taken;
                           // a cancellation's is the order it would have paid
    QList<int> candidates; // MultipleCandidates: listed orders to pick from, the first ones
    int candidateCount{0}; // MultipleCandidates: how many orders have the amount and are free
    QString namedOrder;    // NotListed: the number named
};
