// Skinned BUTTON children: the procedure every one of them runs, the push-button installer and its face.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "skin/window_table.h"

class SkinEngine;

// The looks of a skinned BUTTON child (its record's kind).
enum ButtonKind { kPushButton = 0, kImageButton = 1, kStateImageButton = 3, kRadioButton = 4, kCheckBox = 5 };

// The state bits every button painter takes: those of an owner-draw request, and hot for the mouse over it.
inline constexpr UINT kButtonPressed = ODS_SELECTED, kButtonDisabled = ODS_DISABLED, kButtonFocused = ODS_FOCUS,
                      kButtonHot = ODS_HOTLIGHT;

// Takes over the push buttons among the direct children of `parent` (of window record `window_index`): they
// become owner-drawn and are painted by the skin. Buttons already skinned or owner-drawn by the program are
// left alone.
void InstallPushButtons(SkinEngine& skin, size_t window_index, HWND parent);

// Makes `button` (on a skinned window) a push button showing images: kImageButton with one image beside or
// instead of its text, kStateImageButton with one image for each of the normal, hot, pressed and disabled
// states (an image missing for a state is drawn from the normal one). False when the button is on no
// skinned window.
bool MakeImageButton(SkinEngine& skin, HWND button, int kind, const std::vector<std::string_view>& images,
                     bool image_beside_text, std::string text);

// The procedure of every skinned BUTTON child.
LRESULT CALLBACK SkinnedButtonProcedure(HWND button, UINT message, WPARAM wparam, LPARAM lparam);

// The button's state as the painters take it: pressed, disabled and focused as the control is now, hot while
// the mouse is over it.
UINT ButtonState(const WindowRecord& owner, HWND button);

// Paints a skinned push button for the owner-draw request of its parent; false when the request is for
// another control, which the parent's own procedure then draws.
bool DrawSkinnedButton(SkinEngine& skin, const DRAWITEMSTRUCT& item);
