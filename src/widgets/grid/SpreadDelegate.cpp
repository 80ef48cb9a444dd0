#include "widgets/grid/SpreadDelegate.h"

#include "core/data/CellText.h"
#include "widgets/grid/SpreadModel.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QStyle>
#include <QValidator>

#include <algorithm>

using namespace Qt::StringLiterals;

using Kind = CellKind;

namespace {

// Typing into a date cell: "YYYY/MM/DD" (one-digit month and day allowed)
// between 1900/01/01 and 2099/12/31. An empty text clears the cell; anything
// that is not yet a valid date is held back as intermediate.
class DateValidator final : public QValidator
{
public:
    using QValidator::QValidator;
    Q_DISABLE_COPY_MOVE(DateValidator)

    State validate(QString &input, int &) const override
    {
        static const QRegularExpression typing(
            QRegularExpression::anchoredPattern(u"[0-9]{0,4}(/[0-9]{0,2}(/[0-9]{0,2})?)?"_s));
        input = CellText::toHalfWidth(input);
        if (input.trimmed().isEmpty())
            return Acceptable;
        if (!typing.match(input).hasMatch())
            return Invalid;
        return CellText::parseDate(input) != 0 ? Acceptable : Intermediate;
    }
};

// Typing into a number cell: digits with an optional sign, decimal point and
// "," grouping, within the column's range. An empty text is a blank cell.
class NumberValidator final : public QValidator
{
public:
    NumberValidator(double minimum, double maximum, QObject *parent)
        : QValidator(parent), m_minimum(minimum), m_maximum(maximum)
    {
    }
    Q_DISABLE_COPY_MOVE(NumberValidator)

    State validate(QString &input, int &) const override
    {
        // Full-width digits become plain ones as they are typed.
        input = CellText::toHalfWidth(input);
        const QString trimmed = input.trimmed();
        if (trimmed.isEmpty())
            return Acceptable;

        // Digits after an optional sign, "," grouping only before the decimal point.
        static const QRegularExpression typing(
            QRegularExpression::anchoredPattern(u"[+-]?[0-9,]*(\\.[0-9]*)?"_s));
        if (!typing.match(trimmed).hasMatch() || (trimmed.startsWith(u'-') && m_minimum >= 0))
            return Invalid;
        if (!std::any_of(trimmed.cbegin(), trimmed.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
            return Intermediate;

        const std::optional<double> value = CellText::parseNumber(trimmed);
        if (!value)
            return Intermediate;
        if (*value >= m_minimum && *value <= m_maximum)
            return Acceptable;
        // More digits only take the value further out on that side.
        if ((*value > m_maximum && *value > 0) || (*value < m_minimum && *value < 0))
            return Invalid;
        return Intermediate;
    }

private:
    double m_minimum{0};
    double m_maximum{0};
};

} // namespace


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
