#include "ScreenFixture.h"

#include "core/receipt/SharedState.h"
#include "widgets/grid/vaSpread.h"

#include <QAbstractItemModelTester>

using namespace Qt::StringLiterals;

ScreenFixture::ScreenFixture(qint16 userLevel)
{
    gdbConnection = db.connection();
    gintUserLevel = userLevel;
    MessageService::SetHandler([this](const MessageService::Request &request) {
        messages.append(request);
        return request.buttons.testFlag(QMessageBox::Yes) ? answer : QMessageBox::Ok;
    });
    qApp->installEventFilter(this);
}

ScreenFixture::~ScreenFixture()
{
    // The list deletes itself once closed.
    if (form)
        form->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete form.data();
    MessageService::SetHandler({});
    gdbConnection.reset();
    gstrSiharaiTable.clear();
    gblnSiharaiLoaded = false;
    gintSiharaiIndex = -1;
}

bool ScreenFixture::eventFilter(QObject *watched, QEvent *event)
{
    auto *grid = event->type() == QEvent::Show ? qobject_cast<vaSpread *>(watched) : nullptr;
    if (grid && !grid->model()->findChild<QAbstractItemModelTester *>())
        new QAbstractItemModelTester(grid->model(), QAbstractItemModelTester::FailureReportingMode::QtTest,
                                     grid->model());
    return false;
}

frmKensaku *ScreenFixture::open()
{
    form = new frmKensaku;
    activate(form);
    return form;
}

void ScreenFixture::activate(QWidget *window)
{
    window->show();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    // qWaitForWindowActive returns before a dialog has the focus.
    QVERIFY(QTest::qWaitFor([window] { return QApplication::activeWindow() == window; }, 2000));
}

void ScreenFixture::press(int key, Qt::KeyboardModifiers modifiers) const
{
    QWidget *focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : form.data(), Qt::Key(key), modifiers);
}

QList<qint64> ScreenFixture::ids(Rows which) const
{
    QList<qint64> found;
    const vaSpread *grid = form->grid();
    for (int row = 1; row <= grid->MaxRows(); ++row) {
        if ((which == Visible && grid->RowHidden(row))
            || (which == Marked && grid->Number(frmKensaku::ColMark, row) == 0)
            || (which == Flagged && grid->Number(frmKensaku::ColUpdateFlag, row) == 0))
            continue;
        found.append(qint64(grid->Number(frmKensaku::ColId, row)));
    }
    return found;
}

QStringList ScreenFixture::shown() const
{
    QStringList texts;
    for (const auto &message : messages) {
        if (message.icon == QMessageBox::Question || message.icon == QMessageBox::Information)
            texts.append(message.icon == QMessageBox::Question ? u"?"_s : u"i"_s);
        else
            texts.append(u"!"_s + message.text);
    }
    return texts;
}

QStringList ScreenFixture::receipts() const
{
    return db.scalar(u"SELECT GROUP_CONCAT(IFNULL([入金日], '-') || ' ' || [入金額] || ' ' || [入金確認送信], ',')"
                     " FROM (SELECT * FROM [CHUMON] ORDER BY [ID])"_s)
        .toString()
        .split(u',');
}
