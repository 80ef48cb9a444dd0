#include "widgets/DateBoxFocus.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QPointer>
#include <QScopedValueRollback>
#include <QTimer>

bool DateBoxFocus::settle()
{
    QLineEdit *box = m_pending;
    m_pending.clear();
    return !box || m_check(box);
}

void DateBoxFocus::returnTo(QLineEdit *box)
{
    const QScopedValueRollback quiet(m_checking, false);
    box->setFocus(Qt::OtherFocusReason);
}

bool DateBoxFocus::eventFilter(QObject *watched, QEvent *event)
{
    auto *box = qobject_cast<QLineEdit *>(watched);
    if (!box)
        return false;
    if (event->type() == QEvent::FocusIn) {
        // After the focus change settles, or a mouse click would undo it.
        QTimer::singleShot(0, box, [box] { box->selectAll(); });
    } else if (event->type() == QEvent::FocusOut && m_checking) {
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            m_pending = box;
            // After the focus change settles: a message box now would fight it.
            QTimer::singleShot(0, this, [this, box = QPointer<QLineEdit>(box)] {
                if (box && box == m_pending)
                    settle();
            });
        }
    }
    return false;
}
