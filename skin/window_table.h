// The skin engine's records of the windows it skinned, and the window properties that lead to them.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gfx/images.h"
#include "gfx/tooltip.h"
#include "runtime/win_handles.h"
#include "skin/frame_geometry.h"

// Properties on every skinned window: the procedure it had before the skin's, the 1-based index of its
// record (of its window record for a top-level window, of its control record in its class list for a
// child), and for a child the index of its top-level window's record.
inline constexpr char kPreviousProcedureProperty[] = "Hw_hProc";
inline constexpr char kRecordIndexProperty[] = "Hw_lbID";
inline constexpr char kOwnerIndexProperty[] = "Hw_FuID";
// The text colour (COLORREF) of a child, for its painter and its WM_CTLCOLOR* answer; black when absent.
inline constexpr char kTextColourProperty[] = "Kj_Ztys";
// On a window registered to be painted over the skinned background: its previous procedure and the index of
// its top-level window's record.
inline constexpr char kRegisteredProcedureProperty[] = "Kj_hProc";
inline constexpr char kRegisteredOwnerProperty[] = "Kj_FuID";

// 0 when the window has no such property.
size_t IndexProperty(HWND window, const char* name);
void SetIndexProperty(HWND window, const char* name, size_t index);
WNDPROC PreviousProcedure(HWND window);
// Removes the three properties: the window is no longer skinned.
void RemoveSkinProperties(HWND window);
// Passes a message to the procedure the window had before the skin's.
LRESULT CallPreviousProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Where a scrolling child's view was when last seen: the top row and the two scroll positions.
struct ViewPosition {
    int top_row = 0;
    int horizontal = 0;
    int vertical = 0;
    bool operator==(const ViewPosition&) const = default;
};

// The classes of skinned children, one list each in a window record.
enum class ChildClass { Button, Edit, List, TrackBar, Progress, Combo, UpDown, Header, Label, Count };

// A skinned child: its window, the procedure it had before the skin's, and what its class's painter keeps.
struct ControlRecord {
    HWND window = nullptr;
    WNDPROC previous = nullptr;
    int kind = 0;              // the look, for classes with more than one (buttons)
    bool focused = false;
    bool mouse_down = false;   // between a press and its release
    int hot_item = 0;          // headers: 1-based item under the mouse; up-downs: half (1 or 2); 0 for none
    int pressed_item = 0;      // headers: 1-based item pressed, 0 for none
    std::string text;          // the caption as last set, for painters that draw it themselves
    std::string font_face;     // the control's font, for painters that draw its text with GDI+
    float font_size = 12;
    int font_style = 0;
    // Buttons with images: the images of their states, and whether the image sits beside the text.
    std::vector<std::shared_ptr<const GfxBitmap>> images;
    bool image_beside_text = false;
    ViewPosition view;  // lists: where the view was scrolled to when last seen
};

// A child of a container that grows and shrinks with it, keeping its distances to the container's edges.
struct StretchedChild {
    HWND window = nullptr;
    RECT margins{};  // from the container's client edges: left, top, right, bottom
};

// A child container (a group box, a frame, a panel) whose children the skin takes over: it paints a group box
// or a rounded frame of its own, or nothing, lays its tint over the background inside it, and lays out the
// children stretched with it.
struct ContainerRecord {
    ControlRecord control;  // its window, previous procedure, caption and font
    COLORREF tint = 0;      // 0: none
    int alpha = 255;
    bool draw_frame = false;
    bool group_box = false;
    bool redraw_on_move = true;
    std::vector<StretchedChild> stretched;
};

// A window that keeps a painted layer of its own (its whole window area, in a DC of the program's): the
// controls inside it take their background from that layer instead of from the top-level window's frame.
struct PaintedLayer {
    HWND window = nullptr;
    HDC dc = nullptr;
};

// A window painted by its own procedure over the skinned background, its face colour keyed out.
struct RegisteredWindow {
    HWND window = nullptr;
    WNDPROC previous = nullptr;
    COLORREF key = 0;
    bool paints_into_given_dc = true;  // its class paints into the DC a WM_PAINT hands it
};

struct CaptionButton {
    CaptionKind kind;
    const GfxBitmap* image = nullptr;      // owned by the skin engine, or by `own_image`
    const GfxBitmap* alternate = nullptr;  // drawn instead while the window is maximised
    std::string tip;
    FloatRect rect;  // the layout rectangle; the face starts one pixel to its left
    std::shared_ptr<const GfxBitmap> own_image;  // the image of a button the program added
    std::function<void()> action;                // what a button the program added runs
};

// How a background image is placed: at the top left, at the top right, centred, stretched over the window,
// or tiled side by side with every second copy mirrored.
enum class BackgroundMode { TopLeft = 0, TopRight = 1, Centred = 2, Stretched = 3, MirrorTiled = 4 };

// A background image decoded once (and blended into its colour where it sits in a corner): painting only
// copies it.
struct Background {
    BitmapHandle bitmap;
    int width = 0, height = 0;
    BackgroundMode mode = BackgroundMode::MirrorTiled;
    COLORREF colour = 0;  // what the window shows where the image does not reach
};

struct StatusPanel {
    int width = -1;  // -1: the rest of the strip
    std::string text;
};

// The look of the status panels' text.
struct StatusTextStyle {
    int alignment = 1;  // 0 near, 1 centre, 2 far
    COLORREF colour = RGB(255, 255, 255);
    std::string font = "宋体";
    float size = 12;
};

