#include "widgets/grid/SpreadLoader.h"

SpreadLoader::SpreadLoader(vaSpread *grid, Mode mode) : m_noPaint(grid), m_grid(grid)
{
    if (mode == Mode::Replace)
        m_grid->SetMaxRows(0);
}

void SpreadLoader::addRow()
{
    m_row = m_grid->MaxRows() + 1;
    m_grid->SetMaxRows(m_row);
}

void SpreadLoader::setValue(int col, const QVariant &value)
{
    if (m_row > 0)
        m_grid->SetText(col, m_row, value);
}

void SpreadLoader::setColor(const QColor &color)
{
    if (m_row > 0)
        m_grid->SetBackColor(m_row, color);
}
