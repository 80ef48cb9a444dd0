#pragma once

#include <QHash>
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

// What matching made of every line of a statement, compact: most lines take
// one order or none, so a line is a fixed record, and only the lines with
// several orders or candidates keep a list beside it.
class MatchResults final
{
public:
    explicit MatchResults(qsizetype count = 0) : m_lines(count) {}

    qsizetype size() const { return m_lines.size(); }
    MatchResult at(qsizetype line) const;
    MatchResult operator[](qsizetype line) const { return at(line); }

    MatchStatus status(qsizetype line) const { return m_lines.at(line).status; }
    MatchKey key(qsizetype line) const { return m_lines.at(line).key; }
    int order(qsizetype line) const { return m_lines.at(line).order; }
    qint64 fee(qsizetype line) const { return m_lines.at(line).fee; }
    // The orders a combined line pays, or the candidates offered: as set.
    QList<int> orders(qsizetype line) const { return m_lists.value(line).orders; }
    int candidateCount(qsizetype line) const { return m_lists.value(line).count; }

    void setStatus(qsizetype line, MatchStatus status) { m_lines[line].status = status; }
    void setKey(qsizetype line, MatchKey key) { m_lines[line].key = key; }
    void setOrder(qsizetype line, int order) { m_lines[line].order = order; }
    void setFee(qsizetype line, qint64 fee) { m_lines[line].fee = fee; }
    void setOrders(qsizetype line, const QList<int> &orders, int count = 0);

private:
    struct Line
    {
        qint64 fee{0};
        std::int32_t order{-1};
        MatchStatus status{MatchStatus::NoMatch};
        MatchKey key{MatchKey::None};
    };
    struct List
    {
        QList<int> orders;
        int count{0};
    };

    QList<Line> m_lines;
    QHash<qsizetype, List> m_lists;
};
