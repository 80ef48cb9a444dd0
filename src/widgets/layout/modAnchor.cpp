#include "widgets/layout/modAnchor.h"

#include "widgets/layout/ControlModel.h"
#include "widgets/layout/FormControls.h"
#include "widgets/layout/Twips.h"

#include <QHash>
#include <QWidget>

void CaptureAnchors(QWidget *form, AnchorTable &table)
{
    if (!form) {
        table.clear();
        return;
    }
    const FormControls controls(form);
    const int count = int(controls.Count());
    table = AnchorTable(count + 1);
    // Window-handle stand-ins: 1 for the form, then the windowed controls
    // numbered in walk order, which puts every container before its children.
    QHash<const QWidget *, quint32> handles{{form, 1}};
    const int tx = Twips::PerPixelX(form);
    const int ty = Twips::PerPixelY(form);

    // Pixels times whole twips per pixel are whole twips: nothing to round.
    AnchorEntry &formEntry = table[0];
    formEntry.Name = form->objectName();
    formEntry.TypeName = QString::fromLatin1(form->metaObject()->className());
    const QRect outer = form->frameGeometry();
    formEntry.Left = outer.x() * tx;
    formEntry.Top = outer.y() * ty;
    formEntry.Height = outer.height() * ty;
    formEntry.Width = outer.width() * tx;
    formEntry.FontSize = float(ControlModel::FontSize(form, formEntry.TypeName).value_or(0));
    formEntry.Hwnd = 1;

    qint16 k = 0;
    for (const FormControls::Control &control : controls.Items()) {
        ++k;
        AnchorEntry &entry = table[k];
        const QWidget *widget = control.widget;
        entry.Name = widget->objectName();
        entry.TypeName = control.typeName;
        entry.Left = widget->x() * tx;
        entry.Top = widget->y() * ty;
        entry.Height = widget->height() * ty;
        entry.Width = widget->width() * tx;
        entry.FontSize = float(ControlModel::FontSize(widget, control.typeName).value_or(0));
        entry.Tag = ControlModel::Tag(widget);
        if (const std::optional<int> index = ControlModel::ArrayIndex(widget))
            entry.Index = QString::number(*index);
        if (!ControlModel::IsWindowless(control.typeName)) {
            entry.Hwnd = quint32(handles.size() + 1);
            handles.insert(widget, entry.Hwnd);
            entry.ParentHwnd = qint32(handles.value(control.container ? control.container : form));
        }
    }
    SortAnchorsByParent(table, 1, count);
}
