#include "widgets/grid/RowOrder.h"

#include "core/data/CellText.h"
#include "widgets/grid/SpreadColumn.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

// Below this a run is cheaper to sort by comparing texts.
constexpr qsizetype SmallRun = 32;

} // namespace

void RowOrder::start(const int *rowSlots, qsizetype count)
{
    m_slots.assign(rowSlots, rowSlots + count);
}

void RowOrder::release()
{
    m_slots = {};
    m_keys = {};
    m_keysOut = {};
    m_slotsOut = {};
}

void RowOrder::sortBy(const SpreadColumn &column, bool descending)
{
    const auto count = qsizetype(m_slots.size());
    if (count < 2)
        return;
    m_keys.resize(std::size_t(count));
    column.sortKeys(m_slots.data(), count, 0, m_keys.data());
    // Inverted keys sort backwards; equal keys still keep their order.
    if (descending) {
        for (std::uint64_t &key : m_keys)
            key = ~key;
    }
    radixSort(0, count);
    if (column.kind() == SpreadColumn::Kind::Text)
        sortTextTies(column, descending);
}

void RowOrder::radixSort(qsizetype first, qsizetype count)
{
    std::uint64_t *keys = m_keys.data() + first;
    int *rowSlots = m_slots.data() + first;
    // One reading pass counts all eight bytes.
    std::array<std::array<std::uint32_t, 256>, 8> counts{};
    for (qsizetype i = 0; i < count; ++i) {
        const std::uint64_t key = keys[i];
        for (int b = 0; b < 8; ++b)
            ++counts[std::size_t(b)][(key >> (8 * b)) & 0xff];
    }

    m_keysOut.resize(std::size_t(count));
    m_slotsOut.resize(std::size_t(count));
    std::uint64_t *keysFrom = keys;
    int *slotsFrom = rowSlots;
    std::uint64_t *keysTo = m_keysOut.data();
    int *slotsTo = m_slotsOut.data();
    for (int b = 0; b < 8; ++b) {
        std::array<std::uint32_t, 256> &c = counts[std::size_t(b)];
        if (c[(keys[0] >> (8 * b)) & 0xff] == std::uint32_t(count))
            continue; // every key has the same byte here
        std::uint32_t position = 0;
        for (std::uint32_t &bucket : c)
            position += std::exchange(bucket, position);
        for (qsizetype i = 0; i < count; ++i) {
            const std::uint64_t key = keysFrom[i];
            const std::uint32_t to = c[(key >> (8 * b)) & 0xff]++;
            keysTo[to] = key;
            slotsTo[to] = slotsFrom[i];
        }
        std::swap(keysFrom, keysTo);
        std::swap(slotsFrom, slotsTo);
    }
    if (keysFrom != keys) {
        std::copy_n(keysFrom, count, keys);
        std::copy_n(slotsFrom, count, rowSlots);
    }
}

void RowOrder::sortTextTies(const SpreadColumn &column, bool descending)
{
    const auto less = [&](int a, int b) {
        const int c = CellText::compareCodePoints(column.textAt(a), column.textAt(b));
        return descending ? c > 0 : c < 0;
    };
    struct Run
    {
        qsizetype first;
        qsizetype end;
        qsizetype offset; // units already known equal
    };
    std::vector<Run> pending{{0, qsizetype(m_slots.size()), 0}};
    while (!pending.empty()) {
        const Run run = pending.back();
        pending.pop_back();
        int *rowSlots = m_slots.data();
        const qsizetype next = run.offset + 4;
        qsizetype start = run.first;
        while (start < run.end) {
            qsizetype end = start + 1;
            const qsizetype length = column.textAt(rowSlots[start]).size();
            bool longer = length > next;
            bool lengthsDiffer = false;
            while (end < run.end && m_keys[std::size_t(end)] == m_keys[std::size_t(start)]) {
                const qsizetype other = column.textAt(rowSlots[end]).size();
                longer = longer || other > next;
                lengthsDiffer = lengthsDiffer || other != length;
                ++end;
            }
            // Texts that go on past the key need the next units; different
            // lengths within the key mean U+0000 units, which only a
            // comparison tells from the padding.
            const qsizetype size = end - start;
            if (size > 1 && (longer || lengthsDiffer)) {
                if (size <= SmallRun || !longer) {
                    std::stable_sort(rowSlots + start, rowSlots + end, less);
                } else {
                    column.sortKeys(rowSlots + start, size, next, m_keys.data() + start);
                    if (descending) {
                        for (qsizetype i = start; i < end; ++i)
                            m_keys[std::size_t(i)] = ~m_keys[std::size_t(i)];
                    }
                    radixSort(start, size);
                    pending.push_back({start, end, next});
                }
            }
            start = end;
        }
    }
}
