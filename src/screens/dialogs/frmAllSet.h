#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
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

private:
    bool txtDate_Validate();
    bool ValidateEditedDate();
    void vsrlDate_Change(int value);
    void cmdEnter_Click();
    void FocusDateBox();

    ReceiptListProperties &m_list;
    QComboBox *cboSiharai{};
    QLineEdit *txtDate{};
    QScrollBar *vsrlDate{};
    QRadioButton *optJyunbi[2]{};

    // Typed into since the last validation; only typing can leave a non-date behind.
    bool m_dateEdited{false};
};
