#pragma once

#include "MessageRecorder.h"
#include "core/data/QtSqlConnection.h"
#include "core/receipt/SharedState.h"
#include "demo/DemoDatabase.h"
#include "demo/DemoStatement.h"
#include "screens/receipt_list/frmKensaku.h"

#include <QApplication>
#include <QHash>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

// A receipt list over a fresh demo database with its sample statement, shown
// and first-activated, every message box answered and recorded.
class ImportFixture final : public MessageRecorder
{
public:
    explicit ImportFixture(qint16 userLevel = 2)
    {
        const QString path = dir.filePath(QStringLiteral("demo.sqlite"));
        connection = QtSqlConnection::openSqlite(path);
        DemoOptions options;
        CreateDemoDatabase(*connection, options);
        sample = WriteDemoStatement(*connection, options, DemoStatementPath(path));
        gdbConnection = connection;
        gintUserLevel = userLevel;
    }

    ~ImportFixture()
    {
        if (form)
            form->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        gdbConnection.reset();
    }

    ImportFixture(const ImportFixture &) = delete;
    ImportFixture &operator=(const ImportFixture &) = delete;

    // Opens the screen and lists the orders (F1).
    frmKensaku *openAndSearch()
    {
        form = new frmKensaku;
        form->show();
        form->activateWindow();
        QApplication::setActiveWindow(form);
        if (!QTest::qWaitFor([this] { return QApplication::activeWindow() == form; }, 2000))
            qWarning("receipt list did not become active");
        QTest::keyClick(form->grid(), Qt::Key_F1);
        return form;
    }

    // Every order's "入金日:入金額", by No.
    QHash<qint64, QString> receipts() const
    {
        QHash<qint64, QString> byId;
        const auto records = connection->Execute(QStringLiteral("SELECT [ID], [入金日], [入金額] FROM [CHUMON]"));
        while (!records->Eof()) {
            byId.insert(records->FieldValue(0).toLongLong(),
                        records->FieldValue(1).toString() + u':' + records->FieldValue(2).toString());
            records->MoveNext();
        }
        records->Close();
        return byId;
    }

    // Calls drive once a modal Window is up and active, for an exec() about to
    // start; a window that never gets there is closed, so the test fails, not hangs.
    template<typename Window>
    static void whenActive(std::function<void(Window *)> drive)
    {
        auto *timer = new QTimer;
        QObject::connect(timer, &QTimer::timeout, timer, [timer, drive, ticks = 0]() mutable {
            auto *window = qobject_cast<Window *>(QApplication::activeModalWidget());
            const bool ready = window && QApplication::activeWindow() == window;
            if (!ready && ++ticks < 200)
                return;
            timer->deleteLater();
            timer->stop();
            if (ready)
                drive(window);
            else if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
        });
        timer->start(10);
    }

    QTemporaryDir dir;
    std::shared_ptr<QtSqlConnection> connection;
    DemoStatement sample;
    QPointer<frmKensaku> form;
};
