#pragma once

class QAbstractButton;
class QAbstractItemView;
class QWidget;

// The kinds of control the key hook tells apart by the focused widget.
// Composite controls count as a whole: a grid's cell editor is the grid, a
// calendar's day table is the calendar.

// A calendar: Qt's calendar widget or a control whose class is "MonthView".
bool IsCalendarControl(const QWidget *widget);
// The grid: a control whose class is exactly "vaSpread".
bool IsGridControl(const QWidget *widget);
// A push-style button; check boxes and option buttons are ordinary controls.
QAbstractButton *AsCommandButton(QWidget *widget);
// A one-line or multi-line text box: Qt's line, plain-text and text edits.
bool IsTextBox(const QWidget *widget);
// A list box (Qt's list views), else null.
QAbstractItemView *AsListBox(QWidget *widget);
