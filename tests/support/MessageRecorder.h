#pragma once

#include "widgets/MessageService.h"

#include <QList>
#include <QStringList>

// Answers every message box of the component while it lives, and keeps what
// was asked: questions get nextAnswer, everything else OK.
class MessageRecorder
{
public:
    MessageRecorder()
    {
        MessageService::SetHandler([this](const MessageService::Request &request) {
            messages.append(request);
            return request.buttons.testFlag(QMessageBox::Yes) ? nextAnswer : QMessageBox::Ok;
        });
    }

    ~MessageRecorder() { MessageService::SetHandler({}); }

    MessageRecorder(const MessageRecorder &) = delete;
    MessageRecorder &operator=(const MessageRecorder &) = delete;

    QStringList messageTexts() const
    {
        QStringList texts;
        for (const auto &message : messages)
            texts.append(message.text);
        return texts;
    }

    QList<MessageService::Request> messages;
    QMessageBox::StandardButton nextAnswer = QMessageBox::Yes;
};
