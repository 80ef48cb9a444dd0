#include "widgets/grid/SpreadModel.h"

#include <algorithm>
#include <numeric>

SpreadModel::SpreadModel(QObject *parent) : QAbstractTableModel(parent) {}

SpreadModel::~SpreadModel() = default;

void SpreadModel::setColumns(const QList<vaSpread::ColumnSpec> &displayed, int dataOnlyColumns)
{
    if (!m_suspended)
        beginResetModel();
    m_columns.clear();
    for (const vaSpread::ColumnSpec &columnDef : displayed)
        m_columns.emplace_back(columnDef);
    for (int i = 0; i < dataOnlyColumns; ++i)
        m_columns.emplace_back(vaSpread::ColumnSpec{});
    m_displayed = int(displayed.size());
    for (SpreadColumn &column : m_columns)
        column.resize(m_allocatedSlots);
    if (m_suspended) {
        m_structureChanged = true;
    } else {
        m_publishedRows = m_rows;
        endResetModel();
    }
}

void SpreadModel::resizeStorage(int rows)
{
    if (rows == 0) {
        // Emptying gives the memory back as well.
        for (SpreadColumn &column : m_columns)
            column.clear();
        m_colors = {};
        m_hidden = {};
        m_slots = {};
        m_slotsInOrder = true;
        m_order.release();
        m_rowsBeforeEmptied = m_rows;
        m_allocatedSlots = 0;
        m_rows = 0;
        return;
    }
    if (rows < m_rows) {
        // Cut rows come back blank when the sheet grows again, so their
        // slots must be the ones past the end.
        putSlotsInOrder();
        for (int s = rows; s < m_rows; ++s) {
            for (SpreadColumn &column : m_columns)
                column.blank(s);
            m_colors[s] = NoColor;
            m_hidden[s] = 0;
        }
    } else if (rows > m_allocatedSlots) {
        // Grow in steps so that a fill adding one row at a time touches the
        // arrays only now and then: doubling while small, then a block at a
        // time. The arrays grow by realloc, which does not copy big ones.
        const int wanted = m_allocatedSlots == 0 ? std::max(rows, m_rowsBeforeEmptied) : rows;
        m_allocatedSlots = wanted <= Block ? std::min(std::max({wanted, m_allocatedSlots * 2, 64}), Block)
                                           : (wanted + Block - 1) / Block * Block;
        for (SpreadColumn &column : m_columns)
            column.resize(m_allocatedSlots);
        m_colors.resize(m_allocatedSlots, NoColor);
        m_hidden.resize(m_allocatedSlots, 0);
    }
    if (!m_slotsInOrder) {
        m_slots.resize(rows);
        std::iota(m_slots.begin() + std::min(m_rows, rows), m_slots.end(), std::min(m_rows, rows));
    }
    m_rows = rows;
}

void SpreadModel::fitStorage()
{
    const int fitted = std::max((m_rows + Block - 1) / Block * Block, Block);
    if (m_allocatedSlots - fitted < Block)
        return;
    putSlotsInOrder();
    m_allocatedSlots = fitted;
    for (SpreadColumn &column : m_columns)
        column.resize(m_allocatedSlots);
    m_colors.resize(m_allocatedSlots);
    m_hidden.resize(m_allocatedSlots);
    m_colors.squeeze();
    m_hidden.squeeze();
}

void SpreadModel::putSlotsInOrder()
{
    if (m_slotsInOrder)
        return;
    for (SpreadColumn &column : m_columns)
        column.gather(m_slots);
    QList<std::uint32_t> colors(m_colors.size(), NoColor);
    QList<std::uint8_t> hidden(m_hidden.size(), 0);
    for (int row = 0; row < m_rows; ++row) {
        colors[row] = m_colors[m_slots[row]];
        hidden[row] = m_hidden[m_slots[row]];
    }
    m_colors.swap(colors);
    m_hidden.swap(hidden);
    m_slots = {};
    m_slotsInOrder = true;
}

void SpreadModel::setRows(int rows)
{
    rows = std::max(rows, 0);
    if (rows == m_rows)
        return;
    if (m_suspended) {
        resizeStorage(rows);
        m_structureChanged = true;
    } else if (rows == 0) {
        beginResetModel();
        resizeStorage(0);
        m_publishedRows = 0;
        endResetModel();
    } else if (rows > m_rows) {
        beginInsertRows(QModelIndex(), m_rows, rows - 1);
        resizeStorage(rows);
        m_publishedRows = rows;
        endInsertRows();
    } else {
        beginRemoveRows(QModelIndex(), rows, m_rows - 1);
        resizeStorage(rows);
        m_publishedRows = rows;
        endRemoveRows();
    }
}

