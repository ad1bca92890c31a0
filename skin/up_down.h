// Skinned up-down controls: the system keeps the value, the buddy, the keys and the auto-repeat; the skin
// paints the two halves, the one under the mouse lit and the pressed one inverted.
#pragma once

#include <windows.h>

class SkinEngine;

// Takes over the up-down children of `parent` (of window record `window_index`); those already skinned are
// left alone, so the skin never becomes its own previous procedure.
void InstallUpDowns(SkinEngine& skin, size_t window_index, HWND parent);
