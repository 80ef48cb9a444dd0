#pragma once

#include "widgets/layout/Twips.h"
#include "widgets/layout/modAnchor.h"

#include <QRect>
#include <QString>
#include <QVariant>
#include <QWidget>

#include <memory>

// Little forms of real widgets, designed in twips like the suite's screens.
namespace LayoutFixture {

// 600 x 400 pixels at 15 twips per pixel.
inline constexpr int FormWidth = 9000;
inline constexpr int FormHeight = 6000;

inline std::unique_ptr<QWidget> makeForm(const QString &name = QStringLiteral("frmTest"))
{
    auto form = std::make_unique<QWidget>();
    form->setObjectName(name);
    form->resize(Twips::ToPixelsX(FormWidth), Twips::ToPixelsY(FormHeight));
    return form;
}

// A named control on parent at a design rectangle in twips, with its anchor
// word and, for an array member, its index.
template <class Control>
Control *addControl(QWidget *parent, const QString &name, const QRect &twips, const QString &tag = {},
                    int index = -1)
{
    auto *control = new Control(parent);
    control->setObjectName(name);
    if (!tag.isNull())
        control->setProperty("Tag", tag);
    if (index >= 0)
        control->setProperty("Index", index);
    Twips::SetGeometry(control, twips.x(), twips.y(), twips.width(), twips.height());
    return control;
}

// Grows (or shrinks) the form by whole pixels.
inline void resizeFormBy(QWidget *form, int dx, int dy)
{
    form->resize(form->width() + dx, form->height() + dy);
}

inline const AnchorEntry *findEntry(const AnchorTable &table, const QString &name, const QString &index = {})
{
    for (qsizetype i = 1; i < table.size(); ++i) {
        if (table[i].Name == name && table[i].Index == index)
            return &table[i];
    }
    return nullptr;
}

inline qsizetype positionOf(const AnchorTable &table, const QString &name)
{
    for (qsizetype i = 1; i < table.size(); ++i) {
        if (table[i].Name == name)
            return i;
    }
    return -1;
}

} // namespace LayoutFixture
