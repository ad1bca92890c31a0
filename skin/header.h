// Skinned header controls, free-standing or the column titles of a list view: painted whole by the skin.
#pragma once

#include <windows.h>

class SkinEngine;

// Takes over the header controls among the direct children of `parent` (of window record `window_index`) and
// the column headers of its list views; those already skinned are left alone.
void InstallHeaders(SkinEngine& skin, size_t window_index, HWND parent);

// 1-based number of the item under client x, 0 for none. A point within 5 pixels of an item's edge is over
// no item: the divider, which resizes the columns, never shows a hot face.
int HotItemAt(HWND header, int x);
