#include "widgets/grid/vaSpread.h"

#include "widgets/grid/CellForm.h"
#include "widgets/grid/SpreadDelegate.h"

#include <QFontMetricsF>
#include <QHeaderView>
#include <QScopeGuard>

#include <algorithm>

namespace {

// Width of a column laid out without one, in character units.
constexpr double DefaultColWidth = 8.0;

// Painting off for a scope, back on at its end unless it was off already.
auto pauseUpdates(QWidget *widget)
{
    // Turned off only when on: switching off explicitly would outlast a parent's own switch.
    const bool wasOn = widget->updatesEnabled();
    if (wasOn)
        widget->setUpdatesEnabled(false);
    return qScopeGuard([widget, wasOn] {
        if (wasOn)
            widget->setUpdatesEnabled(true);
    });
}

// A 1-based address, -1 meaning all, as a 0-based range within count; false
// when the address names nothing.
bool toRange(int address, int count, int &first, int &last)
{
    first = address == -1 ? 0 : address - 1;
    last = address == -1 ? count - 1 : address - 1;
    return first >= 0 && last < count && first <= last;
}

double averageCharWidth(const QFont &font)
{
    // A unit is one digit of the grid's font plus its share of the cell
    // margins, so an 8 wide column shows a whole "YYYY/MM/DD".
    const QFontMetricsF metrics(font);
    return metrics.horizontalAdvance(QLatin1Char('0')) * 1.4;
}

} // namespace

vaSpread::vaSpread(QWidget *parent) : QTableView(parent), m_model(std::make_unique<SpreadModel>())
{
    setModel(m_model.get());
    setItemDelegate(new SpreadDelegate(m_model.get(), this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                    | QAbstractItemView::AnyKeyPressed);
    setWordWrap(false);
    setCornerButtonEnabled(false);

    // The row-header column has width 0, and every row has one height, so
    // nothing ever measures rows one by one.
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    updateRowHeight();
    m_charWidth = averageCharWidth(font());
    m_widths = {0.0};

    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
        emit Click(section + 1, 0);
    });
    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int section, int, int newSize) { onSectionResized(section, newSize); });
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex &index) {
        emit Click(index.column() + 1, index.row() + 1);
    });
    connect(m_model.get(), &SpreadModel::cellEdited, this, [this](int column, int row) {
        emit Change(column + 1, row + 1);
    });
    // A reset keeps the header's hidden sections, which no longer belong
    // to the same rows.
    connect(m_model.get(), &QAbstractItemModel::modelReset, this, [this] { syncHiddenRows(); });
}

vaSpread::~vaSpread()
{
    // The view must let go of the model before the model goes.
    setModel(nullptr);
}

void vaSpread::setColumns(const QList<ColumnDef> &displayed, int dataOnlyColumns)
{
    m_model->setColumns(displayed, std::max(dataOnlyColumns, 0));
    m_charWidth = averageCharWidth(font());
    m_widths = {0.0};
    for (const ColumnDef &columnDef : displayed)
        m_widths.append(columnDef.width < 0 ? DefaultColWidth : columnDef.width);
    for (int col = 1; col < m_widths.size(); ++col)
        applyColumnWidth(col);
}

bool vaSpread::holds(int col, int row) const
{
    return col >= 1 && col <= m_model->storedColumns() && row >= 1 && row <= m_model->rows();
}

QString vaSpread::Value(int col, int row) const
{
    return holds(col, row) ? CellForm::Value(m_model->columnDef(col - 1), m_model->cell(col - 1, row - 1)) : QString();
}

double vaSpread::Number(int col, int row) const
{
    return holds(col, row) ? CellForm::Number(m_model->columnDef(col - 1), m_model->cell(col - 1, row - 1)) : 0.0;
}

QString vaSpread::Text(int col, int row) const
{
    return holds(col, row) ? CellForm::Text(m_model->columnDef(col - 1), m_model->cell(col - 1, row - 1)) : QString();
}

void vaSpread::SetBlockValue(int col, int row, int col2, int row2, const QVariant &value)
{
    int firstCol = 0, lastCol = 0, firstRow = 0, lastRow = 0, c2First = 0, c2Last = 0, r2First = 0, r2Last = 0;
    const int cols = m_model->storedColumns(), rows = m_model->rows();
    if (!toRange(col, cols, firstCol, lastCol) || !toRange(col2, cols, c2First, c2Last)
        || !toRange(row, rows, firstRow, lastRow) || !toRange(row2, rows, r2First, r2Last))
        return;
    // The corners may come in either order.
    m_model->write(std::min(firstCol, c2First), std::min(firstRow, r2First), std::max(lastCol, c2Last),
                   std::max(lastRow, r2Last), value);
}

QColor vaSpread::BackColor(int row) const
{
    return row >= 1 && row <= m_model->rows() ? m_model->color(row - 1) : QColor();
}

void vaSpread::SetBackColor(int row, const QColor &color)
{
    int first = 0, last = 0;
    if (toRange(row, m_model->rows(), first, last))
        m_model->setColor(first, last, color);
}

bool vaSpread::RowHidden(int row) const
{
    return row >= 1 && row <= m_model->rows() && m_model->isHidden(row - 1);
}

void vaSpread::SetRowHidden(int row, bool hidden)
{
    int first = 0, last = 0;
    if (!toRange(row, m_model->rows(), first, last))
        return;
    m_model->setHidden(first, last, hidden);
    syncHiddenRows(first, last);
}

void vaSpread::SetReDraw(bool on)
{
    if (on == m_reDraw)
        return;
    m_reDraw = on;
    if (!on) {
        setUpdatesEnabled(false);
        m_model->suspend();
        return;
    }
    // A reset on resuming has put the hidden rows right already.
    if (!m_model->resume())
        syncHiddenRows();
    setUpdatesEnabled(true);
    viewport()->update();
}

void vaSpread::Sort(int row1, int row2, const QList<SortKey> &keys)
{
    QList<SortKey> zeroBased;
    for (const SortKey &key : keys)
        zeroBased.append({key.column - 1, key.order});
    // The header re-hides its sections one by one after a reorder; with
    // painting on, each of them would cost a pass over every row.
    const auto paused = pauseUpdates(this);
    m_model->sortRows(std::min(row1, row2) - 1, std::max(row1, row2) - 1, zeroBased);
    syncHiddenRows();
}

void vaSpread::syncHiddenRows(int first, int last)
{
    if (m_model->isSuspended())
        return;
    // A header section hidden with painting on works out the place of every
    // row below it; thousands of them would take seconds.
    const auto paused = pauseUpdates(this);
    last = std::min({last, m_model->rows() - 1, model()->rowCount() - 1});
    for (int r = std::max(first, 0); r <= last; ++r) {
        const bool hidden = m_model->isHidden(r);
        if (isRowHidden(r) != hidden)
            setRowHidden(r, hidden);
    }
}
