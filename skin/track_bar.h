// Skinned track bars: the system keeps the range, the position, the keys and the dragging; the skin paints
// the body, the channel, the selection and the thumb, outlined in the theme colour under the mouse.
#pragma once

#include <windows.h>

class SkinEngine;

// Takes over the track bar children of `parent` (of window record `window_index`); those already skinned are
// left alone, so the skin never becomes its own previous procedure.
void InstallTrackBars(SkinEngine& skin, size_t window_index, HWND parent);
