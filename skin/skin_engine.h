// The skin object: program-wide skin settings and images, the window table, and skinning a top-level window.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/images.h"
#include "runtime/win_handles.h"
#include "skin/skin_images.h"
#include "skin/window_table.h"

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
    // A status strip this high along the bottom (0: none), cut into panels of these widths (-1: the rest).
    int status_height = 0;
    std::vector<int> status_panels;
    // A background of the window's own (encoded image bytes; empty: the program's), placed by its mode.
    std::string_view background_image;
    std::optional<BackgroundMode> background_mode;
};

// The title's look; what is not given stays as it is.
struct TitleStyle {
    std::optional<std::string> font;
    std::optional<float> size;
    std::optional<COLORREF> colour, halo_colour;
    std::optional<bool> bold;
};

// A theme colour that follows the background colour.
inline constexpr COLORREF kThemeFollowsBackground = CLR_INVALID;

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

    // The program-wide background image (encoded bytes; empty for none) placed by `mode` (mirror-tiled when
    // not given), the colour under it (the image's own colour when not given, the system's face colour without
    // an image) and the theme colour (the skin's azure when not given); every skinned window is repainted.
    void SetProgramSkin(std::string_view image, std::optional<COLORREF> background_colour = {},
                        std::optional<COLORREF> theme_colour = {}, std::optional<BackgroundMode> mode = {});
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
    // The record of a skinned child of that class (by `FindChild`); null when it has none.
    ControlRecord* ChildRecord(HWND child, ChildClass kind) const;
    // The record of the top-level window a skinned child belongs to.
    WindowRecord* OwnerRecord(HWND child) const;
    // A skinned child's record and its window's, found by a search of the skin's own records rather than
    // through the child's properties, which the system fetches from its server one call at a time: for the
    // procedures of children, which pass on every message (a list view asks its header something for every
    // row it draws). Both null when the child has no record of that class.
    struct FoundChild {
        ControlRecord* record = nullptr;
        WindowRecord* owner = nullptr;
    };
    FoundChild FindChild(HWND child, ChildClass kind) const;

    // What a click on caption button `button` (1-based) of window `window_index` does.
    void CaptionButtonAction(size_t window_index, int button);

    // Operations on a skinned top-level window; a window the skin does not know is left alone (false, or an
    // empty answer).
    // A caption button of the program's own, left of the window's standard buttons, running `action`.
    bool AddCaptionButton(HWND window, std::string_view image, std::string tip, std::function<void()> action);
    // What the help and main-menu caption buttons run.
    void SetHelpAction(HWND window, std::function<void()> action);
    void SetMenuAction(HWND window, std::function<void()> action);
    // The caption buttons follow the window's style (its minimise and maximise boxes) again.
    void UpdateCaptionButtons(HWND window);
    // The caption-button strip in client coordinates.
    RECT CaptionStripRect(HWND window) const;
    void SetTitleStyle(HWND window, const TitleStyle& style);
    // A background image of the window's own (encoded bytes) placed by `mode` (as before when not given), over
    // the image's own colour; bytes that are no image change nothing.
    void SetWindowBackground(HWND window, std::string_view image, std::optional<BackgroundMode> mode = {});
    // The text of status panel `panel` (0-based) and the look of every panel's text.
    void SetStatusText(HWND window, size_t panel, std::string text);
    void SetStatusTextStyle(HWND window, const StatusTextStyle& style);
    // `child` fills the client area between the caption and the status strip, and follows it when the window
    // is resized.
    void DockToClient(HWND child);
    // The text colour of a child control (of the edit field, for a combo box).
    void SetTextColour(HWND control, COLORREF colour);

    // A caption glyph, decoded on first use; null when the program carries none.
    const GfxBitmap* Glyph(SkinImage image);

    // Takes over the standard controls among the direct children of `parent` (the window of record
    // `window_index`, or a container on it), class by class.
    void SkinChildren(size_t window_index, HWND parent);

  private:    // The caption buttons of the record's window: help and menu when asked for, the program's own, then
    // minimise and maximise as the window's style has them, and close; the tooltip follows.
    void BuildCaptionButtons(WindowRecord& record);

    SkinSettings settings_;
    Background background_;
    WindowTable table_;
    std::map<SkinImage, GfxBitmap> glyphs_;
};
