#pragma once

#include "widgets/grid/ColumnDef.h"
#include "widgets/grid/TextCells.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringView>
#include <QVariant>

#include <cstdint>
#include <optional>
#include <variant>

// The cells of one grid column by storage slot, in the one store its kind
// has: numbers as double (NaN blank), integers as qint64 (the lowest value
// stands for blank; no order number is ever that), check boxes as bytes,
// dates as julian days (0 blank), texts in TextCells, which says where each
// text lives. Cells are addressed by storage slot (see SpreadModel); callers
// keep slots in range. The QLists grow by realloc, which moves big arrays
// without copying them or touching their pages again.
class SpreadColumn final
{
public:
    using Kind = CellKind;

    struct Numbers { QList<double> at; };
    struct Integers { QList<qint64> at; };
    struct Checks { QList<std::uint8_t> at; };
    struct Dates { QList<std::int32_t> at; };
    using Cells = std::variant<Numbers, Integers, Checks, Dates, TextCells>;

    explicit SpreadColumn(const ColumnDef &columnDef);

    const ColumnDef &columnDef() const { return m_def; }
    Kind kind() const { return m_def.kind; }

    void resize(int slotCount);
    void clear(); // also frees the storage
    void blank(int slot);
    void blankAll(); // keeps the storage

    // A programmatic write of one value to several cells: rowSlots[first..last],
    // or the slots first..last themselves when rowSlots is null. The value is
    // converted once: numbers and check boxes take numbers or numeric text,
    // dates only a valid date (anything else leaves the cell blank), texts
    // are stored as given, whatever their length.
    void write(int first, int last, const int *rowSlots, const QVariant &value);
    // One value in its own form, for loading rows in bulk: a column of the
    // matching kind stores it as it is, any other takes it as write() would
    // (a date as its "YYYY/MM/DD" text; no date as empty text). setText
    // shares the text with the column's other cells; copyText copies a text
    // of the cell's own (see TextCells).
    void setText(int slot, const QString &text);
    void copyText(int slot, QStringView text);
    // The text append() adds to the end of a QString, copied the same way.
    template <typename Append>
    void copyAppended(int slot, Append &&append)
    {
        if (auto *texts = std::get_if<TextCells>(&m_cells)) {
            texts->copyAppended(slot, append);
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
    bool isChecked(int slot) const;

    // Sort keys of the given slots as unsigned numbers in the order the
    // column sorts (blanks first). Texts give four UTF-16 units from
    // textOffset on, in code-point order.
    void sortKeys(const int *rowSlots, qsizetype count, qsizetype textOffset, std::uint64_t *keys) const;
    // A text cell's text, valid until the next write to the column; empty
    // for other kinds.
    QStringView textAt(int slot) const
    {
        const auto *texts = std::get_if<TextCells>(&m_cells);
        return texts ? texts->view(slot) : QStringView();
    }

    // Slot i takes the cell of slot from[i], for i below from.size().
    void gather(const QList<int> &from);

    // The distinct texts the column's cells share.
    qsizetype sharedTexts() const;
    // What the column holds on the heap, its texts included.
    qsizetype memoryBytes() const;

private:
    ColumnDef m_def;
    int m_slots = 0;
    Cells m_cells;
};
