#pragma once

#include <QtGlobal>

#include <cstdint>
#include <vector>

class SpreadColumn;

// Puts a run of rows in stable order by up to three keys. Each key is one
// stable pass, least significant key first: a byte-wise radix sort of
// 64-bit key images, skipping bytes that never vary. Texts are keyed four
// UTF-16 units at a time; runs that tie on those are sorted again on the
// next four, and small runs by plain comparison.
class RowOrder final
{
public:
    // Takes the storage slots of the rows, in their current order. The
    // buffers stay allocated from one sort to the next.
    void start(const int *rowSlots, qsizetype count);
    void sortBy(const SpreadColumn &column, bool descending);
    const std::vector<int> &sorted() const { return m_slots; }
    void release();

private:
    void radixSort(qsizetype first, qsizetype count);
    void sortTextTies(const SpreadColumn &column, bool descending);

    std::vector<int> m_slots;
    std::vector<std::uint64_t> m_keys;
    std::vector<std::uint64_t> m_keysOut;
    std::vector<int> m_slotsOut;
};
