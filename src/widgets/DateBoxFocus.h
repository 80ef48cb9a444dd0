#pragma once

#include <QObject>

#include <functional>

class QLineEdit;

// What a screen's date boxes do with the focus: the whole text is selected on
// entry, so typing replaces it, and the text is checked once the focus has
// moved on to another control. A focus change that only a message box or a
// closing window causes is no move.
class DateBoxFocus final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DateBoxFocus)

public:
    DateBoxFocus(QObject *parent, std::function<void(QLineEdit *)> check);

    void watch(QLineEdit *box);

    // Puts the focus back into a box whose date was refused. That move is
    // not checked: the control it leaves must not be refused in turn.
    void returnTo(QLineEdit *box);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void(QLineEdit *)> m_check;
    bool m_checking{true};
};