void SpreadModel::emptyForReload()
{
    Q_ASSERT(m_suspended);
    for (SpreadColumn &column : m_columns)
        column.blankAll();
    std::fill(m_colors.begin(), m_colors.end(), NoColor);
    std::fill(m_hidden.begin(), m_hidden.end(), std::uint8_t(0));
    m_slots = {};
    m_slotsInOrder = true;
    m_rows = 0;
    m_structureChanged = true;
}

int SpreadModel::appendRow()
{
    Q_ASSERT(m_suspended);
    // Mostly a blank slot is waiting at the end already.
    if (m_slotsInOrder && m_rows < m_allocatedSlots) {
        m_structureChanged = true;
        return m_rows++;
    }
    setRows(m_rows + 1);
    return slot(m_rows - 1);
}

const int *SpreadModel::slotsOf(int firstRow, int lastRow) const
{
    // Every row together holds exactly the slots 0..m_rows-1, in some order.
    const bool everyRow = firstRow == 0 && lastRow == m_rows - 1;
    return m_slotsInOrder || everyRow ? nullptr : m_slots.constData();
}

void SpreadModel::write(int firstColumn, int firstRow, int lastColumn, int lastRow, const QVariant &value)
{
    const int *rowSlots = slotsOf(firstRow, lastRow);
    for (int c = firstColumn; c <= lastColumn; ++c)
        m_columns[std::size_t(c)].write(firstRow, lastRow, rowSlots, value);
    announce(firstColumn, firstRow, lastColumn, lastRow, Change::Values);
}

QColor SpreadModel::color(int row) const
{
    const std::uint32_t rgba = m_colors[slot(row)];
    return rgba == NoColor ? QColor() : QColor::fromRgb(rgba);
}

void SpreadModel::setColor(int firstRow, int lastRow, const QColor &color)
{
    const std::uint32_t rgba = rgbaOf(color);
    const int *rowSlots = slotsOf(firstRow, lastRow);
    for (int row = firstRow; row <= lastRow; ++row)
        m_colors[rowSlots ? rowSlots[row] : row] = rgba;
    announce(0, firstRow, m_displayed - 1, lastRow, Change::Colours);
}

void SpreadModel::setHidden(int firstRow, int lastRow, bool hidden)
{
    const int *rowSlots = slotsOf(firstRow, lastRow);
    for (int row = firstRow; row <= lastRow; ++row)
        m_hidden[rowSlots ? rowSlots[row] : row] = std::uint8_t(hidden);
}

void SpreadModel::announce(int firstColumn, int firstRow, int lastColumn, int lastRow, Change change)
{
    // Data-only columns have nothing to show.
    lastColumn = std::min(lastColumn, m_displayed - 1);
    if (firstColumn > lastColumn || firstRow > lastRow)
        return;
    if (m_suspended) {
        m_unannounced |= QRect(QPoint(firstColumn, firstRow), QPoint(lastColumn, lastRow));
        return;
    }
    const QList<int> roles = change == Change::Colours
                                 ? QList<int>{Qt::BackgroundRole}
                                 : QList<int>{Qt::DisplayRole, Qt::EditRole, Qt::CheckStateRole};
    emit dataChanged(index(firstRow, firstColumn), index(lastRow, lastColumn), roles);
}

void SpreadModel::suspend()
{
    m_suspended = true;
}

bool SpreadModel::resume()
{
    if (!m_suspended)
        return false;
    m_suspended = false;
    const bool reset = m_structureChanged;
    if (reset) {
        beginResetModel();
        m_publishedRows = m_rows;
        endResetModel();
    } else if (m_unannounced.isValid()) {
        const int lastRow = std::min(m_unannounced.bottom(), m_rows - 1);
        if (m_unannounced.top() <= lastRow)
            emit dataChanged(index(m_unannounced.top(), m_unannounced.left()),
                             index(lastRow, m_unannounced.right()));
    }
    m_structureChanged = false;
    m_unannounced = QRect();
    return reset;
}