// A memory DC with a 32-bit bitmap of its own. The DC gets back the bitmap it was made with before either
// is deleted, so each is deleted once and never while selected.
class Surface {
  public:
    Surface() = default;
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    ~Surface() { Free(); }

    // Makes the surface width × height; one of that size is kept as it is. False when it cannot be made.
    bool Resize(int width, int height);
    void Free();
    HDC dc() const { return dc_.get(); }
    // The pixels, 32 bits each, top row first; GDI calls on the DC reach them only after GdiFlush.
    BYTE* pixels() const { return pixels_; }
    int width() const { return width_; }
    int height() const { return height_; }
    explicit operator bool() const { return static_cast<bool>(bitmap_); }

  private:
    MemoryDc dc_;
    BitmapHandle bitmap_;
    HGDIOBJ original_ = nullptr;
    BYTE* pixels_ = nullptr;
    int width_ = 0, height_ = 0;
};

// The brush a child was given for its background (WM_CTLCOLOR*), kept until the child's place or the
// frame changes: the child repaints often, and the same brush serves every time.
struct ChildBackground {
    HWND control = nullptr;
    RECT place{};                   // the child's client area in the window's client coordinates
    unsigned frame_generation = 0;  // the frame painting it was copied from
    BitmapHandle bitmap;
    BrushHandle brush;
};

struct WindowRecord {
    HWND window = nullptr;
    // The procedure the window had before the skin's, also kept in its property for after the record is gone:
    // Wine fetches a property from its server, which every message would pay for.
    WNDPROC previous = nullptr;
    int caption_height = 25;
    bool has_caption = true;
    bool resizable = true;
    bool show_title = true;
    bool caption_gloss = false;
    bool show_help = false, show_menu = false;
    Background own_background;  // the window's own, when its bitmap is set; else the program's

    std::vector<CaptionButton> buttons;
    ButtonStrip strip;
    std::function<void()> help_action, menu_action;

    int status_height = 0;  // 0: no status strip
    std::vector<StatusPanel> status_panels;
    StatusTextStyle status_style;
    std::vector<HWND> docked;  // children that fill the client area between caption and status strip

    bool maximised = false;
    bool minimised = false;
    int min_width = 200, min_height = 150;
    int screen_width = 0, screen_height = 0;

    COLORREF title_colour = RGB(255, 255, 255);
    COLORREF title_halo_colour = RGB(128, 128, 128);
    std::string title_font = "宋体";
    float title_size = 12;
    bool title_bold = true;

    // Caption hover: the button under the mouse and the one being pressed, and the two fades the 20 ms
    // timer runs (steps 0 to 8).
    int hot_button = 0;
    int pressed_button = 0;
    bool last_press_on_button = false;  // a double click that began on a button is that button's
    int fading_in = 0, fade_in_step = 0;
    int fading_out = 0, fade_out_step = 0;
    bool mouse_tracking = false;
    bool timer_running = false;

    // The skinned child painted hot last: only one child shows a hover face at a time, and moves within it
    // repaint nothing.
    HWND hot_child = nullptr;

    GfxTooltip tooltip;
    std::array<std::vector<ControlRecord>, static_cast<size_t>(ChildClass::Count)> children;

    // The whole painted window, and a clean copy of its caption strip to redraw single caption parts from.
    Surface frame;
    Surface caption_cache;
    Surface status_cache;
    unsigned frame_generation = 0;
    SIZE region_size{};
    bool repaint_pending = true;
    std::vector<ChildBackground> child_backgrounds;
    // What the list controls compose their rows on, kept between paints: a new surface of a list's size costs
    // more than painting the list.
    Surface list_surface;

    std::vector<ContainerRecord> containers;
    std::vector<RegisteredWindow> registered;
    std::vector<PaintedLayer> layers;

    std::vector<ControlRecord>& Children(ChildClass kind) { return children[static_cast<size_t>(kind)]; }
    // The container record of `window`; null when it is none of this window's.
    const ContainerRecord* Container(HWND window) const;
    // The painted layer `window` keeps; null when it keeps none.
    const PaintedLayer* Layer(HWND window) const;

    // The mouse moved over skinned child `child`: asks for its WM_MOUSELEAVE and makes it the hot child. True
    // when it was not the hot child before, so it is to be painted hot now.
    bool EnterHover(HWND child);
    // The mouse left `child`: it is no longer the hot child.
    void LeaveHover(HWND child);
    // `child` is being destroyed: it is no longer hot, and its see-through background goes with it.
    void ForgetChild(HWND child);
    // What lies under the children of `ancestor` changed (a tint, a painted layer): their see-through
    // backgrounds are made again.
    void ForgetBackgroundsWithin(HWND ancestor);
};

// The records of all skinned top-level windows, addressed by 1-based index.
class WindowTable {
  public:
    // 1-based index of the record of `window`; 0 when it has none.
    size_t Find(HWND window) const;
    // The record at `index`; null when there is none.
    WindowRecord* At(size_t index) const;
    // The record of a skinned top-level window. Searched for in the table, not found through the window's
    // index property: the system fetches a property from its server, a round trip for every message the
    // window gets.
    WindowRecord* RecordOf(HWND window) const;
    // Appends the record; returns its index.
    size_t Add(std::unique_ptr<WindowRecord> record);
    // Removes the record at `index` and renumbers the rest: every later window and every child of theirs gets
    // its new index, so no property ever names a record that moved.
    void Remove(size_t index);
    size_t size() const { return records_.size(); }

  private:
    std::vector<std::unique_ptr<WindowRecord>> records_;
};
