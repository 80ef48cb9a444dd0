#pragma once

#include "FaultyConnection.h"
#include "TestDatabase.h"
#include "core/receipt/SharedState.h"
#include "screens/dialogs/frmAllSet.h"
#include "screens/dialogs/frmDispSiharai.h"
#include "screens/dialogs/frmKanri.h"
#include "screens/receipt_list/frmKensaku.h"
#include "widgets/MessageService.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

using Ids = QList<qint64>;

// The receipt list on a real database, shown and first-activated. Every
// message box is answered (questions with `answer`) and recorded, and every
// grid the list or its dialogs show is watched by QAbstractItemModelTester.
class ScreenFixture final : public QObject
{
public:
    enum Rows { All, Visible, Marked, Flagged };

    explicit ScreenFixture(qint16 userLevel = 2);
    ~ScreenFixture() override;

    // Shops S01 and S02; 銀行振込, 代引 and Card usable, 後払い not; orders
    // 1 銀行振込 1000 S01, 2 代引 2000 S01, 3 Card 1000.5 s02, 4 CARD 1001.5 S02.
    void addOrders();
    frmKensaku *open();
    static void activate(QWidget *window);
    static void click(QWidget *window, const QString &button);
    // A key to whatever has the focus, as the operator types it.
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const;
    // Runs drive on the modal Dialog once it is up; one drive leaves open
    // is rejected a little later, so no test hangs on it.
    template<typename Dialog>
    void whenModal(std::function<void(Dialog *)> drive);

    // Order ids in grid order; Flagged: waiting for 登録.
    Ids ids(Rows which = All) const;
    // "?" for a question, "i" for information, "!" and the text for an error.
    QStringList shown() const;
    // "id 入金日 入金額 入金確認送信" of every order with anything paid.
    QStringList receipts() const;

    TestDatabase db{100}; // a lock a test did not take on purpose fails fast
    QPointer<frmKensaku> form;
    QList<MessageService::Request> messages;
    QMessageBox::StandardButton answer = QMessageBox::Yes;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

template<typename Dialog>
void ScreenFixture::whenModal(std::function<void(Dialog *)> drive)
{
    auto *poll = new QTimer(this);
    connect(poll, &QTimer::timeout, poll, [poll, drive, ticks = 0]() mutable {
        QPointer<Dialog> dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        if ((!dialog || QApplication::activeWindow() != dialog) && ++ticks < 200)
            return;
        poll->deleteLater();
        poll->stop();
        if (dialog)
            drive(dialog);
        if (dialog)
            QTimer::singleShot(2000, dialog, &QDialog::reject);
    });
    poll->start(10);
}
