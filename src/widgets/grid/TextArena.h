#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <cstdint>

// The texts of a column's cells kept back to back in one buffer, by storage
// slot. A search fills tens of thousands of unique texts (names, phone
// numbers); as one heap string each, emptying the list again freed them one
// by one, each a cache miss. Here they are a few large blocks. A slot holds
// a text or none; a view of it lasts until the next write.
class TextArena final
{
public:
    // Slots from slotCount on lose their texts; new slots hold none.
    void resize(int slotCount);
    void clear(); // also frees the buffers
    void blankAll(); // keeps the buffers for the next texts

    bool holds(int slot) const { return slot < m_spans.size() && m_spans[slot].length != None; }
    QStringView at(int slot) const
    {
        const Span span = m_spans[slot];
        return QStringView(m_units.constData() + span.offset, qsizetype(span.length));
    }
    // False, storing nothing, when the buffer cannot address more text.
    bool put(int slot, QStringView text);
    // The same for the text append() adds to the end of a QString.
    template <typename Append>
    bool putAppended(int slot, Append &&append)
    {
        const qsizetype start = m_units.size();
        append(m_units);
        return settle(slot, start);
    }
    void drop(int slot);
    // Slot i takes the text of slot from[i], for i below from.size().
    void gather(const QList<int> &from);
    qsizetype memoryBytes() const
    {
        return m_units.capacity() * qsizetype(sizeof(QChar)) + m_spans.capacity() * qsizetype(sizeof(Span));
    }

private:
    // The text from start to the end of the buffer becomes the slot's; an
    // empty one, or one past what a span can address, is taken back.
    bool settle(int slot, qsizetype start);

    struct Span
    {
        std::uint32_t offset;
        std::uint32_t length;
    };
    static constexpr std::uint32_t None = 0xffffffffu;

    int m_slots = 0;
    // Both stay empty until the first text comes.
    QString m_units;
    QList<Span> m_spans;
};
