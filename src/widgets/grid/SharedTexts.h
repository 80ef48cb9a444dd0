#pragma once

#include <QHash>
#include <QList>
#include <QString>

#include <cstdint>

// The texts a column's cells share (a payment method, a shop, a day), each
// kept once, with a small number per cell. A list of 80,000 loaded rows then
// neither counts a reference per cell as it fills nor releases one per cell
// as it empties. Texts are told apart by their characters, whoever made the
// string: a reader that hands a new string per row still adds nothing for a
// text already kept. A slot holds a shared text or none.
class SharedTexts final
{
public:
    // Slots from slotCount on lose their texts; new slots hold none.
    void resize(int slotCount);
    void clear();    // also frees the numbers and texts
    void blankAll(); // keeps the numbers' array

    bool holds(int slot) const { return slot < m_at.size() && m_at[slot] != 0; }
    const QString &at(int slot) const { return m_texts[m_at[slot] - 1]; }
    // False, storing nothing, for an empty text or once the column has as
    // many distinct texts as it can number.
    bool put(int slot, const QString &text);
    void drop(int slot)
    {
        if (slot < m_at.size())
            m_at[slot] = 0;
    }
    // Slot i takes the text of slot from[i], for i below from.size().
    void gather(const QList<int> &from);
    // The distinct texts kept.
    qsizetype distinct() const { return m_texts.size(); }
    qsizetype memoryBytes() const;

private:
    int m_slots = 0;
    QList<std::uint16_t> m_at; // 0 none, else a number into m_texts from 1
    QList<QString> m_texts;
    QHash<QString, std::uint16_t> m_numbers;
    // Neighbouring rows mostly share a text: the last one is tried first.
    std::uint16_t m_last = 0;
};
