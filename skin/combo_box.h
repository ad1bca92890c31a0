// Skinned combo boxes: the system keeps the list and the edit field, the skin paints the face, frame,
// drop-down button and the selected text of a drop-down list, all greyed while the combo box is disabled.
#pragma once

#include <windows.h>

class SkinEngine;

// Takes over the ComboBox children of `parent` (of window record `window_index`), and with see-through
// children the edit field inside each; those already skinned are left alone.
void InstallComboBoxes(SkinEngine& skin, size_t window_index, HWND parent);
