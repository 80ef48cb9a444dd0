#pragma once

#include <QLineEdit>
#include <QPointer>

#include <functional>

// What a screen's date boxes do with the focus: the whole text is selected on
// entry, so typing replaces it, and the text is checked once the focus has
// moved on to another control. A focus change that only a message box or a
// closing window causes is no move.
class DateBoxFocus final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DateBoxFocus)

public:
    // check returns whether the box's date was accepted.
    DateBoxFocus(QObject *parent, std::function<bool(QLineEdit *)> check)
        : QObject(parent), m_check(std::move(check))
    {
    }

    void watch(QLineEdit *box) { box->installEventFilter(this); }

    // Runs the check of a box just left, if it has not run yet; false when it
    // refused. A button calls this before it acts: a quick click delivers
    // its press and release before the deferred check could run.
    bool settle();

    // Puts the focus back into a box whose date was refused. That move is
    // not checked: the control it leaves must not be refused in turn.
    void returnTo(QLineEdit *box);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<bool(QLineEdit *)> m_check;
    QPointer<QLineEdit> m_pending;
    bool m_checking{true};
};
