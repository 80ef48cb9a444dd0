#pragma once

#include "core/receipt/Session.h"

#include <QDialog>

struct ReceiptListProperties;
class vaSpread;

// "入金管理": which payment methods are under payment management. A cleared
// box makes its method exempt; "OK" stores the exempt names in CONTROL, updates
// the in-memory payment table and asks the receipt list to reload.
class frmKanri final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmKanri)

public:
    // Grid columns of sprPayment.
    enum Column { ColManaged = 1, ColMethod, ColumnEnd, ColumnCount = ColumnEnd - 1 };

    frmKanri(QWidget *owner, ReceiptListProperties &list, const Session &session);

private:
    void Form_Load();
    void cmdEnter_Click();

    ReceiptListProperties &m_list;
    Session m_session;
    vaSpread *sprPayment{};
};
