#include "widgets/grid/TextCells.h"

#include <algorithm>
#include <vector>

void TextCells::resize(int slotCount)
{
    const bool shrink = slotCount < m_slots;
    m_slots = slotCount;
    if (!m_stored.isEmpty()) {
        m_stored.resize(slotCount);
        if (shrink)
            m_stored.squeeze();
    }
    m_shared.resize(slotCount);
    m_arena.resize(slotCount);
}

void TextCells::clear()
{
    m_slots = 0;
    m_stored = {};
    m_shared.clear();
    m_arena.clear();
}

void TextCells::blankAll()
{
    std::fill(m_stored.begin(), m_stored.end(), QString());
    m_shared.blankAll();
    m_arena.blankAll();
}

void TextCells::share(int slot, const QString &text)
{
    if (!m_shared.put(slot, text)) {
        store(slot, text);
        return;
    }
    m_arena.drop(slot);
    if (slot < m_stored.size())
        m_stored[slot] = QString();
}

void TextCells::copy(int slot, QStringView text)
{
    if (text.isEmpty() || !m_arena.put(slot, text)) {
        store(slot, text.toString());
        return;
    }
    copied(slot);
}

void TextCells::copied(int slot)
{
    m_shared.drop(slot);
    if (slot < m_stored.size())
        m_stored[slot] = QString();
}

void TextCells::store(int slot, const QString &text)
{
    m_shared.drop(slot);
    m_arena.drop(slot);
    if (m_stored.isEmpty()) {
        if (text.isNull())
            return;
        m_stored.resize(m_slots);
    }
    m_stored[slot] = text;
}

QString TextCells::text(int slot) const
{
    if (m_shared.holds(slot))
        return m_shared.at(slot);
    if (m_arena.holds(slot))
        return m_arena.at(slot).toString();
    return slot < m_stored.size() ? m_stored[slot] : QString();
}

void TextCells::gather(const QList<int> &from)
{
    if (!m_stored.isEmpty()) {
        std::vector<QString> moved;
        moved.reserve(std::size_t(from.size()));
        for (const int slot : from)
            moved.push_back(std::move(m_stored[slot]));
        std::move(moved.begin(), moved.end(), m_stored.begin());
    }
    m_shared.gather(from);
    m_arena.gather(from);
}

qsizetype TextCells::memoryBytes() const
{
    qsizetype bytes = m_stored.capacity() * qsizetype(sizeof(QString));
    for (const QString &text : m_stored)
        bytes += text.capacity() * qsizetype(sizeof(QChar));
    return bytes + m_shared.memoryBytes() + m_arena.memoryBytes();
}
