// Skinned see-through labels: the skin composes their background and text off screen and copies them once, so
// a new text never shows over the old one, nor over a blank.
#pragma once

#include <windows.h>

#include <cstddef>

class SkinEngine;

// Takes over the see-through (WS_EX_TRANSPARENT) text labels among the direct children of `parent` (of window
// record `window_index`); those already skinned, and statics showing no text, are left alone.
void InstallLabels(SkinEngine& skin, size_t window_index, HWND parent);

// Draws into `dc`, which holds what `control` shows over `area` (screen coordinates), the text of the skinned
// labels lying above it: a painter of a control that a label lies over keeps the label's text on it.
void DrawLabelsAbove(HWND control, HDC dc, const RECT& area);

// Whether `window` is a label the skin paints whole, background and all.
bool IsSkinnedLabel(HWND window);
