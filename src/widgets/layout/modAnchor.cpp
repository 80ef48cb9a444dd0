// The layout pass as the screens call it: WindowSizeIndex comes from the
// suite settings. Kept apart so that the pass itself needs no settings store.
#include "widgets/layout/modAnchor.h"

#include "core/settings/SuiteSettings.h"

namespace {

constexpr qint32 WindowSizeIndexSlot = 23;

} // namespace

void ApplyAnchors(QWidget *form, const AnchorTable &table)
{
    ApplyAnchors(form, table, GetSuiteSetting(WindowSizeIndexSlot, QString()));
}
