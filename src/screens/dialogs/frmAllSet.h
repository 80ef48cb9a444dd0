#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
struct ReceiptListProperties;

// "全額指定日収納": one receipt date, one payment method or all of them, and
// whether to prepare the confirmation mail. On "登録" the choices go to the
// receipt list's public properties; the list then fills its marked rows.
class frmAllSet final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmAllSet)

public:
    frmAllSet(QWidget *owner, ReceiptListProperties &list);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void createControls();
    void Form_Load();
    void Form_Activate();
    bool txtDate_Validate();
    bool ValidateEditedDate();
    void vsrlDate_Change(int value);
    void cmdEnter_Click();
    void FocusDateBox();

    ReceiptListProperties &m_list;
    QComboBox *cboSiharai{};
    QLineEdit *txtDate{};
    QScrollBar *vsrlDate{};
    QLabel *Label1{};
    QRadioButton *optJyunbi[2]{};
    QPushButton *cmdEnter{};
    QPushButton *cmdCancel{};

    bool m_activated{false};
    // Typed into since the last validation; only typing can leave a non-date behind.
    bool m_dateEdited{false};
};
