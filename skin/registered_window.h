// Windows registered to be painted over the skinned background: their own painting with their face colour
// keyed out.
#pragma once

#include <windows.h>

#include <optional>

class SkinEngine;

// Takes over `window`, a child (at any depth) of a skinned window: it paints itself as before, and wherever it
// paints `key` (the system's face colour when not given) the veiled background shows instead. The standard
// controls on it are skinned as the window's own are. False when the window is on no skinned window or is
// registered already.
bool RegisterWindow(SkinEngine& skin, HWND window, std::optional<COLORREF> key = {});
