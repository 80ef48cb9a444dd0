#pragma once

#include "widgets/grid/ColumnDef.h"
#include "widgets/grid/SpreadData.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QList>
#include <QRect>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

// The item-model face of a grid's rows (SpreadData), with the row colours
// and hidden flags, which travel with their rows on a sort. Rows and columns
// are 0-based here; the model's columns are the displayed ones, the
// data-only columns follow them in the data only.
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

    void setColumns(const QList<ColumnDef> &displayed, int dataOnlyColumns);
    // Shows the lent rows instead of the model's own cells (null: its own
    // again); they must have the columns set. See rowsReplaced.
    void lendData(SpreadData *data);
    // The lent rows were replaced behind the model's back: colours and
    // hidden flags start afresh.
    void rowsReplaced() { lendData(m_data); }
    int displayedColumns() const { return m_displayed; }
    int storedColumns() const { return int(m_columns.size()); }
    const ColumnDef &columnDef(int column) const { return m_columns[column]; }

    int rows() const { return m_data->rowCount(); }
    void setRows(int rows);

    QVariant cell(int column, int row) const { return m_data->cell(column, row); }
    // Writes one value to the block, both corners included.
    void write(int firstColumn, int firstRow, int lastColumn, int lastRow, const QVariant &value);

    QColor color(int row) const;
    void setColor(int firstRow, int lastRow, const QColor &color);
    bool isHidden(int row) const { return m_hidden[row] != 0; }
    void setHidden(int firstRow, int lastRow, bool hidden)
    {
        std::fill(m_hidden.begin() + firstRow, m_hidden.begin() + lastRow + 1, std::uint8_t(hidden));
    }

    // Stable sort of whole rows by up to three keys (0-based columns, any
    // stored column), where the rows are a lent list that sorts.
    void sortRows(int firstRow, int lastRow, const QList<SortKey> &keys);

    // Only the check boxes are the operator's to change; the rest is for reading.
    void setTicksOnly() { m_ticksOnly = true; }

    // While suspended, changes are stored without telling the views, which
    // keep seeing the old row count; resume() tells them once.
    void suspend() { m_suspended = true; }
    // Returns whether the views were reset.
    bool resume();
    bool isSuspended() const { return m_suspended; }

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : m_publishedRows; }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : m_displayed; }
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

    // The row flags follow the data's row count.
    void fitRowFlags();
    void announce(int firstColumn, int firstRow, int lastColumn, int lastRow, Change change);
    void reset(const std::function<void()> &change);

    QList<ColumnDef> m_columns;
    int m_displayed{0};
    std::unique_ptr<SpreadData> m_own; // the cells of a grid no screen lends rows to
    SpreadData *m_data;
    int m_publishedRows{0}; // the row count the views were told
    QList<std::uint32_t> m_colors;
    QList<std::uint8_t> m_hidden;
    // While suspended: whether rows came or went (the views are then reset
    // on resuming), else which cells changed (columns x rows).
    bool m_suspended{false};
    bool m_ticksOnly{false};
    bool m_structureChanged{false};
    QRect m_changedCells;
};
