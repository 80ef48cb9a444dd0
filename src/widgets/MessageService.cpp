#include "widgets/MessageService.h"

#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

MessageService::Handler &handler()
{
    static MessageService::Handler instance;
    return instance;
}

} // namespace

namespace MessageService {

QMessageBox::StandardButton Show(QWidget *parent, const Request &request)
{
    if (handler())
        return handler()(request);
    QMessageBox box(request.icon, request.title, request.text, request.buttons, parent);
    if (request.noByDefault) {
        box.button(QMessageBox::Yes)->setText(u"はい(&Y)"_s);
        box.button(QMessageBox::No)->setText(u"いいえ(&N)"_s);
        box.setDefaultButton(QMessageBox::No);
    } else if (request.buttons.testFlag(QMessageBox::Yes)) {
        box.setDefaultButton(QMessageBox::Yes);
    }
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QMessageBox::StandardButton Information(QWidget *parent, const QString &text, const QString &title)
{
    return Show(parent, {text, title, QMessageBox::Information, QMessageBox::Ok});
}

QMessageBox::StandardButton Critical(QWidget *parent, const QString &text, const QString &title)
{
    return Show(parent, {text, title, QMessageBox::Critical, QMessageBox::Ok});
}

QMessageBox::StandardButton Exclamation(QWidget *parent, const QString &text, const QString &title)
{
    return Show(parent, {text, title, QMessageBox::Warning, QMessageBox::Ok});
}

QMessageBox::StandardButton Question(QWidget *parent, const QString &text, const QString &title)
{
    return Show(parent, {text, title, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No});
}

QMessageBox::StandardButton Confirm(QWidget *parent, const QString &text, const QString &title)
{
    return Show(parent, {text, title, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, true});
}

void SetHandler(Handler newHandler)
{
    handler() = std::move(newHandler);
}

} // namespace MessageService
