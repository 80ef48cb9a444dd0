#pragma once

#include <QStyledItemDelegate>

// A grid column the operator reads but never types into.
class ReadOnlyDelegate final : public QStyledItemDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ReadOnlyDelegate)

public:
    explicit ReadOnlyDelegate(QObject *parent);
    ~ReadOnlyDelegate() override;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
};
