// Windows registered to be painted over the skinned background: their own painting with their face colour
// keyed out.
#pragma once

#include <windows.h>

#include <optional>

class SkinEngine;

// Takes over `window`, a child (at any depth) of a skinned window: it paints itself as before, and wherever it
// paints `key` (the system's face colour when not given) the veiled background shows instead. A window of a
// class that paints into the DC a WM_PAINT hands it (tab controls, toolbars, status bars, buttons, track bars,
// month calendars) is painted whole; any other (a rich edit) is asked for its picture with WM_PRINTCLIENT and
// painted where it needs it. The standard controls on it are skinned as the window's own are. False when the
// window is on no skinned window or is registered already.
bool RegisterWindow(SkinEngine& skin, HWND window, std::optional<COLORREF> key = {});
