#include "widgets/grid/TextArena.h"

#include <algorithm>
#include <vector>

void TextArena::resize(int slotCount)
{
    m_slots = slotCount;
    if (!m_spans.isEmpty())
        m_spans.resize(slotCount, Span{0, None});
}

void TextArena::clear()
{
    m_slots = 0;
    m_units = QString();
    m_spans = {};
}

void TextArena::blankAll()
{
    m_units.resize(0);
    std::fill(m_spans.begin(), m_spans.end(), Span{0, None});
}

bool TextArena::put(int slot, QStringView text)
{
    const qsizetype start = m_units.size();
    m_units.append(text);
    return settle(slot, start);
}

bool TextArena::settle(int slot, qsizetype start)
{
    if (m_units.size() == start || m_units.size() >= qsizetype(None)) {
        m_units.truncate(start);
        return false;
    }
    if (m_spans.isEmpty())
        m_spans.resize(m_slots, Span{0, None});
    m_spans[slot] = Span{std::uint32_t(start), std::uint32_t(m_units.size() - start)};
    return true;
}

void TextArena::drop(int slot)
{
    if (slot < m_spans.size())
        m_spans[slot].length = None;
}

void TextArena::gather(const QList<int> &from)
{
    if (m_spans.isEmpty())
        return;
    std::vector<Span> moved;
    moved.reserve(std::size_t(from.size()));
    for (const int slot : from)
        moved.push_back(m_spans[slot]);
    std::copy(moved.cbegin(), moved.cend(), m_spans.begin());
}
