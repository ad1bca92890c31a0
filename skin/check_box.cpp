// Skinned check boxes and radio buttons: their installer, their two glyph painters and their focus glow.
#include "skin/check_box.h"

#include <algorithm>
#include <cmath>

#include "runtime/control.h"
#include "skin/button.h"
#include "skin/paint_primitives.h"
#include "skin/skin_engine.h"

namespace {

using Gdiplus::REAL;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kDotColour = RGB(0x00, 0x80, 0x80);
constexpr COLORREF kHotGlow = RGB(0x22, 0xCA, 0xDD);
constexpr int kBoxSize = 13, kCircleSize = 12;

REAL F(int value) {
    return static_cast<REAL>(value);
}

// The looks this installer takes: check boxes (manual or automatic) and automatic radio buttons.
int GlyphKindOf(LONG_PTR style) {
    switch (style & BS_TYPEMASK) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX: return kCheckBox;
        case BS_AUTORADIOBUTTON: return kRadioButton;
    }
    return -1;
}

bool IsChecked(HWND button) {
    return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// The theme-coloured light of a glyph under the mouse: a gradient inside it, a faint glow and a sharp edge.
void PaintHotGlyph(GfxGraphics& graphics, const GfxPath& edge, const GfxPath& inside, REAL y, REAL height,
                   COLORREF theme) {
    graphics.FillPath(VerticalGradient(y, height, MakeArgb(theme, 100), MakeArgb(kBlack, 0)), inside);
    GlowOutline(graphics, edge, 2, kHotGlow, 30);
    GfxPen pen;
    pen.CreatePen1(MakeArgb(theme, 255), 1);
    graphics.DrawPath(pen, edge);
}

void PaintCheckGlyph(SkinEngine& skin, GfxGraphics& graphics, HWND button, int height, UINT state) {
    const int y0 = (height - kBoxSize) / 2;
    if (const GfxBitmap* box = skin.Glyph(SkinImage::CheckBox))
        DrawGlyph(graphics, *box, 0, y0);
    if (const GfxBitmap* mark = skin.Glyph(SkinImage::CheckMark); mark && IsChecked(button))
        DrawGlyph(graphics, *mark, 0, y0);
    if (!(state & kButtonHot)) return;
    GfxPath edge, inside;
    edge.CreatePath();
    edge.AddPathRectangle(0, F(y0), kBoxSize, kBoxSize);
    inside.CreatePath();
    inside.AddPathRectangle(1, F(y0 + 1), kBoxSize - 2, kBoxSize - 2);
    PaintHotGlyph(graphics, edge, inside, F(y0 + 1), kBoxSize - 2, skin.settings().theme_colour);
}

GfxPath Ellipse(REAL x, REAL y, REAL size) {
    GfxPath path;
    path.CreatePath();
    path.AddPathEllipse(x, y, size, size);
    return path;
}

void PaintRadioGlyph(const SkinSettings& settings, GfxGraphics& graphics, HWND button, int height, UINT state) {
    const REAL y0 = F((height - kCircleSize) / 2);
    GfxPen dark;
    dark.CreatePen1(MakeArgb(kBlack, 200), 1);
    graphics.DrawPath(dark, Ellipse(2, y0, kCircleSize));
    GfxSolidBrush white;
    white.CreateSolidFill(MakeArgb(kWhite, 255));
    GfxPath face = Ellipse(3, y0 + 1, 10);
    graphics.FillPath(white, face);
    graphics.FillPath(VerticalGradient(y0 + 1, 10, MakeArgb(kBlack, 100), MakeArgb(kBlack, 0)), face);
    if (state & kButtonHot) {
        GfxPath lit = Ellipse(3, y0 + 1, 11);
        PaintHotGlyph(graphics, lit, lit, y0 + 1, 11, settings.theme_colour);
    }
    if (!IsChecked(button)) return;
    GfxPath dot = Ellipse(5, y0 + 3, 6);
    graphics.FillPath(VerticalGradient(y0 + 3, 6, MakeArgb(kWhite, 100), MakeArgb(kDotColour, 255)), dot);
    graphics.DrawPath(dark, dot);
}

// Where the focus glow goes: around the text, or around the glyph of a control without one.
GfxPath FocusOutline(GfxGraphics& graphics, const ControlRecord& record, const GfxStringFormat& format,
                     const Gdiplus::RectF& layout) {
    if (record.text.empty()) {
        const REAL top = std::floor((layout.Height - kBoxSize) / 2);
        return RoundedRectanglePath(0, top - 1, kBoxSize + 1, kBoxSize + 1, 3);
    }
    Gdiplus::RectF text;
    graphics.MeasureString(record.text, MakeFont(record.font_face, record.font_size, record.font_style), layout, text,
                           &format);
    // Centred as the text is drawn: the measure does not place it.
    const REAL top = std::max<REAL>(1, std::floor((layout.Height - text.Height) / 2) - 1);
    return RoundedRectanglePath(layout.X - 2, top, std::min(text.Width, layout.Width) + 3,
                                std::min(text.Height + 2, layout.Height - 2 * top), 3);
}

}  // namespace

void InstallCheckBoxes(SkinEngine& skin, size_t window_index, HWND parent) {
    for (HWND child = FindWindowExA(parent, nullptr, "Button", nullptr); child;
         child = FindWindowExA(parent, child, "Button", nullptr)) {
        const int kind = GlyphKindOf(GetWindowLongPtrA(child, GWL_STYLE));
        if (kind < 0 || skin.ChildRecord(child, ChildClass::Button)) continue;
        ControlRecord* record = skin.SubclassChild(window_index, ChildClass::Button, child, SkinnedButtonProcedure);
        if (!record) return;
        record->kind = kind;
        record->text = WindowText(child);
        record->focused = GetFocus() == child;
        ReadControlFont(child, *record);
        InvalidateRect(child, nullptr, TRUE);
    }
}

void PaintGlyphButton(SkinEngine& skin, const ControlRecord& record, HDC target, UINT state) {
    const RECT area = ClientArea(record.window);
    Snapshot snapshot(record.window, area);
    if (!snapshot) return;
    const int w = snapshot.width(), h = snapshot.height();
    {
        SurfaceGraphics graphics(snapshot.surface());
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        // Disabled, the control shows a grey face with its text and no glyph.
        if (state & kButtonDisabled) PaintDisabledFace(graphics, w, h);
        else if (record.kind == kCheckBox) PaintCheckGlyph(skin, graphics, record.window, h, state);
        else PaintRadioGlyph(skin.settings(), graphics, record.window, h, state);
        GfxStringFormat format;
        format.CreateStringFormat(Gdiplus::StringFormatFlagsNoWrap);
        format.SetStringFormatLineAlign(Gdiplus::StringAlignmentCenter);
        const REAL left = record.kind == kCheckBox ? 17 : 18;
        const Gdiplus::RectF layout{left, 0, F(w) - left - 2, F(h)};
        DrawControlText(graphics, record, record.text, format, layout);
        if ((state & kButtonFocused) && !(state & kButtonDisabled))
            FocusGlow(graphics, FocusOutline(graphics, record, format, layout));
    }
    BitBlt(target, 0, 0, w, h, snapshot.dc(), 0, 0, SRCCOPY);
}
