#include "ScreenFixture.h"

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

void ScreenFixture::addOrders()
{
    db.addShop(u"S01"_s, u"本店"_s);
    db.addShop(u"S02"_s, u"支店"_s);
    const QString methods[] = {u"銀行振込"_s, u"代引"_s, u"Card"_s, u"CARD"_s};
    const QString shops[] = {u"S01"_s, u"S01"_s, u"s02"_s, u"S02"_s};
    const double billed[] = {1000, 2000, 1000.5, 1001.5};
    for (int i = 0; i < 4; ++i) {
        // CARD is no method of its own; 後払い is one nobody may use.
        db.addPayment(i < 3 ? methods[i] : u"後払い"_s, i < 3, i);
        db.addOrder({.id = i + 1, .billed = billed[i], .method = methods[i], .shopId = shops[i]});
    }
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

void ScreenFixture::click(QWidget *window, const QString &button)
{
    QTest::mouseClick(window->findChild<QPushButton *>(button), Qt::LeftButton);
}

void ScreenFixture::press(int key, Qt::KeyboardModifiers modifiers) const
{
    QWidget *focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : form.data(), Qt::Key(key), modifiers);
}

Ids ScreenFixture::ids(Rows which) const
{
    const vaSpread *grid = form->grid();
    const int column[] = {0, 0, frmKensaku::ColMark, frmKensaku::ColUpdateFlag};
    Ids found;
    for (int row = 1; row <= grid->MaxRows(); ++row) {
        if ((which == Visible && grid->RowHidden(row)) || (column[which] && grid->Number(column[which], row) == 0))
            continue;
        found.append(qint64(grid->Number(frmKensaku::ColId, row)));
    }
    return found;
}

QStringList ScreenFixture::shown() const
{
    QStringList texts;
    for (const auto &message : messages) {
        const bool error = message.icon == QMessageBox::Critical || message.icon == QMessageBox::Warning;
        texts.append(error ? u"!"_s + message.text : message.icon == QMessageBox::Question ? u"?"_s : u"i"_s);
    }
    return texts;
}

QStringList ScreenFixture::receipts() const
{
    return db.scalar(u"SELECT GROUP_CONCAT([ID] || ' ' || IFNULL([入金日], '-') || ' ' || [入金額] || ' ' ||"
                     " [入金確認送信], ',') FROM (SELECT * FROM [CHUMON] WHERE [入金日] IS NOT NULL"
                     " OR [入金額] <> 0 OR [入金確認送信] <> 0 ORDER BY [ID])"_s)
        .toString()
        .split(u',', Qt::SkipEmptyParts);
}
