// The keyboard hook.
#pragma once

#include <QtGlobal>

class QComboBox;
class QKeyEvent;
class QWidget;

// Enter and the arrow keys move between fields on the component's screens.
// The main screen installs the hook at its first activation and removes it
// whenever it is about to close. While installed, an application-wide event
// filter sees every key-down before the focused control does; a converted
// key is discarded and Tab (or Shift+Tab) is queued behind it, so the
// toolkit's ordinary focus order moves the focus. The Tab is a key event to
// the widget focused when it arrives, so that widget's own Tab handling
// applies: a multi-line box moves on only with setTabChangesFocus(true), as
// it would for the operator's own Tab.
void InstallKeyHook();
void RemoveKeyHook();

// Looks at one key-down on its way to the focused control. True when the key
// has been dealt with here (converted into Tab or Shift+Tab, or a button
// pressed) and must not reach the control.
bool KeyboardHookProc(const QKeyEvent &event);

// One of our screens when it is the active window, else null. Our screens
// carry the dynamic property "parlow6Screen" = true on their top-level widget.
QWidget *ActiveScreen();
// The active screen's focused control, else null.
QWidget *ActiveControl();

// An input-method composition is in progress in the active control.
bool IsImeComposing();
bool IsComboDroppedDown(const QComboBox *combo);

// True when the key is to leave the focused text box: always for a one-line
// box; Up from a multi-line box's first line, Down from its last, Enter on
// its empty last line, which TextBoxEnterLeaves then drops.
bool TextBoxEnterLeaves();
bool TextBoxUpLeaves();
bool TextBoxDownLeaves();

// True when the arrow is to leave the focused list box.
bool ListBoxUpLeaves();
bool ListBoxDownLeaves();
