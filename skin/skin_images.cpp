// Reading the skin's embedded images from the program's resources.
#include "skin/skin_images.h"

#include <windows.h>

namespace {

const char* ResourceName(SkinImage image) {
    switch (image) {
        case SkinImage::Background: return "SKIN_BACKGROUND";
        case SkinImage::Minimise: return "SKIN_MINIMISE";
        case SkinImage::Maximise: return "SKIN_MAXIMISE";
        case SkinImage::Restore: return "SKIN_RESTORE";
        case SkinImage::Close: return "SKIN_CLOSE";
        case SkinImage::Help: return "SKIN_HELP";
        case SkinImage::Menu: return "SKIN_MENU";
        case SkinImage::Settings: return "SKIN_SETTINGS";
        case SkinImage::CheckBox: return "SKIN_CHECK_BOX";
        case SkinImage::CheckMark: return "SKIN_CHECK_MARK";
        case SkinImage::ComboArrow: return "SKIN_COMBO_ARROW";
        case SkinImage::ArrowUp: return "SKIN_ARROW_UP";
        case SkinImage::ArrowDown: return "SKIN_ARROW_DOWN";
        case SkinImage::ArrowLeft: return "SKIN_ARROW_LEFT";
        case SkinImage::ArrowRight: return "SKIN_ARROW_RIGHT";
    }
    return "";
}

}  // namespace

std::string_view EmbeddedImage(SkinImage image) {
    // Resources of the program file stay mapped as long as the program runs, so the view never dangles.
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, ResourceName(image), RT_RCDATA);
    if (!found) return {};
    HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return {};
    return {static_cast<const char*>(bytes), SizeofResource(module, found)};
}
