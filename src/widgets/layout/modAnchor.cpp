#include "widgets/layout/modAnchor.h"

#include "widgets/layout/ControlModel.h"
#include "widgets/layout/FormControls.h"
#include "widgets/layout/Twips.h"

#include <QHash>
#include <QWidget>

namespace {

// Window-handle stand-in: a positive number per windowed widget, stable
// within one capture. The form comes first and so gets 1.
class HandleKeys final
{
public:
    quint32 Of(const QWidget *widget)
    {
        const auto found = m_keys.constFind(widget);
        if (found != m_keys.constEnd())
            return *found;
        return *m_keys.insert(widget, m_next++);
    }

private:
    QHash<const QWidget *, quint32> m_keys;
    quint32 m_next{1};
};

} // namespace

void CaptureAnchors(QWidget *form, AnchorTable &table)
{
    if (!form) {
        table.clear();
        return;
    }
    const FormControls controls(form);
    const int count = int(controls.Count());
    table = AnchorTable(count + 1);
    HandleKeys keys;
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
    formEntry.Hwnd = keys.Of(form);

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
        entry.FontChanged = false;
        entry.Tag = ControlModel::Tag(widget);
        if (const std::optional<int> index = ControlModel::ArrayIndex(widget))
            entry.Index = QString::number(*index);
        if (!ControlModel::IsWindowless(control.typeName)) {
            entry.Hwnd = keys.Of(widget);
            entry.ParentHwnd = qint32(keys.Of(control.container ? control.container : form));
        }
    }
    SortAnchorsByParent(table, 1, count);
}
