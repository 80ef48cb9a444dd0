#pragma once

#include <QList>

#include <cstdint>

enum class MatchStatus : std::uint8_t {
    Match,              // 一致: a key names the order, the amount is its open amount
    AmountDiffers,      // 金額相違: a key names the order, another amount
    Candidate,          // 候補: no key; one unclaimed order has the amount
    MultipleCandidates, // 複数候補: several fit; the operator picks
    NoMatch,            // 不一致: no key and no order with the amount
    Duplicate,          // 重複: the order already takes another line
    Invalid,            // 不正: unreadable line or a date the cell cannot hold
    NotListed,          // 一覧外: names an order the list does not have
    Cancelled,          // 取消: the bank takes back an earlier deposit; pays nothing
    FeeShort,           // 手数料差: short of the open amount by no more than the fee tolerance
    Combined,           // 合算: one payment for all the orders a key names
    Split,              // 分割: several lines together pay one order
    Early,              // 速報: a store scanned the slip, the money is not settled yet
    WrongMethod,        // 支払方法違い: the order is to be paid another way than the file's
    Count
};
inline constexpr int MatchStatusCount = int(MatchStatus::Count);

// Which key identified the order(s).
enum class MatchKey : std::uint8_t { None, Number, Phone, Name };

// What matching made of one statement line.
struct MatchResult
{
    MatchStatus status{MatchStatus::NoMatch};
    MatchKey key{MatchKey::None};
    int order{-1};         // listed order the line goes to; a duplicate's is the one taken;
                           // a cancellation's is the order it would have paid
    QList<int> orders;     // Combined: every order the line pays, the fee's last
    QList<int> candidates; // MultipleCandidates: listed orders to pick from, the first ones
    int candidateCount{0}; // MultipleCandidates: how many orders fit
    qint64 fee{0};         // FeeShort, Combined, Split: what the bank kept; a split's on its last line
};
