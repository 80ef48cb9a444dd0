#include "widgets/layout/modAnchor.h"

#include "widgets/layout/AnchorPass.h"

void ApplyAnchors(QWidget *form, const AnchorTable &table, const QString &windowSizeIndex)
{
    if (!form)
        return;
    AnchorPass pass(form, table);
    pass.Run(windowSizeIndex);
}
