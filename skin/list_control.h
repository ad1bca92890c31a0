// Skinned list controls: list boxes, list views, tree views and their kin get the skin's ring and, with
// see-through children, the window's background through a veil behind their rows.
#pragma once

#include <windows.h>

class SkinEngine;

// Takes over the list controls among the direct children of `parent` (of window record `window_index`): list
// boxes, list views, tree views, IP address and date-time controls. Owner-drawn list views, and controls
// already skinned, are left alone; the list a combo box drops down keeps the system's look.
void InstallListControls(SkinEngine& skin, size_t window_index, HWND parent);
