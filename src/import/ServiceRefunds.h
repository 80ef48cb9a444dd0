#pragma once

#include "import/Statement.h"

#include <QStringView>

// Refunds and chargebacks in the statements of payment services, 後払い and
// 代引: they pay nothing, and one whose order the same file pays takes that
// payment back, since the order is still open.
namespace ServiceRefunds {

// A transaction type that gives money back to the customer.
bool isRefund(QStringView type);

// Drops each refund together with the file's payment of its order and
// amount, counting them in takenBack; the others stay as 取消 lines.
void settle(Statement &statement);

} // namespace ServiceRefunds
