#pragma once

#include <QStyledItemDelegate>

class SpreadModel;

// Paints check box cells with a centred box and toggles them on a click or
// Space; gives the other cells a line editor limited by the column's kind.
class SpreadDelegate final : public QStyledItemDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SpreadDelegate)

public:
    explicit SpreadDelegate(const SpreadModel *model, QObject *parent = nullptr)
        : QStyledItemDelegate(parent), m_model(model)
    {
    }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

protected:
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;

private:
    bool isCheckBox(const QModelIndex &index) const;

    const SpreadModel *m_model{nullptr};
};
