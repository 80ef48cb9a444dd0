#include "screens/history/frmRirekiMeisai.h"

#include "core/data/DbConnection.h"
#include "screens/history/HistoryTakeBack.h"
#include "widgets/DialogSetup.h"
#include "widgets/MessageService.h"
#include "widgets/WaitCursor.h"
#include "widgets/grid/vaSpread.h"

#include <QKeyEvent>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

QString mailText(const QString &flag)
{
    return flag == u"0"_s ? QString() : u"送信"_s;
}

} // namespace

frmRirekiMeisai::frmRirekiMeisai(QWidget *owner, const Session &session, qint64 number)
    : QDialog(owner)
    , m_session(session)
    , m_number(number)
{
    DialogSetup::Prepare(this, u"frmRirekiMeisai"_s, u"入金履歴 登録 No. %1"_s.arg(number), 11400, 5400);
    sprMeisai = ScreenSetup::Place<vaSpread>(this, u"sprMeisai"_s, {240, 120, 10920, 4620});
    using Kind = CellKind;
    // Amounts as the database holds them: a fraction before the registration stays visible.
    sprMeisai->setColumns({{.header = u"取消"_s, .width = 3.5, .kind = Kind::CheckBox},
                           {.header = u"No."_s, .width = 7, .kind = Kind::Integer},
                           {.header = u"前入金日"_s, .width = 8},
                           {.header = u"前入金額"_s, .width = 8, .kind = Kind::Number, .grouping = true},
                           {.header = u"前メール"_s, .width = 5},
                           {.header = u"後入金日"_s, .width = 8},
                           {.header = u"後入金額"_s, .width = 8, .kind = Kind::Number, .grouping = true},
                           {.header = u"後メール"_s, .width = 5},
                           {.header = u"入力元"_s, .width = 14},
                           {.header = u"入力行"_s, .width = 12},
                           {.header = u"状態"_s, .width = 6}});
    // Only the ticks are the operator's to change.
    sprMeisai->setTicksOnly();
    sprMeisai->setTabKeyNavigation(false);
    sprMeisai->installEventFilter(this);

    connect(HistoryTakeBack::PlaceButtons(this, m_session, 4860), &QPushButton::clicked, this,
            &frmRirekiMeisai::cmdTakeBack_Click);
    sprMeisai->setFocus();
}

bool frmRirekiMeisai::eventFilter(QObject *watched, QEvent *event)
{
    // Space ticks the current order from whichever column the cursor is in.
    if (watched == sprMeisai && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Space) {
        if (const int row = sprMeisai->currentIndex().row() + 1; row >= 1)
            sprMeisai->SetValue(ColTick, row, sprMeisai->Number(ColTick, row) != 0 ? 0 : 1);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool frmRirekiMeisai::Load()
{
    try {
        const WaitCursor wait;
        m_lines = PaymentHistory::Lines(m_session.connection(), m_number);
    } catch (const DbError &error) {
        MessageService::Critical(this, error.description(), windowTitle());
        return false;
    }
    const ReDrawGuard noPaint(sprMeisai);
    sprMeisai->SetMaxRows(int(m_lines.size()));
    for (int row = 1; row <= m_lines.size(); ++row) {
        const PaymentHistory::Line &line = m_lines.at(row - 1);
        const PaymentHistory::Change &change = line.change;
        sprMeisai->SetText(ColId, row, qlonglong(change.orderId));
        sprMeisai->SetText(ColBeforeDate, row, change.before.paidDate);
        sprMeisai->SetText(ColBeforeAmount, row, change.before.paidAmount);
        sprMeisai->SetText(ColBeforeMail, row, mailText(change.before.mailSent));
        sprMeisai->SetText(ColAfterDate, row, change.after.paidDate);
        sprMeisai->SetText(ColAfterAmount, row, change.after.paidAmount);
        sprMeisai->SetText(ColAfterMail, row, mailText(change.after.mailSent));
        sprMeisai->SetText(ColSource, row, change.source);
        sprMeisai->SetText(ColLine, row, change.line);
        sprMeisai->SetText(ColState, row, line.live ? QString() : u"削除済"_s);
    }
    if (!m_lines.isEmpty())
        sprMeisai->setCurrentIndex(sprMeisai->model()->index(0, ColId - 1));
    return true;
}

void frmRirekiMeisai::cmdTakeBack_Click()
{
    QList<PaymentHistory::Line> chosen;
    for (int row = 1; row <= m_lines.size(); ++row) {
        if (sprMeisai->Number(ColTick, row) != 0)
            chosen.append(m_lines.at(row - 1));
    }
    if (HistoryTakeBack::Run(this, m_session, m_number, chosen.isEmpty() ? m_lines : chosen))
        accept();
}
