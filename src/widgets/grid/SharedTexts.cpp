#include "widgets/grid/SharedTexts.h"

#include <algorithm>
#include <limits>
#include <vector>

void SharedTexts::resize(int slotCount)
{
    m_slots = slotCount;
    if (!m_at.isEmpty()) {
        const bool shrink = slotCount < m_at.size();
        m_at.resize(slotCount, 0);
        if (shrink)
            m_at.squeeze();
    }
}

void SharedTexts::clear()
{
    m_slots = 0;
    m_at = {};
    m_texts = {};
    m_numbers = {};
    m_last = 0;
}

void SharedTexts::blankAll()
{
    std::fill(m_at.begin(), m_at.end(), std::uint16_t(0));
    m_texts = {};
    m_numbers.clear();
    m_last = 0;
}

bool SharedTexts::put(int slot, const QString &text)
{
    if (text.isEmpty())
        return false;
    if (m_last == 0 || m_texts[m_last - 1] != text) {
        auto known = m_numbers.constFind(text);
        if (known == m_numbers.constEnd()) {
            if (m_texts.size() == std::numeric_limits<std::uint16_t>::max())
                return false;
            m_texts.append(text);
            known = m_numbers.insert(text, std::uint16_t(m_texts.size()));
        }
        m_last = *known;
    }
    if (m_at.isEmpty())
        m_at.resize(m_slots, 0);
    m_at[slot] = m_last;
    return true;
}

void SharedTexts::gather(const QList<int> &from)
{
    if (m_at.isEmpty())
        return;
    std::vector<std::uint16_t> moved;
    moved.reserve(std::size_t(from.size()));
    for (const int slot : from)
        moved.push_back(m_at[slot]);
    std::copy(moved.cbegin(), moved.cend(), m_at.begin());
}

qsizetype SharedTexts::memoryBytes() const
{
    qsizetype bytes = m_at.capacity() * qsizetype(sizeof(std::uint16_t))
                      + m_texts.capacity() * qsizetype(sizeof(QString))
                      + m_numbers.capacity() * qsizetype(sizeof(QString) + sizeof(std::uint16_t));
    for (const QString &text : m_texts)
        bytes += text.capacity() * qsizetype(sizeof(QChar));
    return bytes;
}
