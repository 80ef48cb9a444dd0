#pragma once

// Enter and the arrow keys move between fields on the component's screens.
void InstallKeyHook();
void RemoveKeyHook();
