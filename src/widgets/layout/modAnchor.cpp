#include "widgets/layout/modAnchor.h"

#include "widgets/ScreenSetup.h"
#include "widgets/layout/ControlModel.h"
#include "widgets/layout/FormControls.h"
#include "widgets/layout/Twips.h"

#include <QHash>
#include <QVariant>
#include <QWidget>

void CaptureAnchors(QWidget *form, AnchorTable &table)
{
    if (!form) {
        table.clear();
        return;
    }
    const FormControls controls(form);
    const int count = int(controls.Items().size());
    table = AnchorTable(count + 1);
    // Window-handle stand-ins: 1 for the form, then the windowed controls
    // numbered in walk order, which puts every container before its children.
    QHash<const QWidget *, quint32> handles{{form, 1}};
    const int tx = Twips::PerPixelX(form);
    const int ty = Twips::PerPixelY(form);

    // Pixels times whole twips per pixel are whole twips: nothing to round.
    const auto capture = [tx, ty](AnchorEntry &entry, const QWidget *widget, const QString &typeName,
                                  const QRect &outer) {
        entry.Name = widget->objectName();
        entry.TypeName = typeName;
        entry.Left = outer.x() * tx;
        entry.Top = outer.y() * ty;
        entry.Height = outer.height() * ty;
        entry.Width = outer.width() * tx;
        entry.FontSize = float(ControlModel::FontSize(widget, typeName).value_or(0));
    };
    capture(table[0], form, QString::fromLatin1(form->metaObject()->className()), form->frameGeometry());
    table[0].Hwnd = 1;

    qint16 k = 0;
    for (const FormControls::Control &control : controls.Items()) {
        AnchorEntry &entry = table[++k];
        const QWidget *widget = control.widget;
        capture(entry, widget, control.typeName, widget->geometry());
        entry.Tag = widget->property(ScreenSetup::TagProperty).toString();
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
