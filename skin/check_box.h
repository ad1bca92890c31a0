// Skinned check boxes and radio buttons: the system keeps their behaviour, the skin paints their glyph and text.
#pragma once

#include <windows.h>

#include "skin/window_table.h"

class SkinEngine;

// Takes over the check boxes and automatic radio buttons among the direct children of `parent` (of window
// record `window_index`); three-state boxes, group boxes, non-automatic radio buttons, owner-drawn buttons and
// buttons already skinned are left alone.
void InstallCheckBoxes(SkinEngine& skin, size_t window_index, HWND parent);

// Paints a skinned check box or radio button into `target` (a DC of its client area) in `state` (the button
// state bits; with the focus, the skin's focus glow around its text), composed off screen and copied once.
void PaintGlyphButton(SkinEngine& skin, const ControlRecord& record, HDC target, UINT state);
