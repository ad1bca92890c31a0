// Pieces every skin painter shares: colours with alpha, rounded paths, copies of what lies under a control.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "gfx/graphics.h"
#include "runtime/win_handles.h"
#include "skin/window_table.h"

// A COLORREF (0x00BBGGRR) as GDI+ ARGB, with `alpha` when `use_alpha` is set and opaque otherwise.
Gdiplus::ARGB MakeArgb(COLORREF colour, int alpha, bool use_alpha = true);

// Adds a closed rounded rectangle to `path`; `r`, the corners' diameter, is held to 1…100.
bool AddRoundedRectangle(GfxPath& path, float x, float y, float width, float height, int r);

// Strokes the figure AddRoundedRectangle adds, a side or a corner at a time: GDI+ composes a stroke over
// its bounding box, which for a window's outline drawn whole is the window.
bool StrokeRoundedRectangle(GfxGraphics& graphics, const GfxPen& pen, float x, float y, float width, float height,
                            int r);

// A path holding the one figure AddRoundedRectangle adds.
GfxPath RoundedRectanglePath(float x, float y, float width, float height, int r);

// Adds a figure with rounded top corners (diameter `r`) and square bottom ones, left open along the bottom.
bool AddRoundedTopRectangle(GfxPath& path, int x, int y, int width, int height, int r);

// A brush running from `top` at y to `bottom` at y + height.
GfxLinearBrush VerticalGradient(Gdiplus::REAL y, Gdiplus::REAL height, Gdiplus::ARGB top, Gdiplus::ARGB bottom);
// A brush running from `left` at x to `right` at x + width.
GfxLinearBrush HorizontalGradient(Gdiplus::REAL x, Gdiplus::REAL width, Gdiplus::ARGB left, Gdiplus::ARGB right);

// A font of `face` in `size` pixels; the system's default GUI face where that face cannot be had, so text
// never disappears for want of a font.
GfxFont MakeFont(const std::string& face, Gdiplus::REAL size, INT style);

// Reads the face, size and style of the font `control` draws its text in into its record, for painters that
// draw the text themselves: "宋体" 12 where the font names no face or size.
void ReadControlFont(HWND control, ControlRecord& record);

// The text colour of a skinned child (its text colour property); black when it has none.
COLORREF TextColour(HWND control);

// Draws `glyph` at (x, y) in its own pixel size, whatever resolution the image file names.
void DrawGlyph(GfxGraphics& graphics, const GfxBitmap& glyph, int x, int y);

// Strokes `path` with a pen `width` wide in `colour` at `alpha`: the glow around a hot or focused face.
bool GlowOutline(GfxGraphics& graphics, const GfxPath& path, Gdiplus::REAL width, COLORREF colour, int alpha);

// The glow around a control with the keyboard focus: the skin's own azure, whatever the theme.
void FocusGlow(GfxGraphics& graphics, const GfxPath& path);

// GDI+ drawing straight into a surface's pixels: several times faster than through the surface's DC, where
// every fill is composed in a bitmap of its own and blended back. GDI calls made on the DC before are
// finished first; GDI calls after see the drawing once this is gone.
class SurfaceGraphics : public GfxGraphics {
  public:
    explicit SurfaceGraphics(const Surface& surface);
    ~SurfaceGraphics() { DeleteGraphics(); }  // before the bitmap it draws into
    SurfaceGraphics(const SurfaceGraphics&) = delete;
    SurfaceGraphics& operator=(const SurfaceGraphics&) = delete;

  private:
    GfxBitmap pixels_;
};

// What the skinned top-level window behind `control` shows under `area` (screen coordinates), or the painted
// layer of a window around it that keeps one, in a surface of its own for a painter to draw the control's face
// over and copy to the screen once. Empty when the control is on no skinned window.
class Snapshot {
  public:
    Snapshot(HWND control, const RECT& area);
    HDC dc() const { return surface_.dc(); }
    int width() const { return surface_.width(); }
    int height() const { return surface_.height(); }
    const Surface& surface() const { return surface_; }
    explicit operator bool() const { return static_cast<bool>(surface_); }

  private:
    Surface surface_;
};

// The screen rectangles of a window and of its client area.
RECT WindowArea(HWND window);
RECT ClientArea(HWND window);

// Whether the window has a frame of its own around its client area, for its WM_NCPAINT to paint.
bool HasFrame(HWND window);

// The client area of `control` with its scroll bars and the box between them, in the control's window
// coordinates: what lies inside the frame.
RECT InnerArea(HWND control);

// The screen area of `control`'s scroll bars and the box between them, for the system to paint when the
// skin paints the rest of the frame.
RegionHandle ScrollBarScreenRegion(HWND control);

// The client area of `control` in the client coordinates of `window`.
RECT PlaceInWindow(HWND control, HWND window);

// A new bitmap holding the `place` part of what `source` shows.
BitmapHandle CopyToBitmap(HDC source, const RECT& place);

// The see-through background of a control at `place`: the painted frame under it with a white veil of
// `alpha` laid over, so text on it stays readable.
BitmapHandle SeeThroughBackground(HDC frame, const RECT& place, int alpha);

// `text` as it fits on one line of `width` pixels: whole, or cut at a character boundary and ended with an
// ellipsis.
std::string FitTextToWidth(GfxGraphics& graphics, const std::string& text, const GfxFont& font,
                           const GfxStringFormat& format, Gdiplus::REAL width);

// The window's class name.
std::string ClassName(HWND window);

// The grey face of a disabled button, check box or radio button.
inline constexpr COLORREF kDisabledFaceColour = RGB(192, 192, 192);
// The lighter grey of a disabled edit box or combo box: the system greys their text, which on the buttons'
// grey could hardly be read.
inline constexpr COLORREF kDisabledFieldColour = RGB(224, 224, 224);
// The system's grey for disabled text.
COLORREF DisabledTextColour();
// A brush of kDisabledFieldColour for filling on `dc`: the DC's own brush, nothing to delete.
HBRUSH DisabledFieldBrush(HDC dc);

// The grey face of a disabled button, check box or radio button, over the whole width × height.
void PaintDisabledFace(GfxGraphics& graphics, int width, int height);

// `text` in the font of a child's record and in `colour` (the child's text colour when not given), in
// `layout`.
void DrawControlText(GfxGraphics& graphics, const ControlRecord& record, const std::string& text,
                     const GfxStringFormat& format, const Gdiplus::RectF& layout,
                     std::optional<COLORREF> colour = {});
