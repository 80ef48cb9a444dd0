// The keyboard hook.
#pragma once

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
