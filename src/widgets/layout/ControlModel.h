#pragma once

#include "core/layout/AnchorArithmetic.h"

#include <QString>

#include <optional>

class QWidget;

// A control as the layout engine sees it. The engine was written for the
// suite's forms, whose controls have type names and geometry in twips; this
// maps Qt's widgets onto that view so the engine itself needs no Qt classes.
// Setters return false where the toolkit would reject the value, which ends
// a layout pass.
namespace ControlModel {

// The toolkit's type name of a widget, by its exact class: QLabel "Label",
// QComboBox "ComboBox", QPushButton "CommandButton", QLineEdit "TextBox",
// QGroupBox "Frame", a plain QWidget or boxed QFrame "PictureBox" (with an
// int property "Align", 0 unless set), a QFrame drawn as a line "Line",
// QToolBar "Toolbar", vaSpread "vaSpread". Other classes keep their own name.
QString TypeName(const QWidget *control);
// Labels, lines, shapes and images draw on their container: no window.
bool IsWindowless(const QString &typeName);
// Frames and picture boxes hold controls of their own.
bool IsContainer(const QString &typeName);

// The "Index" property of a control-array member; none outside an array.
std::optional<int> ArrayIndex(const QWidget *control);
// Point size; none for a control without a font (lines, pixel-sized fonts).
std::optional<double> FontSize(const QWidget *control, const QString &typeName);

// Sets what the arithmetic asked for, in the order left, top, width, height.
bool SetTwips(QWidget *control, const AnchorArithmetic::TwipsRect &rect);
bool SetFontSize(QWidget *control, double points);

} // namespace ControlModel
