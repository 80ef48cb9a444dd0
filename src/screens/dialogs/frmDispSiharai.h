#pragma once

#include "core/receipt/Session.h"

#include <QDialog>

class QComboBox;
struct ReceiptListProperties;

// "表示支払方法": which payment method the receipt list shows, or all of
// them. The choice goes to the session's shown method; the list filters itself after.
class frmDispSiharai final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmDispSiharai)

public:
    frmDispSiharai(QWidget *owner, const ReceiptListProperties &list, const Session &session);

private:
    Session m_session;
    QComboBox *cboSiharai{};
};
