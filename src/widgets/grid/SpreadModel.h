#pragma once

#include "widgets/grid/ColumnDef.h"
#include "widgets/grid/PendingChanges.h"
#include "widgets/grid/RowOrder.h"
#include "widgets/grid/SlotAllocation.h"
#include "widgets/grid/SpreadColumn.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QList>
#include <QRect>

#include <cstdint>
#include <vector>

// The grid's cells, row colours and hidden flags, stored column by column.
// Rows and columns are 0-based here; the model's columns are the displayed
// ones, the data-only columns follow them in storage only.
//
// Each row lives in a storage slot; a sort reorders only the list of slots,
// so no cell moves and everything a row carries goes with it.
//
// setData is the operator's road (editors, check box toggles): it applies the
// column's editing rules and reports a changed value through cellEdited. The
// grid's own writes use write() and are never reported.
class SpreadModel final : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SpreadModel)

public:
    explicit SpreadModel(QObject *parent = nullptr);
    ~SpreadModel() override;

    void setColumns(const QList<ColumnDef> &displayed, int dataOnlyColumns);
    int displayedColumns() const { return m_displayed; }
    int storedColumns() const { return int(m_columns.size()); }
    const ColumnDef &columnDef(int column) const { return m_columns[std::size_t(column)].columnDef(); }

    int rows() const { return m_rows; }
    void setRows(int rows);

    QString value(int column, int row) const { return cells(column).value(slot(row)); }
    QString text(int column, int row) const { return cells(column).text(slot(row)); }
    double number(int column, int row) const { return cells(column).number(slot(row)); }
    std::optional<qint64> integer(int column, int row) const { return cells(column).integer(slot(row)); }
    // Writes one value to the block, both corners included.
    void write(int firstColumn, int firstRow, int lastColumn, int lastRow, const QVariant &value);

    QColor color(int row) const;
    void setColor(int firstRow, int lastRow, const QColor &color);
    bool isHidden(int row) const { return m_hidden[slot(row)] != 0; }
    void setHidden(int firstRow, int lastRow, bool hidden);

    // Loading rows in bulk (SpreadLoader), while suspended: appends one
    // blank row and returns its storage slot; the cells of a stored column
    // for typed writes to that slot; the colour of a slot.
    int appendRow();
    // Every row goes, their storage stays for the rows loaded next.
    void emptyForReload();
    SpreadColumn &cellsOf(int column) { return m_columns[std::size_t(column)]; }
    const SpreadColumn &cellsOf(int column) const { return m_columns[std::size_t(column)]; }
    void setSlotColor(int slot, const QColor &color) { m_colors[slot] = rgbaOf(color); }
    // Gives back the storage beyond the rows, when it is a block or more.
    void fitStorage();
    // What the cells, colours and row order hold on the heap.
    qsizetype memoryBytes() const;

    // Stable sort of whole rows by up to three keys (0-based columns, any
    // stored column).
    void sort(int firstRow, int lastRow, const QList<SortKey> &keys);

    // While suspended, changes are stored without telling the views, which
    // keep seeing the old row count; resume() tells them once.
    void suspend();
    // Returns whether the views were reset.
    bool resume();
    bool isSuspended() const { return m_pending.isSuspended(); }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

Q_SIGNALS:
    // The operator changed a cell's value (0-based).
    void cellEdited(int column, int row);

private:
    static constexpr std::uint32_t NoColor = 0; // stored colours carry alpha 255
    enum class Change { Values, Colours };

    static std::uint32_t rgbaOf(const QColor &color)
    {
        return color.isValid() ? (color.rgb() | 0xff000000u) : NoColor;
    }
    const SpreadColumn &cells(int column) const { return m_columns[std::size_t(column)]; }
    int slot(int row) const { return m_slotsInOrder ? row : m_slots[row]; }
    // The slots of rows first..last, or null when they are the rows' own
    // numbers (writes then run straight through the arrays).
    const int *slotsOf(int firstRow, int lastRow) const;
    void resizeStorage(int rows);
    void allocate(int count);
    void putSlotsInOrder();
    void announce(int firstColumn, int firstRow, int lastColumn, int lastRow, Change change);
    void moveSortedSlots(int firstRow, const std::vector<int> &sorted);

    std::vector<SpreadColumn> m_columns;
    int m_displayed{0};
    int m_rows{0};
    int m_publishedRows{0}; // the row count the views were told
    // The slots 0..m_rows-1 in row order; while m_slotsInOrder, slot == row.
    // Slots from m_rows on are blank.
    QList<int> m_slots;
    bool m_slotsInOrder{true};
    SlotAllocation m_allocation;
    QList<std::uint32_t> m_colors;
    QList<std::uint8_t> m_hidden;
    RowOrder m_order;
    PendingChanges m_pending;
};
