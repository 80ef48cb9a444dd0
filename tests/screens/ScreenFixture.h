#pragma once

#include "MessageRecorder.h"
#include "TestDatabase.h"
#include "widgets/MessageService.h"
#include "core/receipt/SharedState.h"
#include "widgets/grid/vaSpread.h"
#include "screens/receipt_list/frmKensaku.h"

#include <QApplication>
#include <QPointer>
#include <QTest>

#include <memory>

// A receipt list on a real database, shown and first-activated, with every
// message box answered and recorded.
class ScreenFixture final : public MessageRecorder
{
public:
    explicit ScreenFixture(qint16 userLevel = 2)
    {
        gdbConnection = db.connection();
        gintUserLevel = userLevel;
    }

    ~ScreenFixture()
    {
        // The screen deletes itself once closed.
        if (form)
            form->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        gdbConnection.reset();
    }

    ScreenFixture(const ScreenFixture &) = delete;
    ScreenFixture &operator=(const ScreenFixture &) = delete;

    // Opens the screen; the lists load at its first activation.
    frmKensaku *open()
    {
        form = new frmKensaku;
        form->show();
        form->activateWindow();
        QApplication::setActiveWindow(form);
        if (!QTest::qWaitForWindowActive(form, 2000))
            qWarning("receipt list did not become active");
        return form;
    }

    void search()
    {
        QTest::keyClick(form->grid(), Qt::Key_F1);
    }

    TestDatabase db;
    QPointer<frmKensaku> form;
};
