#include "screens/history/frmRireki.h"

#include "core/data/CellText.h"
#include "core/data/DbConnection.h"
#include "core/data/FieldValue.h"
#include "screens/history/HistoryTakeBack.h"
#include "screens/history/frmRirekiMeisai.h"
#include "widgets/DialogSetup.h"
#include "widgets/MessageService.h"
#include "widgets/WaitCursor.h"
#include "widgets/grid/vaSpread.h"

#include <QDate>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

// What the list opens with: the last month's registrations.
constexpr int DaysShown = 31;

} // namespace

frmRireki::frmRireki(QWidget *owner, const Session &session)
    : QDialog(owner)
    , m_session(session)
{
    DialogSetup::Prepare(this, u"frmRireki"_s, u"入金履歴"_s, 11400, 6240);
    // Created in tab order: the filter, 表示, the list, the buttons.
    ScreenSetup::Place<QLabel>(this, u"Label1"_s, {240, 180, 720, 255}, u"登録日"_s);
    txtDate[0] = ScreenSetup::Place<QLineEdit>(this, u"txtDate0"_s, {1000, 150, 1095, 315});
    txtDate[0]->setText(FieldValue::FormatDate(QDate::currentDate().addDays(-DaysShown)));
    ScreenSetup::Place<QLabel>(this, u"Label2"_s, {2160, 180, 240, 255}, u"～"_s);
    txtDate[1] = ScreenSetup::Place<QLineEdit>(this, u"txtDate1"_s, {2400, 150, 1095, 315});
    txtDate[1]->setText(FieldValue::FormatDate(QDate::currentDate()));
    auto *noLabel = ScreenSetup::Place<QLabel>(this, u"Label3"_s, {3720, 180, 900, 255}, u"注文 No."_s);
    txtNo = ScreenSetup::Place<QLineEdit>(this, u"txtNo"_s, {4680, 150, 1200, 315});
    txtNo->setMaxLength(18);
    noLabel->setBuddy(txtNo);
    auto *cmdSearch = ScreenSetup::Place<QPushButton>(this, u"cmdSearch"_s, {6120, 120, 975, 375}, u"表示"_s);
    cmdSearch->setAutoDefault(false);
    connect(cmdSearch, &QPushButton::clicked, this, [this] {
        if (cmdSearch_Click() && sprRireki->MaxRows() > 0)
            sprRireki->setFocus();
    });

    sprRireki = ScreenSetup::Place<vaSpread>(this, u"sprRireki"_s, {240, 600, 10920, 4920});
    using Kind = CellKind;
    sprRireki->setColumns({{.header = u"登録 No."_s, .width = 7, .kind = Kind::Integer},
                           {.header = u"日時"_s, .width = 17},
                           {.header = u"担当者"_s, .width = 12},
                           {.header = u"件数"_s, .width = 5, .kind = Kind::Integer},
                           {.header = u"金額"_s, .width = 10, .kind = Kind::Yen, .grouping = true},
                           {.header = u"入力元"_s, .width = 22},
                           {.header = u"取消"_s, .width = 12}});
    sprRireki->setTicksOnly(); // there are none: the list is for reading
    sprRireki->setTabKeyNavigation(false);
    sprRireki->installEventFilter(this);
    connect(sprRireki, &QAbstractItemView::doubleClicked, this, [this] { OpenCurrent(); });

    auto *cmdOpen = ScreenSetup::Place<QPushButton>(this, u"cmdOpen"_s, {6840, 5700, 1335, 375}, u"明細"_s);
    cmdOpen->setAutoDefault(false);
    connect(cmdOpen, &QPushButton::clicked, this, [this] { OpenCurrent(); });
    connect(HistoryTakeBack::PlaceButtons(this, m_session, 5700), &QPushButton::clicked, this,
            &frmRireki::cmdTakeBack_Click);
    txtDate[0]->setFocus();
}

bool frmRireki::eventFilter(QObject *watched, QEvent *event)
{
    // Enter on a registration opens it.
    if (watched == sprRireki && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            OpenCurrent();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool frmRireki::cmdSearch_Click()
{
    QDate dates[2];
    for (int i = 0; i < 2; ++i) {
        const QString typed = CellText::toHalfWidth(txtDate[i]->text().trimmed());
        if (typed.isEmpty())
            continue;
        const auto date = FieldValue::ParseDate(typed);
        if (!date) {
            MessageService::Information(this, u"日付を入力してください。"_s, windowTitle());
            txtDate[i]->setFocus();
            return false;
        }
        dates[i] = *date;
        txtDate[i]->setText(FieldValue::FormatDate(*date));
    }
    qint64 orderId = 0;
    if (const QString typed = CellText::toHalfWidth(txtNo->text().trimmed()); !typed.isEmpty()) {
        bool whole = false;
        orderId = typed.toLongLong(&whole);
        if (!whole || orderId <= 0) {
            MessageService::Information(this, u"注文 No. は数字で入力してください。"_s, windowTitle());
            txtNo->setFocus();
            return false;
        }
    }
    try {
        const WaitCursor wait;
        m_registrations = PaymentHistory::List(m_session.connection(), dates[0], dates[1], orderId);
    } catch (const DbError &error) {
        MessageService::Critical(this, error.description(), windowTitle());
        return false;
    }
    const ReDrawGuard noPaint(sprRireki);
    sprRireki->SetMaxRows(0);
    sprRireki->SetMaxRows(int(m_registrations.size()));
    for (int row = 1; row <= m_registrations.size(); ++row) {
        const PaymentHistory::Registration &registration = m_registrations.at(row - 1);
        sprRireki->SetText(ColNumber, row, qlonglong(registration.number));
        sprRireki->SetText(ColAt, row, registration.at);
        sprRireki->SetText(ColOperator, row, registration.operatorName);
        sprRireki->SetText(ColOrders, row, registration.orders);
        sprRireki->SetText(ColAmount, row, registration.amount);
        sprRireki->SetText(ColSource, row, registration.source);
        sprRireki->SetText(ColReverses, row, registration.reverses ? u"No. %1 の取消"_s.arg(*registration.reverses)
                                                                    : QString());
    }
    if (!m_registrations.isEmpty())
        sprRireki->setCurrentIndex(sprRireki->model()->index(0, 0));
    return true;
}

qint64 frmRireki::currentNumber() const
{
    const int row = sprRireki->currentIndex().row();
    return row >= 0 && row < m_registrations.size() ? m_registrations.at(row).number : 0;
}

void frmRireki::OpenCurrent()
{
    const qint64 number = currentNumber();
    if (number == 0)
        return;
    QPointer<frmRirekiMeisai> orders = new frmRirekiMeisai(this, m_session, number);
    if (!orders->Load()) {
        orders->deleteLater();
        return;
    }
    const int answer = orders->exec();
    if (orders)
        orders->deleteLater();
    // A take-back is a registration of its own: the list shows it.
    if (answer == QDialog::Accepted)
        cmdSearch_Click();
}

void frmRireki::cmdTakeBack_Click()
{
    const qint64 number = currentNumber();
    if (number == 0)
        return;
    QList<PaymentHistory::Line> lines;
    try {
        lines = PaymentHistory::Lines(m_session.connection(), number);
    } catch (const DbError &error) {
        MessageService::Critical(this, error.description(), windowTitle());
        return;
    }
    if (HistoryTakeBack::Run(this, m_session, number, lines))
        cmdSearch_Click();
}
