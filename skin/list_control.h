// Skinned list controls: list boxes, list views, tree views and their kin get the skin's ring and, with
// see-through children, the window's background through a veil behind their rows.
#pragma once

#include <windows.h>

class SkinEngine;

// Takes over the list controls among the direct children of `parent` (of window record `window_index`): list
// boxes, the lists the combo boxes drop down, list views, tree views, IP address and date-time controls.
// Owner-drawn list views and combo box lists, and controls already skinned, are left alone. A combo box's list
// is taken for the mouse and the focus only: it keeps the system's look, frame and all.
void InstallListControls(SkinEngine& skin, size_t window_index, HWND parent);
