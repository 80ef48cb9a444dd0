#pragma once

#include <QObject>
#include <QPointer>

class QInputMethodEvent;
class QWidget;

// Stands in for a thread keyboard hook. Installed on the application, it sees
// each key-down on its way to the focused widget before that widget does and
// can discard it. It also follows the input method, whose composition state
// Qt does not report, and it injects Tab and Shift+Tab.
class KeyHookFilter final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(KeyHookFilter)

public:
    explicit KeyHookFilter(QObject *parent = nullptr);

    // Queues Tab (Shift+Tab when backward), press then release, behind the
    // event being handled. Each reaches whatever widget has the focus when
    // it is delivered, as typed keys do.
    void injectTab(bool backward);

    // An input-method composition is in progress in that widget.
    bool isComposingIn(const QWidget *widget) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void customEvent(QEvent *event) override;

private:
    void followComposition(QWidget *widget, const QInputMethodEvent &event);

    QPointer<QWidget> m_composing;
};
