#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

// Every message box of the component goes through here, so the title, icon
// and buttons follow one convention and tests can answer the boxes.
namespace MessageService {

struct Request
{
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::Information;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    // A question whose buttons read "はい(Y)" and "いいえ(N)", "いいえ" the default.
    bool noByDefault = false;
};

using Handler = std::function<QMessageBox::StandardButton(const Request &)>;

// Shows the box modally over parent and returns the button pressed.
QMessageBox::StandardButton Show(QWidget *parent, const Request &request);

QMessageBox::StandardButton Information(QWidget *parent, const QString &text, const QString &title);
QMessageBox::StandardButton Critical(QWidget *parent, const QString &text, const QString &title);
QMessageBox::StandardButton Exclamation(QWidget *parent, const QString &text, const QString &title);
QMessageBox::StandardButton Question(QWidget *parent, const QString &text, const QString &title);
// A question about something that is not undone lightly: "いいえ" is the default.
QMessageBox::StandardButton Confirm(QWidget *parent, const QString &text, const QString &title);

// Replaces the real boxes (tests); an empty handler restores them.
void SetHandler(Handler handler);

} // namespace MessageService
