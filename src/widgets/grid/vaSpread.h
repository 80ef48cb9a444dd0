#pragma once

#include "widgets/grid/ColumnDef.h"
#include "widgets/grid/SpreadModel.h"

#include <QColor>
#include <QList>
#include <QTableView>
#include <QVariant>

#include <limits>
#include <memory>

// The spreadsheet-style grid the screens drive. Cells are addressed as
// (column, row) from 1; row 0 is the header row; -1 means every row (or every
// column) where an operation says so. Columns beyond MaxCols() are data-only:
// stored per row, travelling with the row on sort, never displayed.
// The grid keeps its own cells unless a screen lends it rows of its own
// (lendRows); it is then a view over them.
class vaSpread final : public QTableView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(vaSpread)

public:
    explicit vaSpread(QWidget *parent = nullptr);
    ~vaSpread() override;

    // Design-time layout: the displayed columns, then the data-only ones.
    void setColumns(const QList<ColumnDef> &displayed, int dataOnlyColumns = 0);
    // Shows rows kept elsewhere, with the columns set, for the grid's life
    // (null: its own cells again). After their owner replaced them,
    // rowsReplaced() starts the colours and hidden rows afresh.
    void lendRows(SpreadData *rows) { m_model->lendData(rows); }
    void rowsReplaced() { m_model->rowsReplaced(); }
    // The operator may tick the check boxes and type into nothing else.
    void setTicksOnly() { m_model->setTicksOnly(); }

    int MaxRows() const { return m_model->rows(); }
    void SetMaxRows(int rows) { m_model->setRows(rows); } // 0 empties; new rows are blank
    int MaxCols() const { return m_model->displayedColumns(); } // displayed columns only

    // Unformatted value as text; check boxes "1"/"0", empty cells "".
    QString Value(int col, int row) const;
    // Number cells also offer the value itself (0 for an empty cell).
    double Number(int col, int row) const;
    // row -1 writes every row of the column. Check boxes and numbers take
    // numbers or numeric text; a date cell takes a valid date text or empty
    // (anything else leaves it blank). Texts are stored as given: the
    // column's length only limits what the operator can type.
    void SetValue(int col, int row, const QVariant &value) { SetBlockValue(col, row, col, row, value); }
    // Display text (numbers grouped where the column says so).
    QString Text(int col, int row) const;
    // Writes a cell without moving anything; same rules as SetValue.
    void SetText(int col, int row, const QVariant &value) { SetBlockValue(col, row, col, row, value); }
    // The whole block (BlockMode with a Value write).
    void SetBlockValue(int col, int row, int col2, int row2, const QVariant &value);

    // Row colours. row -1 colours the whole sheet. An uncoloured row reads
    // back as an invalid QColor and is painted white.
    QColor BackColor(int row) const;
    void SetBackColor(int row, const QColor &color);

    bool RowHidden(int row) const;
    void SetRowHidden(int row, bool hidden); // row -1: every row

    // Painting suspension for batches; see ReDrawGuard.
    bool ReDraw() const { return m_reDraw; }
    void SetReDraw(bool on);

    // Stable sort of whole rows row1..row2 by up to three keys; only rows
    // lent by a screen that sorts them move.
    void Sort(int row1, int row2, const QList<SortKey> &keys);

    // In character units.
    double ColWidth(int col) const { return col >= 0 && col < m_widths.size() ? m_widths[col] : 0.0; }
    // Multiplies every column width, the row-header column's included, by
    // factor, from the widths as they are now: the fixed-ratio layout shrinks
    // the grid's columns with it.
    void ScaleColumnWidths(double factor);

Q_SIGNALS:
    // After the operator edited a cell (not on programmatic writes).
    void Change(int col, int row);
    // A click on a cell; row 0 is a header click.
    void Click(int col, int row);

protected:
    void changeEvent(QEvent *event) override;

private:
    // The cell exists, data-only columns included.
    bool holds(int col, int row) const;
    void applyColumnWidth(int col);
    void onSectionResized(int section, int newSize);
    // Makes the view hide what the model hides, rows first..last.
    void syncHiddenRows(int first = 0, int last = std::numeric_limits<int>::max());
    void updateRowHeight();

    std::unique_ptr<SpreadModel> m_model;
    QList<double> m_widths; // character units; [0] is the row-header column
    double m_charWidth{0};
    bool m_reDraw{true};
    bool m_applyingWidths{false};
};

// Turns painting off for a scope and back on at its end, also on early return
// or exception. Nested guards restore on the outermost one.
class ReDrawGuard final
{
public:
    explicit ReDrawGuard(vaSpread *grid) : m_grid(grid), m_wasOn(grid->ReDraw())
    {
        m_grid->SetReDraw(false);
    }
    ~ReDrawGuard()
    {
        if (m_wasOn)
            m_grid->SetReDraw(true);
    }
    Q_DISABLE_COPY_MOVE(ReDrawGuard)

private:
    vaSpread *m_grid;
    bool m_wasOn;
};
