#pragma once

#include "widgets/grid/SpreadModel.h"
#include "widgets/grid/vaSpread.h"

#include <QColor>
#include <QDate>
#include <QHash>
#include <QString>
#include <QVariant>

#include <optional>
#include <vector>

// Loads rows into a grid in bulk, as a search fills it: each value goes
// straight into its column's array in its own form (numbers, integers and
// dates are never made text on the way in; display texts are formatted only
// for the cells painted), and the views hear of the new rows once, when the
// loader ends. Dates in a text column share their text. Columns are 1-based as everywhere in vaSpread; a column the
// grid does not have is ignored. A column of another kind than the value
// takes it as SetText would.
class SpreadLoader final
{
public:
    // Append adds rows after the grid's last; Replace empties the grid first
    // but keeps its storage for the new rows (what is left unused goes back
    // when the loader ends).
    enum class Mode { Append, Replace };
    explicit SpreadLoader(vaSpread *grid, Mode mode = Mode::Append);
    ~SpreadLoader();
    SpreadLoader(const SpreadLoader &) = delete;
    SpreadLoader &operator=(const SpreadLoader &) = delete;

    // A new blank row after the last; the writes below go to it.
    void addRow();
    int row() const { return m_row; }

    // A text shared with other cells (a payment method, a shop), kept as
    // the one string.
    void setText(int col, const QString &text)
    {
        if (has(col))
            m_model.cellsOf(col - 1).setText(m_slot, text);
    }
    // A text of this cell's own (a name), copied into the column's buffer.
    void copyText(int col, QStringView text)
    {
        if (has(col))
            m_model.cellsOf(col - 1).copyText(m_slot, text);
    }
    // The same for the text append() adds to the end of a QString, such as
    // DbRecordset::AppendTextAt: no string of its own on the way.
    template <typename Append>
    void copyAppended(int col, Append &&append)
    {
        if (has(col))
            m_model.cellsOf(col - 1).copyAppended(m_slot, append);
    }
    void setNumber(int col, double number)
    {
        if (has(col))
            m_model.cellsOf(col - 1).setNumber(m_slot, number);
    }
    void setInteger(int col, qint64 number)
    {
        if (has(col))
            m_model.cellsOf(col - 1).setInteger(m_slot, number);
    }
    void setDate(int col, const std::optional<QDate> &date);
    void setValue(int col, const QVariant &value);
    void setColor(const QColor &color);

private:
    bool has(int col) const { return col >= 1 && col <= m_columns && m_row > 0; }

    // A date text column's cells share one "YYYY/MM/DD" text per day; the
    // last one per column is at hand, since neighbouring rows mostly share it.
    struct DateText
    {
        qint64 julian = 0;
        QString text;
    };
    QHash<qint64, QString> m_dateTexts;
    std::vector<DateText> m_lastDateText;
    ReDrawGuard m_noPaint;
    vaSpread *m_grid;
    SpreadModel &m_model;
    int m_columns;
    int m_row = 0;
    int m_slot = -1;
};
