#pragma once

#include "core/receipt/PaymentHistory.h"
#include "core/receipt/Session.h"

#include <QDialog>

class QLineEdit;
class vaSpread;

// "入金履歴": the registrations, newest first, narrowed by date and order
// No.; Enter opens a registration's orders, 取消 (F8) takes it back.
class frmRireki final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmRireki)

public:
    enum Column { ColNumber = 1, ColAt, ColOperator, ColOrders, ColAmount, ColSource, ColReverses, ColumnCount = ColReverses };

    frmRireki(QWidget *owner, const Session &session);

    // Reads the registrations again; false when the filter or the database refused.
    bool cmdSearch_Click();
    // The current row's registration: its orders, and its take-back.
    void OpenCurrent();
    void cmdTakeBack_Click();

    vaSpread *grid() const { return sprRireki; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The registration of the grid's current row; 0 for none.
    qint64 currentNumber() const;

    Session m_session;
    QList<PaymentHistory::Registration> m_registrations;
    QLineEdit *txtDate[2] = {};
    QLineEdit *txtNo = nullptr;
    vaSpread *sprRireki = nullptr;
};
