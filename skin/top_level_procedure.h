// The window procedure of every skinned top-level window.
#pragma once

#include <windows.h>

// Installed on a window by the skin object; reaches the one skin object and the window's record. A window
// without a record (the skin object gone, or the window cleaned up) gets its previous procedure only.
LRESULT CALLBACK SkinnedTopLevelProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
