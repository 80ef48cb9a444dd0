#pragma once

#include <QStyledItemDelegate>

// A grid column the operator reads but never types into.
class ReadOnlyDelegate final : public QStyledItemDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ReadOnlyDelegate)

public:
    explicit ReadOnlyDelegate(QObject *parent) : QStyledItemDelegate(parent) {}

    QWidget *createEditor(QWidget *, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        return nullptr;
    }
};
