// The skin object: program-wide skin settings and images, the window table, and skinning a top-level window.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string_view>

#include "gfx/images.h"
#include "runtime/win_handles.h"
#include "skin/skin_images.h"
#include "skin/window_table.h"

// How the program background image is placed; this program stretches it (Stretched).
enum class BackgroundMode { TopLeft = 0, TopRight = 1, Centred = 2, Stretched = 3, MirrorTiled = 4 };

struct SkinSettings {
    bool skin_children = true;  // child controls are subclassed only while set
    int control_alpha = 160;    // the white veil over the background behind controls
    bool custom_alpha = false;  // set with the control alpha: children get see-through backgrounds
    COLORREF theme_colour = RGB(0x22, 0xCA, 0xDD);
    bool option_flag = true;
    bool first_size = true;  // cleared by the first WM_SIZE any skinned window receives
    COLORREF default_background = 0;
    HICON icon = nullptr;  // drawn in every caption; shared, so never destroyed here
};

// What the window to skin asks for; the defaults are the usual top-level window's.
struct WindowSkinOptions {
    int caption_height = 25;  // raised to 25 when smaller
    bool has_caption = true;
    bool resizable = true;
    bool show_help = false;
    bool show_menu = false;
    bool show_title = true;
    bool caption_gloss = false;
};

// The program background, decoded once: painting only copies it.
struct Background {
    BitmapHandle bitmap;
    int width = 0, height = 0;
    BackgroundMode mode = BackgroundMode::MirrorTiled;
};

class SkinEngine {
  public:
    // The skin object becomes the program's one, which the skinned windows' procedures reach.
    SkinEngine();
    ~SkinEngine();
    SkinEngine(const SkinEngine&) = delete;
    SkinEngine& operator=(const SkinEngine&) = delete;

    // The one skin object; null before it is made and after it is gone.
    static SkinEngine* Instance();

    SkinSettings& settings() { return settings_; }
    const SkinSettings& settings() const { return settings_; }
    const Background& background() const { return background_; }
    WindowTable& table() { return table_; }

    // The program-wide background image (encoded bytes; empty for none), the colour under it and the theme
    // colour; every skinned window is repainted.
    void SetProgramSkin(std::string_view image, COLORREF background_colour, COLORREF theme_colour,
                        BackgroundMode mode);
    // Whether children are skinned, and the control alpha (160 when not given; giving it enables the
    // see-through backgrounds of the children).
    void SetOptions(bool skin_children, std::optional<int> control_alpha = {},
                    std::optional<bool> option_flag = {});

    // Takes a top-level window over: its record, its caption buttons, its procedure. A window already skinned
    // is left as it is.
    void SkinWindow(HWND window, const WindowSkinOptions& options = {});
    // Registers `child` in its class list of window `window_index` and installs `procedure` on it; a child
    // already registered is left as it is, so the skin never becomes its own previous procedure. Returns the
    // child's record, null when the window has no record.
    ControlRecord* SubclassChild(size_t window_index, ChildClass kind, HWND child, WNDPROC procedure);
    // Takes over with SubclassChild every direct child of `parent` of window class `class_name` but those skinned
    // already, under this window or another, and has each repainted by the skin.
    void SubclassChildren(size_t window_index, HWND parent, const char* class_name, ChildClass kind,
                          WNDPROC procedure);
    // The record of a skinned child, found through its index properties; null when it has none.
    ControlRecord* ChildRecord(HWND child, ChildClass kind) const;
    // The record of the top-level window a skinned child belongs to.
    WindowRecord* OwnerRecord(HWND child) const;

    // What a click on caption button `button` (1-based) of window `window_index` does.
    void CaptionButtonAction(size_t window_index, int button);

    // A caption glyph, decoded on first use; null when the program carries none.
    const GfxBitmap* Glyph(SkinImage image);

  private:
    // Takes over the standard controls among the direct children of `parent`, class by class.
    void SkinChildren(size_t window_index, HWND parent);

    SkinSettings settings_;
    Background background_;
    WindowTable table_;
    std::map<SkinImage, GfxBitmap> glyphs_;
};
