#pragma once

#include "MessageRecorder.h"
#include "TestDatabase.h"
#include "widgets/MessageService.h"
#include "core/receipt/SharedState.h"
#include "screens/receipt_list/frmKensaku.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <functional>

// A receipt list over a real database as the dialogs' owner, with every
// message box answered (Yes to questions) and recorded.
class DialogFixture final : public MessageRecorder
{
public:
    DialogFixture() : owner(new frmKensaku)
    {
        gdbConnection = db.connection();
        gintUserLevel = 2;
    }

    ~DialogFixture()
    {
        if (owner)
            owner->deleteLater();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        gdbConnection.reset();
        gstrSiharaiTable.clear();
        gintSiharaiIndex = -1;
    }

    DialogFixture(const DialogFixture &) = delete;
    DialogFixture &operator=(const DialogFixture &) = delete;

    // Orders 1 and 3 paid by bank transfer, 2 cash on delivery; order n bills
    // n * unitPrice and shipped three days ago.
    void seedOrders(int unitPrice)
    {
        db.addPayment(QStringLiteral("銀行振込"), 1, 1);
        db.addPayment(QStringLiteral("代引"), 1, 2);
        const QStringList methods{QStringLiteral("銀行振込"), QStringLiteral("代引"), QStringLiteral("銀行振込")};
        for (int id = 1; id <= 3; ++id) {
            TestDatabase::Order order;
            order.id = id;
            order.method = methods.at(id - 1);
            order.billed = id * unitPrice;
            order.shipDate = TestDatabase::daysAgo(3);
            db.addOrder(order);
        }
    }

    // Shows a fresh dialog (or the list itself) and waits until it is active.
    template<typename Window>
    static Window *activate(Window *window)
    {
        window->show();
        window->activateWindow();
        QApplication::setActiveWindow(window);
        if (!QTest::qWaitFor([window] { return QApplication::activeWindow() == window; }, 2000))
            qWarning("window did not become active");
        return window;
    }

    template<typename Dialog>
    Dialog *open() { return activate(new Dialog(owner, *owner)); }

    // Calls drive once a modal Dialog is up, for the list's own exec(); drive closes it.
    template<typename Dialog>
    static void whenShown(std::function<void(Dialog *)> drive)
    {
        auto *timer = new QTimer;
        QObject::connect(timer, &QTimer::timeout, timer, [timer, drive, ticks = 0]() mutable {
            auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
            const bool ready = dialog && QApplication::activeWindow() == dialog;
            if (!ready && ++ticks < 200)
                return;
            timer->deleteLater();
            timer->stop();
            if (ready)
                drive(dialog);
        });
        timer->start(10);
    }

    // A control by its design name, and by "Index" within a control array.
    template<typename Control>
    static Control *child(const QObject *form, const QString &name, int index = -1)
    {
        for (auto *control : form->findChildren<Control *>(name)) {
            if (index < 0 || control->property("Index").toInt() == index)
                return control;
        }
        return nullptr;
    }

    static void clickCell(QAbstractItemView *grid, int col, int row)
    {
        const QRect cell = grid->visualRect(grid->model()->index(row - 1, col - 1));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    }

    TestDatabase db;
    QPointer<frmKensaku> owner;
};
