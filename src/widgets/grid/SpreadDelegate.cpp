#include "widgets/grid/SpreadDelegate.h"

#include "widgets/grid/DateValidator.h"
#include "widgets/grid/NumberValidator.h"
#include "widgets/grid/SpreadModel.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

using Kind = CellKind;

bool SpreadDelegate::isCheckBox(const QModelIndex &index) const
{
    return index.isValid() && index.column() < m_model->displayedColumns()
           && m_model->columnDef(index.column()).kind == Kind::CheckBox;
}

QWidget *SpreadDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const
{
    if (!index.isValid() || index.column() >= m_model->displayedColumns() || isCheckBox(index))
        return nullptr;
    const ColumnDef &columnDef = m_model->columnDef(index.column());
    auto *editor = new QLineEdit(parent);
    editor->setFrame(false);
    switch (columnDef.kind) {
    case Kind::Number:
    case Kind::Integer:
    case Kind::Yen:
        editor->setValidator(new NumberValidator(columnDef.minimum, columnDef.maximum, editor));
        editor->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        break;
    case Kind::Date:
        editor->setValidator(new DateValidator(editor));
        editor->setMaxLength(10);
        break;
    case Kind::Text:
        if (columnDef.maxLength > 0)
            editor->setMaxLength(columnDef.maxLength);
        break;
    case Kind::CheckBox:
        break;
    }
    return editor;
}

void SpreadDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    auto *line = qobject_cast<QLineEdit *>(editor);
    if (!line)
        return;
    // A half-typed number or date is not stored; the cell keeps its value.
    if (!line->hasAcceptableInput()) {
        QApplication::beep();
        return;
    }
    model->setData(index, line->text(), Qt::EditRole);
}

void SpreadDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (!isCheckBox(index)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const QStyle *style = cell.widget ? cell.widget->style() : QApplication::style();
    // Background, selection and focus as any cell, then the box in the middle.
    const Qt::CheckState state = cell.checkState;
    cell.features &= ~QStyleOptionViewItem::HasCheckIndicator;
    cell.text.clear();
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, cell.widget);

    QStyleOptionViewItem box = cell;
    const int w = style->pixelMetric(QStyle::PM_IndicatorWidth, &cell, cell.widget);
    const int h = style->pixelMetric(QStyle::PM_IndicatorHeight, &cell, cell.widget);
    box.rect = QStyle::alignedRect(cell.direction, Qt::AlignCenter, QSize(w, h), cell.rect);
    box.state = (cell.state & ~(QStyle::State_On | QStyle::State_Off))
                | (state == Qt::Checked ? QStyle::State_On : QStyle::State_Off);
    style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &box, painter, cell.widget);
}

bool SpreadDelegate::editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                                 const QModelIndex &index)
{
    if (!isCheckBox(index) || !(index.flags() & Qt::ItemIsEnabled))
        return false;
    // The whole cell is the box's target, not only the painted square.
    switch (event->type()) {
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton || !option.rect.contains(mouse->position().toPoint()))
            return false;
        break;
    }
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key != Qt::Key_Space && key != Qt::Key_Select)
            return false;
        break;
    }
    default:
        return false;
    }
    const bool checked = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    return model->setData(index, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
}
