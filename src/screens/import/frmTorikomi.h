#pragma once

#include "widgets/grid/SpreadData.h"

#include <QDialog>
#include <QString>

class PaymentImport;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class vaSpread;

// "入金データ取込": the lines of a payment statement with what matching made
// of them, before anything reaches the receipt list. The operator reviews,
// ticks the lines to apply, picks the order for a line with several
// candidates or gives any line to a listed order by typing its No.; "反映"
// hands the ticks back in the import, "ｷｬﾝｾﾙ" nothing.
// The lines left out can be saved as CSV for another day. The grid shows
// the import's lines as they are (frmTorikomi_rows.cpp): the preview keeps
// no copy of a line, and only the ticks are the operator's to write.
class frmTorikomi final : public QDialog, private SpreadData
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmTorikomi)

public:
    // Grid columns of sprTorikomi, from 1 as the grid counts them.
    enum Column {
        ColTick = 1,
        ColLine,
        ColDate,
        ColAmount,
        ColText,
        ColStatus,
        ColKey, // 照合: the key that decided
        ColId,
        ColName,
        ColBilled,
        ColFee,
        ColEnd
    };

    frmTorikomi(QWidget *owner, PaymentImport &import, const QString &sourcePath);
    ~frmTorikomi() override;

    // Writes the unticked lines as CSV; false after telling the operator why not.
    bool SaveUnapplied(const QString &path);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    // The lines and amounts per status, as matching left them.
    void createTotals();
    void Form_Load();
    void ShowLine();
    void ShowSelected();
    void ShowCandidates(int row);
    void SetTick(int row, bool ticked);
    void cboKouho_Activated(int index);
    void txtNo_Enter();
    void cmdSave_Click();
    void cmdEnter_Click();

    // The lines as sprTorikomi's cells, never sorted: they stay in the statement's order.
    int rowCount() const override;
    // The lines are the statement's: their number is not the grid's to change.
    void resize(int) override {}
    QVariant cell(int column, int row) const override;
    bool setCell(int column, int row, const QVariant &value) override;
    QVariant value(int column, int index) const;

    PaymentImport &m_import;
    QString m_sourcePath;
    QLabel *Label1{};
    vaSpread *sprTorikomi{};
    QComboBox *cboKouho{};
    QLineEdit *txtNo{};
    QLabel *lblSelected{};
    QLabel *lblLearning{};
    QPushButton *cmdSave{};
    int m_candidateRow{0};
    QList<ColumnDef> m_columns;
};
