#pragma once

#include "widgets/layout/Twips.h"

#include <QString>

#include <utility>

class QObject;
class QWidget;

// How the component's windows and controls are marked, so the layout engine
// and the key hook can find their way around a screen built in Qt the way
// the suite's other screens are built.
namespace ScreenSetup {

// Dynamic properties, each read and written only through this header.
inline constexpr char ScreenProperty[] = "parlow6Screen"; // a window the key hook serves
inline constexpr char TagProperty[] = "Tag";              // a control's anchor word
inline constexpr char IndexProperty[] = "Index";          // position in a control array
inline constexpr char AlignProperty[] = "Align";          // a docked picture box

// Name, caption, the suite's design font, and the mark the key hook looks for.
void PrepareScreen(QWidget *window, const QString &name, const QString &caption);

// Members of a control array share their name and carry their position.
void NameControl(QObject *control, const QString &name, int index = -1);
void SetAnchor(QWidget *control, const QString &tag);

// A control's place on its screen as designed, in twips.
struct Design
{
    int left;
    int top;
    int width;
    int height;
};

// A new control of the screen, named and placed as designed; arguments go
// to its constructor before the parent, as Qt's widgets take them.
template<typename Control, typename... Args>
Control *Place(QWidget *parent, const QString &name, Design design, Args &&...args)
{
    auto *control = new Control(std::forward<Args>(args)..., parent);
    NameControl(control, name);
    Twips::SetGeometry(control, design.left, design.top, design.width, design.height);
    return control;
}

} // namespace ScreenSetup
