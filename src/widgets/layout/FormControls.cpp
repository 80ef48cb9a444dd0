#include "widgets/layout/FormControls.h"

#include "widgets/layout/ControlModel.h"

#include <QMainWindow>
#include <QMenuBar>

using namespace Qt::StringLiterals;

namespace {

bool isControl(const QWidget *widget)
{
    const QString name = widget->objectName();
    return !name.isEmpty() && !name.startsWith("qt_"_L1) && !widget->isWindow()
        && !qobject_cast<const QMenuBar *>(widget);
}

} // namespace

FormControls::FormControls(QWidget *form)
{
    auto *mainWindow = qobject_cast<QMainWindow *>(form);
    QWidget *client = mainWindow ? mainWindow->centralWidget() : nullptr;
    collect(client ? client : form, nullptr);
    if (!client)
        return;
    // Bars docked on the main window sit on the form too; the menu bar is no
    // control of ours.
    for (QObject *child : form->children()) {
        auto *widget = qobject_cast<QWidget *>(child);
        if (widget && widget != client && widget != mainWindow->menuWidget() && isControl(widget))
            addControl(widget, nullptr);
    }
}

void FormControls::collect(QWidget *parent, QWidget *container)
{
    for (QObject *child : parent->children()) {
        auto *widget = qobject_cast<QWidget *>(child);
        if (widget && isControl(widget))
            addControl(widget, container);
    }
}

void FormControls::addControl(QWidget *widget, QWidget *container)
{
    const QString typeName = ControlModel::TypeName(widget);
    m_controls.append({widget, container, typeName});
    if (ControlModel::IsContainer(typeName))
        collect(widget, widget);
}

QWidget *FormControls::Find(const QString &name, const QString &index) const
{
    const bool wantsMember = !index.isEmpty();
    bool ok = true;
    const int wanted = wantsMember ? index.toInt(&ok) : 0;
    if (!ok)
        return nullptr;
    // A form has a few dozen controls: a walk costs nothing next to placing them.
    for (const Control &control : m_controls) {
        if (control.widget->objectName() != name)
            continue;
        const std::optional<int> member = ControlModel::ArrayIndex(control.widget);
        if (wantsMember ? member == wanted : !member.has_value())
            return control.widget;
    }
    return nullptr;
}
