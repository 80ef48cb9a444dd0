#pragma once

#include "core/receipt/PaymentHistory.h"
#include "core/receipt/Session.h"

#include <QDialog>

class vaSpread;

// One registration's orders with their values before and after it; 取消
// (F8) takes back the ticked orders, or all of them when none is ticked.
// Accepted once something was taken back.
class frmRirekiMeisai final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmRirekiMeisai)

public:
    enum Column {
        ColTick = 1, ColId, ColBeforeDate, ColBeforeAmount, ColBeforeMail, ColAfterDate, ColAfterAmount,
        ColAfterMail, ColSource, ColLine, ColState, ColumnCount = ColState
    };

    frmRirekiMeisai(QWidget *owner, const Session &session, qint64 number);

    // Reads the orders; false (told) when the database refused.
    bool Load();
    void cmdTakeBack_Click();

    vaSpread *grid() const { return sprMeisai; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Session m_session;
    qint64 m_number;
    QList<PaymentHistory::Line> m_lines;
    vaSpread *sprMeisai = nullptr;
};
