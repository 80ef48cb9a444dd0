#pragma once

#include "core/receipt/PaymentHistory.h"
#include "core/receipt/Session.h"

class QDialog;
class QPushButton;
class QWidget;

// 取消 as both history windows offer it: asks first, then takes the orders
// of the registration back and tells the operator what came of it.
namespace HistoryTakeBack {

// The lines of a registration that can be taken back: a deleted order's
// cannot. True when something was written.
bool Run(QWidget *parent, const Session &session, qint64 number, const QList<PaymentHistory::Line> &lines);

// The window's 取消 (F8), enabled for the levels that may register, and
// 閉じる, side by side at top (twips); neither takes Enter, which the list
// keeps. Returns 取消 for the window to connect.
QPushButton *PlaceButtons(QDialog *window, const Session &session, int top);

} // namespace HistoryTakeBack
