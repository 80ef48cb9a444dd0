#include "screens/history/HistoryTakeBack.h"

#include "core/data/DbConnection.h"
#include "widgets/MessageService.h"
#include "widgets/ScreenSetup.h"
#include "widgets/WaitCursor.h"

#include <QDateTime>
#include <QDialog>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace HistoryTakeBack {

bool Run(QWidget *parent, const Session &session, qint64 number, const QList<PaymentHistory::Line> &lines)
{
    const QString title = parent->windowTitle();
    if (!session.mayRegister())
        return false;
    QList<PaymentHistory::Change> changes;
    QStringList gone;
    for (const PaymentHistory::Line &line : lines) {
        if (line.live)
            changes.append(line.change);
        else
            gone.append(QString::number(line.change.orderId));
    }
    if (!gone.isEmpty()) {
        MessageService::Exclamation(parent,
                                    u"次の注文は削除されているため、取り消せません。取り消す注文を選んでください。\nNo. "_s
                                        + gone.join(u", "_s),
                                    title);
        return false;
    }
    if (changes.isEmpty())
        return false;
    QString question = u"登録 No. %1 の %2 件を取り消し、登録前の入金日・入金額に戻します。よろしいですか？"_s.arg(number).arg(
        changes.size());
    if (PaymentHistory::SetMail(changes))
        question += u"\n\nこの登録は入金確認メールの送信を指示しています。メールはすでに送信されている可能性があります。"_s;
    if (MessageService::Confirm(parent, question, title) != QMessageBox::Yes)
        return false;

    PaymentHistory::TakeBackResult result;
    try {
        const WaitCursor wait;
        result = PaymentHistory::TakeBack(session.connection(), number, changes, session.userName(),
                                          QDateTime::currentDateTime());
    } catch (const DbError &error) {
        // Rolled back, unless the COMMIT went out and its answer was lost.
        const bool unknown = error.commitUnanswered();
        MessageService::Critical(parent,
                                 (unknown ? u"取消が書き込まれたかどうか分かりません。入金履歴を表示し直して確かめてください。\n"_s
                                          : u"取消できませんでした。何も書き込んでいません。\n"_s)
                                     + error.description(),
                                 title);
        return unknown;
    }
    if (result.refused()) {
        MessageService::Exclamation(parent, PaymentHistory::RefusalMessage(result), title);
        return false;
    }
    MessageService::Information(
        parent, u"登録 No. %1 を取り消しました (取消の登録 No. %2)。受注は次の「表示」で一覧に戻ります。"_s.arg(number).arg(result.number),
        title);
    return true;
}

QPushButton *PlaceButtons(QDialog *window, const Session &session, int top)
{
    auto *cmdTakeBack = ScreenSetup::Place<QPushButton>(window, u"cmdTakeBack"_s, {8280, top, 1335, 375}, u"取消 (F8)"_s);
    cmdTakeBack->setShortcut(QKeySequence(Qt::Key_F8));
    // Levels 0 and 1 may look, as they may not register.
    cmdTakeBack->setEnabled(session.mayRegister());
    auto *cmdClose = ScreenSetup::Place<QPushButton>(window, u"cmdClose"_s, {9720, top, 1335, 375}, u"閉じる"_s);
    QObject::connect(cmdClose, &QPushButton::clicked, window, &QDialog::reject);
    for (QPushButton *button : {cmdTakeBack, cmdClose})
        button->setAutoDefault(false);
    return cmdTakeBack;
}

} // namespace HistoryTakeBack
