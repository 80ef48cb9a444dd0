#include "widgets/ScreenSetup.h"

#include <QVariant>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace ScreenSetup {

void PrepareScreen(QWidget *window, const QString &name, const QString &caption)
{
    window->setObjectName(name);
    window->setWindowTitle(caption);
    window->setProperty(ScreenProperty, true);
    // The screens are laid out in twips for this font; fonts.conf maps it
    // to a Japanese Gothic face where the original is missing.
    window->setFont(QFont(u"ＭＳ ゴシック"_s, 9));
}

void NameControl(QObject *control, const QString &name, int index)
{
    control->setObjectName(name);
    if (index >= 0)
        control->setProperty(IndexProperty, index);
}

void SetAnchor(QWidget *control, const QString &tag)
{
    control->setProperty(TagProperty, tag);
}

} // namespace ScreenSetup
