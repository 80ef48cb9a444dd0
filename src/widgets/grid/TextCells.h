#pragma once

#include "widgets/grid/SharedTexts.h"
#include "widgets/grid/TextArena.h"

#include <QList>
#include <QString>
#include <QStringView>

// The texts of one text column, by storage slot, and the one rule of where
// each lives. A cell's text is in exactly one place, the one its last write
// chose:
// - shared: a text many rows hold (a payment method, a shop, a day), kept
//   once per distinct text in SharedTexts, with a small number per cell;
// - copied: a text of the row's own as a search loads it (a name), back to
//   back with the others in the column's TextArena;
// - stored: any other write (the operator's edits, the program's SetText),
//   a QString of the cell's own.
// Every write drops whatever the slot held before; a view of a text lasts
// until the next write to the column.
class TextCells final
{
public:
    void resize(int slotCount);
    void clear();    // also frees the buffers
    void blankAll(); // keeps the buffers for the next texts

    // Falls back to storing when the text is empty or the column's shared
    // texts are full.
    void share(int slot, const QString &text);
    // Falls back to storing when the text is empty or the buffer full.
    void copy(int slot, QStringView text);
    // The text append() adds to the end of a QString, copied the same way.
    template <typename Append>
    void copyAppended(int slot, Append &&append)
    {
        if (m_arena.putAppended(slot, append)) {
            copied(slot);
            return;
        }
        QString text;
        append(text);
        copy(slot, text);
    }
    void store(int slot, const QString &text);

    QStringView view(int slot) const
    {
        if (m_shared.holds(slot))
            return m_shared.at(slot);
        if (m_arena.holds(slot))
            return m_arena.at(slot);
        return slot < m_stored.size() ? QStringView(m_stored[slot]) : QStringView();
    }
    QString text(int slot) const;

    // Slot i takes the text of slot from[i], for i below from.size().
    void gather(const QList<int> &from);
    qsizetype sharedCount() const { return m_shared.distinct(); }
    qsizetype memoryBytes() const;

private:
    // The slot's text went into the arena: it holds no other.
    void copied(int slot);

    int m_slots = 0;
    SharedTexts m_shared;
    TextArena m_arena;
    // Exists only once a text is stored.
    QList<QString> m_stored;
};
