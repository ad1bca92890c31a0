// The painted frame of a skinned window: background, border, caption with icon, title and buttons, the
// frame surface they are kept in, and what the mouse does on them.
#pragma once

#include <windows.h>

#include <string>

#include "gfx/graphics.h"
#include "skin/skin_engine.h"
#include "skin/window_table.h"

// The painted border's two strokes along the client area's edges.
inline constexpr int kFrameBorderWidth = 2;

// The hover alpha of a caption button at fade step 0…8.
inline int FadeIntensity(int step) {
    return step * 30;
}

class Frame {
  public:
    Frame(const SkinEngine& skin, WindowRecord& record) : skin_(skin), record_(record) {}

    // Whether the next paint must repaint everything: asked for, or the frame surface is missing or not the
    // client area's size.
    bool NeedsFullPaint() const;
    // Paints the whole frame into the frame surface and, when `target` is given, copies it there (a DC of the
    // window; children other than see-through ones are left alone).
    void Paint(HDC target);
    // Copies the frame surface to `target` as it is.
    void Copy(HDC target) const;

    void LayOutButtons();
    // 1-based number of the caption button under the client point, 0 for none.
    int HitButton(int x, int y) const;
    // Redraws button `n` on the window: its normal face with the hover highlight at `intensity` (0…240), or
    // its pressed face.
    void DrawButton(int n, int intensity);
    void DrawPressedButton(int n);
    // Redraws the icon and title on the window with `title` (the window text when null).
    void DrawTitle(const std::string* title);

    // A press at the client point: starts a resize from an edge or corner, or a move from the caption.
    void Press(int x, int y);
    // Sets the resize cursor of the edge or corner under the point; false when the point is on none.
    bool SetResizeCursor(int x, int y) const;

    // The background brush of a child: the painted frame under it, veiled. The record owns the brush.
    HBRUSH SeeThroughBrush(HWND control);
    // Copies `area` (the child's client coordinates) of the same background into `target` at the same place,
    // for painters that lay it under their own drawing: faster than a fill with the brush.
    void CopySeeThroughBackground(HWND control, HDC target, const RECT& area);

    // Redraws status panel `panel` (0-based) with its text, on the window.
    void DrawStatusPanel(size_t panel);
    // Moves the docked children over the client area between the caption and the status strip.
    void DockChildren();

  private:
    RECT Client() const;
    // The child's entry in the record's background cache, made again when the child moved or the frame was
    // repainted since; null when there is no frame to take it from.
    const ChildBackground* UpToDateBackground(HWND control);
    void ApplyRegion(int width, int height);
    void PaintBackground(HDC dc, int width, int height) const;
    void PaintBorder(GfxGraphics& graphics, int width, int height) const;
    void PaintTitle(HDC dc, const std::string& title) const;
    void PaintButton(GfxGraphics& graphics, int n, int intensity) const;
    void PaintPressedButton(GfxGraphics& graphics, int n) const;
    void PaintButtonFace(GfxGraphics& graphics, int n) const;
    void PaintSeparators(GfxGraphics& graphics, int n) const;
    RECT ButtonArea(int n) const;
    RECT StatusStrip() const;
    RECT StatusPanelArea(size_t panel) const;
    void PaintStatusStrip();
    void PaintStatusPanel(size_t panel) const;
    RECT TitleBox() const;
    void RestoreFromCaptionCache(const RECT& area) const;
    void CopyToWindow(const RECT& area) const;

    const SkinEngine& skin_;
    WindowRecord& record_;
};

// The colour an image stands for: the average of 2000 of its pixels picked at random (the same ones every
// time).
COLORREF RepresentativeColour(const GfxBitmap& image);

// `image` made ready to paint in `mode` over `colour`: decoded once, and where it sits in a top corner its
// inner edges blended into the colour.
Background PrepareBackground(const GfxBitmap& image, BackgroundMode mode, COLORREF colour);

// Whether `window` is a group box: a frame and a caption over what lies under it.
bool IsGroupBox(HWND window);
// Whether a control draws only parts of its area over what lies under it (see-through labels, group boxes):
// the window under it paints the rest.
bool IsSeeThrough(HWND control);

// Whether a control paints all of its area: any but see-through ones, and of those the labels the skin paints
// whole.
bool CoversWhatIsUnder(HWND control);
// Excludes the window's visible children that cover what is under them from `dc`'s clip.
void ExcludeOpaqueChildren(HWND window, HDC dc);
