// Column widths in character units and the grid's uniform row height.
#include "widgets/grid/vaSpread.h"

#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>

#include <cmath>

void vaSpread::ScaleColumnWidths(double factor)
{
    for (int col = 0; col < m_widths.size(); ++col) {
        m_widths[col] = std::max(m_widths[col] * factor, 0.0);
        // Column 0 is the row-header column, which this grid never shows.
        if (col > 0)
            applyColumnWidth(col);
    }
}

void vaSpread::applyColumnWidth(int col)
{
    m_applyingWidths = true;
    const double width = m_widths[col];
    const bool hide = width <= 0;
    setColumnHidden(col - 1, hide);
    if (!hide)
        setColumnWidth(col - 1, std::max(1, int(std::lround(width * m_charWidth))));
    m_applyingWidths = false;
}

void vaSpread::onSectionResized(int section, int newSize)
{
    // An operator dragging a column edge changes the width the screens read.
    if (m_applyingWidths || newSize <= 0 || m_charWidth <= 0 || section + 1 >= m_widths.size())
        return;
    m_widths[section + 1] = newSize / m_charWidth;
}

void vaSpread::updateRowHeight()
{
    verticalHeader()->setDefaultSectionSize(QFontMetrics(font()).height() + 4);
}

void vaSpread::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        updateRowHeight();
    QTableView::changeEvent(event);
}
