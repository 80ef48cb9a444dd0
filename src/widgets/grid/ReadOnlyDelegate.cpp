#include "widgets/grid/ReadOnlyDelegate.h"

ReadOnlyDelegate::ReadOnlyDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
{
}

ReadOnlyDelegate::~ReadOnlyDelegate() = default;

QWidget *ReadOnlyDelegate::createEditor(QWidget *, const QStyleOptionViewItem &, const QModelIndex &) const
{
    return nullptr;
}
