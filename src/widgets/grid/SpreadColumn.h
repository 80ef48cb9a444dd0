#pragma once

#include "widgets/grid/SharedTexts.h"
#include "widgets/grid/TextArena.h"
#include "widgets/grid/vaSpread.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringView>
#include <QVariant>

#include <cstdint>
#include <optional>

// The cells of one grid column, kept in one array typed by the column's cell
// kind: numbers as double (NaN blank), integers as qint64 (the lowest value
// stands for blank; no order number is ever that), check boxes as bytes,
// dates as julian days (0 blank), texts as QString or, as a search loads
// them, numbered in SharedTexts when shared and back to back in a TextArena
// when the cell's own. Text arrays exist only once a
// text is stored. Cells are addressed by storage slot (see SpreadModel);
// callers keep slots in range.
class SpreadColumn final
{
public:
    using Kind = vaSpread::CellKind;

    explicit SpreadColumn(const vaSpread::ColumnSpec &columnDef);

    const vaSpread::ColumnSpec &columnDef() const { return m_spec; }
    Kind kind() const { return m_spec.kind; }

    void resize(int slotCount);
    void clear(); // also frees the array
    void blank(int slot);
    void blankAll(); // keeps the arrays

    // A programmatic write of one value to several cells: rowSlots[first..last],
    // or the slots first..last themselves when rowSlots is null. The value is
    // converted once: numbers and check boxes take numbers or numeric text,
    // dates only a valid date (anything else leaves the cell blank), texts
    // are stored as given, whatever their length.
    void write(int first, int last, const int *rowSlots, const QVariant &value);
    // One value in its own form, for loading rows in bulk: a column of the
    // matching kind stores it as it is, any other takes it as write() would
    // (a date as its "YYYY/MM/DD" text; no date as empty text). setText
    // keeps the string, shared with whoever else holds it; copyText copies
    // a text of the cell's own into the arena.
    void setText(int slot, const QString &text);
    void copyText(int slot, QStringView text);
    // The text append() adds to the end of a QString, copied the same way.
    template <typename Append>
    void copyAppended(int slot, Append &&append)
    {
        if (kind() == Kind::Text && m_arena.putAppended(slot, append)) {
            settleCopied(slot);
            return;
        }
        QString text;
        append(text);
        copyText(slot, text);
    }
    void setNumber(int slot, double number);
    void setInteger(int slot, qint64 number);
    void setDate(int slot, const std::optional<QDate> &date);

    // An operator's text from an editor. Refuses what the column does not
    // accept (a number out of range, an invalid date) and cuts texts to the
    // column's length. Returns whether it stored anything.
    bool writeEdited(int slot, const QString &text);

    QString value(int slot) const;
    QString text(int slot) const;
    double number(int slot) const;
    std::optional<qint64> integer(int slot) const;
    bool isChecked(int slot) const { return m_checks[slot] != 0; }

    // Sort keys of the given slots as unsigned numbers in the order the
    // column sorts (blanks first). Texts give four UTF-16 units from
    // textOffset on, in code-point order.
    void sortKeys(const int *rowSlots, qsizetype count, qsizetype textOffset, std::uint64_t *keys) const;
    // Valid until the next write to the column.
    QStringView textAt(int slot) const
    {
        if (m_shared.holds(slot))
            return m_shared.at(slot);
        if (m_arena.holds(slot))
            return m_arena.at(slot);
        return slot < m_texts.size() ? QStringView(m_texts[slot]) : QStringView();
    }

    // Slot i takes the cell of slot from[i], for i below from.size().
    void gather(const QList<int> &from);

private:
    void storeText(int slot, const QString &text);
    // A slot whose text went into the arena holds no other.
    void settleCopied(int slot);

    vaSpread::ColumnSpec m_spec;
    int m_slots = 0;
    // QList rather than std::vector: it grows by realloc, which moves big
    // arrays without copying them or touching their pages again.
    QList<double> m_numbers;
    QList<qint64> m_integers;
    QList<std::uint8_t> m_checks;
    QList<std::int32_t> m_dates;
    QList<QString> m_texts;
    SharedTexts m_shared;
    TextArena m_arena;
};
