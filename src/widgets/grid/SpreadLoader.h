#pragma once

#include "widgets/grid/vaSpread.h"

#include <QColor>
#include <QDate>
#include <QString>
#include <QVariant>

#include <optional>

// Fills a grid row by row as one batch: painting is off meanwhile and the
// views hear of the new rows once, when the loader ends. Columns are 1-based
// as everywhere in vaSpread; a column the grid does not have is ignored;
// each value is taken as SetText takes it.
class SpreadLoader final
{
public:
    // Append adds rows after the grid's last; Replace empties the grid first.
    enum class Mode { Append, Replace };
    explicit SpreadLoader(vaSpread *grid, Mode mode = Mode::Append);
    SpreadLoader(const SpreadLoader &) = delete;
    SpreadLoader &operator=(const SpreadLoader &) = delete;

    // A new blank row after the last; the writes below go to it.
    void addRow();
    int row() const { return m_row; }

    void setText(int col, const QString &text) { setValue(col, text); }
    void copyText(int col, QStringView text) { setValue(col, text.toString()); }
    void setNumber(int col, double number) { setValue(col, number); }
    void setInteger(int col, qint64 number) { setValue(col, qlonglong(number)); }
    // No date is an empty cell.
    void setDate(int col, const std::optional<QDate> &date) { setValue(col, date ? QVariant(*date) : QVariant(QString())); }
    void setValue(int col, const QVariant &value);
    void setColor(const QColor &color);

private:
    ReDrawGuard m_noPaint;
    vaSpread *m_grid;
    int m_row = 0;
};
