// The item-model face of the grid's storage: what views read and the
// operator writes.
#include "widgets/grid/SpreadModel.h"

#include <QBrush>

using namespace Qt::StringLiterals;

int SpreadModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_publishedRows;
}

int SpreadModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_displayed;
}

QVariant SpreadModel::data(const QModelIndex &index, int role) const
{
    // While suspended the views may still hold rows that are gone.
    if (!index.isValid() || index.row() >= m_rows || index.column() >= m_displayed)
        return QVariant();
    const SpreadColumn &cells = this->cells(index.column());
    const int at = slot(index.row());
    const bool isCheckBox = cells.kind() == SpreadColumn::Kind::CheckBox;
    switch (role) {
    case Qt::DisplayRole:
        return isCheckBox ? QVariant() : QVariant(cells.text(at));
    case Qt::EditRole:
        return cells.value(at);
    case Qt::CheckStateRole:
        return isCheckBox ? QVariant(int(cells.isChecked(at) ? Qt::Checked : Qt::Unchecked)) : QVariant();
    case Qt::BackgroundRole: {
        const QColor rowColor = color(index.row());
        return QBrush(rowColor.isValid() ? rowColor : QColor(Qt::white));
    }
    case Qt::TextAlignmentRole: {
        Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
        if (cells.kind() == SpreadColumn::Kind::Number || cells.kind() == SpreadColumn::Kind::Integer)
            alignment = Qt::AlignRight | Qt::AlignVCenter;
        else if (isCheckBox)
            alignment = Qt::AlignCenter;
        return int(alignment);
    }
    default:
        return QVariant();
    }
}

bool SpreadModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.row() >= m_rows || index.column() >= m_displayed)
        return false;
    SpreadColumn &cells = m_columns[std::size_t(index.column())];
    const int at = slot(index.row());
    const QString before = cells.value(at);
    bool stored = false;
    if (role == Qt::CheckStateRole && cells.kind() == SpreadColumn::Kind::CheckBox)
        stored = cells.writeEdited(at, value.toInt() == Qt::Checked ? u"1"_s : u"0"_s);
    else if (role == Qt::EditRole && cells.kind() != SpreadColumn::Kind::CheckBox)
        stored = cells.writeEdited(at, value.toString());
    if (!stored)
        return false;
    if (cells.value(at) == before)
        return true;
    announce(index.column(), index.row(), index.column(), index.row(), Change::Values);
    emit cellEdited(index.column(), index.row());
    return true;
}

Qt::ItemFlags SpreadModel::flags(const QModelIndex &index) const
{
    if (!index.isValid() || index.column() >= m_displayed)
        return Qt::NoItemFlags;
    const Qt::ItemFlags base = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (columnDef(index.column()).kind == CellKind::CheckBox)
        return base | Qt::ItemIsUserCheckable;
    return base | Qt::ItemIsEditable;
}

QVariant SpreadModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || section < 0)
        return QVariant();
    if (orientation == Qt::Vertical)
        return section + 1;
    return section < m_displayed ? QVariant(columnDef(section).header) : QVariant();
}
