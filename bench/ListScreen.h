#pragma once

#include "core/receipt/Session.h"
#include "screens/receipt_list/frmKensaku.h"
#include "widgets/MessageService.h"

#include <QApplication>
#include <QLineEdit>
#include <QTimer>

#include <cstdio>

// The receipt list as the figures measure it through the real screen.
namespace ListScreen {

// Every message box is answered Yes and printed: the benchmark runs unattended.
inline void AnswerMessages()
{
    MessageService::SetHandler([](const MessageService::Request &request) {
        std::fprintf(stderr, "message: %s\n", qPrintable(request.text));
        return QMessageBox::Yes;
    });
}

// The list opened on the current connection, as the host shows it, with no
// ship dates to narrow the search.
inline frmKensaku *Open()
{
    auto *form = new frmKensaku(Session::Shared(), SuiteSettings::Resolve());
    form->show();
    form->activateWindow();
    QApplication::setActiveWindow(form);
    QTimer::singleShot(0, form, [] {});
    QCoreApplication::processEvents();
    form->dateBox(0)->clear();
    form->dateBox(1)->clear();
    return form;
}

inline void Close(frmKensaku *form)
{
    form->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace ListScreen
