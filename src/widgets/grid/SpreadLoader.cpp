#include "widgets/grid/SpreadLoader.h"

#include "widgets/grid/SpreadModel.h"

#include "core/data/FieldValue.h"

SpreadLoader::SpreadLoader(vaSpread *grid, Mode mode)
    : m_noPaint(grid), m_grid(grid), m_model(*grid->m_model), m_columns(m_model.storedColumns())
{
    if (mode == Mode::Replace)
        m_model.emptyForReload();
    m_lastDateText.resize(std::size_t(m_columns) + 1);
}

// The guard's end tells the views of every new row at once.
SpreadLoader::~SpreadLoader()
{
    m_model.fitStorage();
}

void SpreadLoader::addRow()
{
    m_slot = m_model.appendRow();
    m_row = m_model.rows();
}

void SpreadLoader::setDate(int col, const std::optional<QDate> &date)
{
    if (!has(col))
        return;
    SpreadColumn &cells = m_model.cellsOf(col - 1);
    if (cells.kind() == SpreadColumn::Kind::Date || !date) {
        cells.setDate(m_slot, date);
        return;
    }
    DateText &last = m_lastDateText[std::size_t(col)];
    const qint64 julian = date->toJulianDay();
    if (last.text.isNull() || last.julian != julian) {
        auto text = m_dateTexts.constFind(julian);
        if (text == m_dateTexts.constEnd())
            text = m_dateTexts.insert(julian, FieldValue::FormatDate(*date));
        last = {julian, *text};
    }
    cells.setText(m_slot, last.text);
}

void SpreadLoader::setValue(int col, const QVariant &value)
{
    if (has(col))
        m_grid->SetText(col, m_row, value);
}

void SpreadLoader::setColor(const QColor &color)
{
    if (m_row > 0)
        m_model.setSlotColor(m_slot, color);
}
