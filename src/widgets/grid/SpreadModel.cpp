#include "widgets/grid/SpreadModel.h"

#include "widgets/grid/CellForm.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// A grid's own cells, column by column, for the grids no screen lends a
// list of its own to (small lists: the dialogs' grids), which are never sorted.
class SpreadCells final : public SpreadData
{
public:
    explicit SpreadCells(qsizetype columns) : m_columns(std::size_t(columns)) {}

    int rowCount() const override { return m_rows; }
    void resize(int rows) override
    {
        for (std::vector<QVariant> &column : m_columns) {
            column.resize(std::size_t(rows));
            if (rows == 0)
                column.shrink_to_fit();
        }
        m_rows = rows;
    }
    QVariant cell(int column, int row) const override { return m_columns[std::size_t(column)][std::size_t(row)]; }
    bool setCell(int column, int row, const QVariant &value) override
    {
        m_columns[std::size_t(column)][std::size_t(row)] = value;
        return true;
    }

private:
    std::vector<std::vector<QVariant>> m_columns;
    int m_rows{0};
};

} // namespace

SpreadModel::SpreadModel(QObject *parent)
    : QAbstractTableModel(parent), m_own(std::make_unique<SpreadCells>(0)), m_data(m_own.get())
{
}

void SpreadModel::reset(const std::function<void()> &change)
{
    if (m_suspended) {
        change();
        m_structureChanged = true;
        return;
    }
    beginResetModel();
    change();
    m_publishedRows = rows();
    endResetModel();
}

void SpreadModel::setColumns(const QList<ColumnDef> &displayed, int dataOnlyColumns)
{
    reset([&] {
        m_columns = displayed;
        m_columns.resize(displayed.size() + dataOnlyColumns); // the data-only ones are plain texts
        m_displayed = int(displayed.size());
        const bool lent = m_data != m_own.get();
        const int rowCount = m_own->rowCount();
        m_own = std::make_unique<SpreadCells>(m_columns.size());
        m_own->resize(rowCount);
        if (!lent)
            m_data = m_own.get();
        fitRowFlags();
    });
}

void SpreadModel::lendData(SpreadData *data)
{
    reset([&] {
        m_data = data ? data : m_own.get();
        m_colors.clear();
        m_hidden.clear();
        fitRowFlags();
    });
}

void SpreadModel::fitRowFlags()
{
    const int count = rows();
    m_colors.resize(count, NoColor);
    m_hidden.resize(count, 0);
    if (count == 0) {
        m_colors.squeeze();
        m_hidden.squeeze();
    }
}

void SpreadModel::setRows(int count)
{
    count = std::max(count, 0);
    const int before = rows();
    if (count == before)
        return;
    const auto change = [&] {
        m_data->resize(count);
        fitRowFlags();
    };
    if (m_suspended || count == 0) {
        reset(change);
    } else if (count > before) {
        beginInsertRows(QModelIndex(), before, count - 1);
        change();
        m_publishedRows = count;
        endInsertRows();
    } else {
        beginRemoveRows(QModelIndex(), count, before - 1);
        change();
        m_publishedRows = count;
        endRemoveRows();
    }
}

void SpreadModel::write(int firstColumn, int firstRow, int lastColumn, int lastRow, const QVariant &value)
{
    for (int c = firstColumn; c <= lastColumn; ++c) {
        const QVariant cell = CellForm::FromValue(m_columns[c], value);
        for (int row = firstRow; row <= lastRow; ++row)
            m_data->setCell(c, row, cell);
    }
    announce(firstColumn, firstRow, lastColumn, lastRow, Change::Values);
}

QColor SpreadModel::color(int row) const
{
    const std::uint32_t rgba = m_colors[row];
    return rgba == NoColor ? QColor() : QColor::fromRgb(rgba);
}

void SpreadModel::setColor(int firstRow, int lastRow, const QColor &color)
{
    const std::uint32_t rgba = color.isValid() ? (color.rgb() | 0xff000000u) : NoColor;
    std::fill(m_colors.begin() + firstRow, m_colors.begin() + lastRow + 1, rgba);
    announce(0, firstRow, m_displayed - 1, lastRow, Change::Colours);
}

void SpreadModel::sortRows(int firstRow, int lastRow, const QList<SortKey> &keys)
{
    firstRow = std::max(firstRow, 0);
    lastRow = std::min(lastRow, rows() - 1);
    QList<SortKey> used;
    for (const SortKey &key : keys) {
        if (key.column >= 0 && key.column < storedColumns() && used.size() < 3)
            used.append(key);
    }
    if (lastRow - firstRow < 1 || used.isEmpty())
        return;

    const std::vector<int> order = m_data->sortedRows(firstRow, lastRow, used);
    if (order.empty())
        return;
    const bool tell = !m_suspended;
    if (tell)
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    m_data->reorder(firstRow, order);
    QList<std::uint32_t> colors = m_colors;
    QList<std::uint8_t> hidden = m_hidden;
    std::vector<int> newRow(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        const int to = firstRow + int(i);
        colors[to] = m_colors[order[i]];
        hidden[to] = m_hidden[order[i]];
        newRow[std::size_t(order[i] - firstRow)] = to;
    }
    m_colors.swap(colors);
    m_hidden.swap(hidden);
    if (!tell) {
        m_structureChanged = true;
        return;
    }
    // The current cell, any selection and the header's own records stay on
    // the rows they were on.
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &index : before) {
        const int row = index.row();
        const bool moved = row >= firstRow && row <= lastRow;
        after.append(this->index(moved ? newRow[std::size_t(row - firstRow)] : row, index.column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void SpreadModel::announce(int firstColumn, int firstRow, int lastColumn, int lastRow, Change change)
{
    // Data-only columns have nothing to show.
    lastColumn = std::min(lastColumn, m_displayed - 1);
    if (firstColumn > lastColumn || firstRow > lastRow)
        return;
    if (m_suspended) {
        m_changedCells |= QRect(QPoint(firstColumn, firstRow), QPoint(lastColumn, lastRow));
        return;
    }
    const QList<int> roles = change == Change::Colours
                                 ? QList<int>{Qt::BackgroundRole}
                                 : QList<int>{Qt::DisplayRole, Qt::EditRole, Qt::CheckStateRole};
    emit dataChanged(index(firstRow, firstColumn), index(lastRow, lastColumn), roles);
}

bool SpreadModel::resume()
{
    if (!m_suspended)
        return false;
    const bool reset = std::exchange(m_structureChanged, false);
    const QRect cells = std::exchange(m_changedCells, QRect());
    m_suspended = false;
    if (reset) {
        beginResetModel();
        m_publishedRows = rows();
        endResetModel();
    } else if (cells.isValid()) {
        const int lastRow = std::min(cells.bottom(), rows() - 1);
        if (cells.top() <= lastRow)
            emit dataChanged(index(cells.top(), cells.left()), index(lastRow, cells.right()));
    }
    return reset;
}
