#include "widgets/layout/modAnchor.h"

#include "core/settings/SuiteSettings.h"
#include "widgets/layout/AnchorPass.h"

void ApplyAnchors(QWidget *form, const AnchorTable &table)
{
    ApplyAnchors(form, table, GetSuiteSetting(SettingSlot::WindowSizeIndex, QString()));
}

void ApplyAnchors(QWidget *form, const AnchorTable &table, const QString &windowSizeIndex)
{
    if (!form)
        return;
    AnchorPass pass(form, table);
    pass.Run(windowSizeIndex);
}
