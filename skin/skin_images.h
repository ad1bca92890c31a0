// The skin's images embedded in the program (res/skin.rc): the background and the glyphs of its controls.
#pragma once

#include <string_view>

enum class SkinImage {
    Background,
    Minimise,
    Maximise,
    Restore,
    Close,
    Help,
    Menu,
    Settings,
    CheckBox,
    CheckMark,
    ComboArrow,
    ArrowUp,
    ArrowDown,
    ArrowLeft,
    ArrowRight,
};

// The encoded bytes of `image` as the program file holds them; empty when the program carries no such image.
std::string_view EmbeddedImage(SkinImage image);
