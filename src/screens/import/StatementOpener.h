#pragma once

#include "import/ListedOrder.h"
#include "import/PaymentImport.h"
#include "core/settings/SuiteSettings.h"

#include <QList>
#include <QString>

#include <optional>

class QWidget;

// Reads the chosen statement and matches it against the listed orders for
// the preview. Reading and matching run beside the screen, which keeps
// answering and offers ｷｬﾝｾﾙ on a long file; a CSV whose header names no date
// or amount asks for its columns ("列の割り当て") once per kind of file.
namespace StatementOpener {

// Nothing, with refusal set, when the file cannot be used; nothing with an
// empty refusal when the operator cancelled. feeTolerance, payerNames and
// the names' readings (indexed here when none are given) go to the matcher
// as they are; settings keep the columns assigned to a kind of file.
std::optional<PaymentImport> Open(QWidget *owner, const QString &path, const QList<ListedOrder> &orders,
                                  QString &refusal, qint64 feeTolerance = 0, const PayerNames &payerNames = {},
                                  const SuiteSettings &settings = SuiteSettings(),
                                  std::shared_ptr<const NameIndex> names = {});

} // namespace StatementOpener
