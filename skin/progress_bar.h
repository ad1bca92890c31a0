// Skinned progress bars: a translucent trough with a glossy theme-coloured bar, painted whole by the skin.
#pragma once

#include <windows.h>

class SkinEngine;

// Takes over the progress bars among the direct children of `parent` (of window record `window_index`); those
// already skinned are left alone.
void InstallProgressBars(SkinEngine& skin, size_t window_index, HWND parent);

// How many of `length` pixels the bar fills at `position` in the range `low`…`high`: the share of the range
// the position has reached, held to 0…1, rounded down; none when the range is empty.
int FilledLength(int position, int low, int high, int length);
