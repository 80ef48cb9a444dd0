#pragma once

#include "import/CsvColumns.h"

#include <QDialog>
#include <QList>
#include <QStringList>

#include <optional>

class QCheckBox;
class QComboBox;
class QListWidget;
class QTableWidget;

// "列の割り当て": for a CSV statement whose header names no date or amount,
// the operator picks the columns from its first rows, with the keyboard
// alone and as in every screen of the suite: Enter moves on, F4 opens a
// choice's list, Space ticks a searched column, Enter on "OK" accepts.
class frmColumns final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmColumns)

public:
    static constexpr int PreviewRows = 5;

    // preset: the choice remembered for files of this shape, shown for the
    // operator to confirm with Enter.
    frmColumns(QWidget *owner, const QList<QStringList> &firstRows, const std::optional<CsvColumns> &preset = {});

    CsvColumns columns() const;

private:
    void createControls();
    void fillColumns();
    void choose(const CsvColumns &preset);
    void cmdOK_Click();

    QList<QStringList> m_rows;
    int m_columnCount{0};
    QTableWidget *grdPreview{};
    QCheckBox *chkHeader{};
    QComboBox *cboDate{};
    QComboBox *cboAmount{};
    QComboBox *cboWithdrawal{};
    QComboBox *cboPayer{};
    QListWidget *lstSearched{};
    // Payment services, 後払い and 代引.
    QComboBox *cboOrder{};
    QComboBox *cboFee{};
    QComboBox *cboNet{};
    QComboBox *cboType{};
    QComboBox *cboKind{};
};
