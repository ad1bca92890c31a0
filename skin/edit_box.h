// Skinned edit boxes: the system edits, the skin paints the frame and, with see-through children, the
// background under the text; a disabled one is a grey field with greyed text.
#pragma once

#include <windows.h>

class SkinEngine;

// Takes over the Edit children of `parent` (of window record `window_index`); those already skinned are left
// alone.
void InstallEditBoxes(SkinEngine& skin, size_t window_index, HWND parent);

// Takes over one edit box, such as the one inside a combo box.
void SkinEditBox(SkinEngine& skin, size_t window_index, HWND edit);
