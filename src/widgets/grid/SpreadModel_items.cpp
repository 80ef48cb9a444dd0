// The item-model face of the grid's rows: what views read and the operator
// writes.
#include "widgets/grid/SpreadModel.h"

#include "widgets/grid/CellForm.h"

#include <QBrush>

QVariant SpreadModel::data(const QModelIndex &index, int role) const
{
    // While suspended the views may still hold rows that are gone.
    if (!index.isValid() || index.row() >= rows() || index.column() >= m_displayed)
        return QVariant();
    const ColumnDef &column = m_columns[index.column()];
    const bool isCheckBox = column.kind == CellKind::CheckBox;
    switch (role) {
    case Qt::DisplayRole:
        return isCheckBox ? QVariant() : QVariant(CellForm::Text(column, cell(index.column(), index.row())));
    case Qt::EditRole:
        return CellForm::Value(column, cell(index.column(), index.row()));
    case Qt::CheckStateRole:
        if (!isCheckBox)
            return QVariant();
        return int(cell(index.column(), index.row()).toBool() ? Qt::Checked : Qt::Unchecked);
    case Qt::BackgroundRole: {
        const QColor rowColor = color(index.row());
        return QBrush(rowColor.isValid() ? rowColor : QColor(Qt::white));
    }
    case Qt::TextAlignmentRole: {
        Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
        if (column.kind == CellKind::Number || column.kind == CellKind::Integer || column.kind == CellKind::Yen)
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
    if (!index.isValid() || index.row() >= rows() || index.column() >= m_displayed)
        return false;
    const ColumnDef &column = m_columns[index.column()];
    const bool isCheckBox = column.kind == CellKind::CheckBox;
    std::optional<QVariant> typed;
    if (role == Qt::CheckStateRole && isCheckBox)
        typed = value.toInt() == Qt::Checked;
    else if (role == Qt::EditRole && !isCheckBox)
        typed = CellForm::FromTyped(column, value.toString());
    const QString before = CellForm::Value(column, cell(index.column(), index.row()));
    if (!typed || !m_data->setCell(index.column(), index.row(), *typed))
        return false;
    if (CellForm::Value(column, cell(index.column(), index.row())) == before)
        return true;
    announce(index.column(), index.row(), index.column(), index.row(), Change::Values);
    emit cellEdited(index.column(), index.row());
    return true;
}

Qt::ItemFlags SpreadModel::flags(const QModelIndex &index) const
{
    if (!index.isValid() || index.column() >= m_displayed)
        return Qt::NoItemFlags;
    const Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (columnDef(index.column()).kind == CellKind::CheckBox)
        return flags | Qt::ItemIsUserCheckable;
    return m_ticksOnly ? flags : flags | Qt::ItemIsEditable;
}

QVariant SpreadModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    // Rows are numbered from 1 by the base class.
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return section >= 0 && section < m_displayed ? QVariant(columnDef(section).header) : QVariant();
    return QAbstractTableModel::headerData(section, orientation, role);
}
