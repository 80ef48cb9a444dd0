#pragma once

#include <QList>
#include <QString>

class QWidget;

// A form's "Controls" collection, walked once per capture or layout pass.
//
// A control is a widget with a non-empty objectName that does not start with
// "qt_" and is not a window of its own, found
//  - among the children of the form's client area: the central widget of a
//    QMainWindow (which is not a control itself), else the form itself;
//  - among the other direct children of a QMainWindow (tool bars, status
//    bar), but never its menu bar or anything inside it;
//  - among the children of a control that is a frame or picture box.
// The children of any other control (a combo box's line edit, a grid's
// viewport) are its own parts, and unnamed widgets are not controls; neither
// is walked into. Order is the walk's: a container, then its children.
class FormControls final
{
public:
    struct Control
    {
        QWidget *widget = nullptr;
        QWidget *container = nullptr; // nullptr: sits directly on the form
        QString typeName;
    };

    explicit FormControls(QWidget *form);

    const QList<Control> &Items() const { return m_controls; }

    // By name; with a non-empty index text, the array member of that index.
    // nullptr when there is no such control.
    QWidget *Find(const QString &name, const QString &index) const;

private:
    void collect(QWidget *parent, QWidget *container);
    void addControl(QWidget *widget, QWidget *container);

    QList<Control> m_controls;
};
