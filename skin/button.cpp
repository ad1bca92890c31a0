// Skinned BUTTON children: installing push buttons, the shared button procedure, and the push-button face.
#include "skin/button.h"

#include <algorithm>
#include <memory>

#include "runtime/control.h"
#include "skin/check_box.h"
#include "skin/paint_primitives.h"
#include "skin/painted_child.h"
#include "skin/skin_engine.h"

namespace {

using Gdiplus::REAL;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kGrey = RGB(128, 128, 128);

REAL F(int value) {
    return static_cast<REAL>(value);
}

bool IsPushButton(LONG_PTR style) {
    const LONG_PTR type = style & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

void Outline(GfxGraphics& graphics, const GfxPath& path, Gdiplus::ARGB colour) {
    GfxPen pen;
    pen.CreatePen1(colour, 1);
    graphics.DrawPath(pen, path);
}

// The push button's face in `state`: a translucent rounded face with a gloss, theme-coloured under the mouse,
// a glow with the focus, a pressed inset, or the grey face when disabled.
void PaintFace(GfxGraphics& graphics, const SkinSettings& settings, int w, int h, UINT state) {
    const COLORREF theme = settings.theme_colour;
    GfxPath face = RoundedRectanglePath(0, 0, F(w - 1), F(h - 1), 5);
    GfxSolidBrush veil;
    veil.CreateSolidFill(MakeArgb(kWhite, 120));
    graphics.FillPath(veil, face);
    if (state & kButtonDisabled) {
        PaintDisabledFace(graphics, w, h);
        return;
    }
    graphics.FillPath(VerticalGradient(0, F(h), MakeArgb(kWhite, 0), MakeArgb(kGrey, 60)), face);
    GfxPath upper;
    upper.CreatePath();
    AddRoundedTopRectangle(upper, 0, 0, w - 1, h / 2, 5);
    graphics.FillPath(VerticalGradient(0, F(h / 2), MakeArgb(kWhite, 50), MakeArgb(kWhite, 10)), upper);
    if (state & kButtonHot) {
        graphics.FillPath(VerticalGradient(0, F(h), MakeArgb(theme, 60), MakeArgb(theme, 10)), face);
        Outline(graphics, face, MakeArgb(theme, 255));
    }
    if (state & kButtonFocused) {
        Outline(graphics, face, MakeArgb(kBlack, 70));
        FocusGlow(graphics, face);
    } else {
        Outline(graphics, face, MakeArgb(kBlack, 120));
    }
    if (state & kButtonPressed) {
        GfxPath inner = RoundedRectanglePath(2, 2, F(w - 5), F(h - 5), 5);
        graphics.FillPath(VerticalGradient(2, F(h - 5), MakeArgb(theme, 60), MakeArgb(kWhite, 100)), inner);
    }
}

void DrawLabel(GfxGraphics& graphics, const ControlRecord& record, Gdiplus::StringAlignment align,
              const Gdiplus::RectF& layout) {
    GfxStringFormat format;
    format.CreateStringFormat(Gdiplus::StringFormatFlagsNoWrap);
    format.SetStringFormatAlign(align);
    format.SetStringFormatLineAlign(Gdiplus::StringAlignmentCenter);
    DrawControlText(graphics, record, record.text, format, layout);
}

const GfxBitmap* Image(const ControlRecord& record, size_t n) {
    return n < record.images.size() ? record.images[n].get() : nullptr;
}

// An image button: its image as a square beside the text, or centred without one; the text alone centred
// without an image.
void PaintImageButton(GfxGraphics& graphics, const SkinSettings& settings, const ControlRecord& record, int w, int h,
                      UINT state) {
    PaintFace(graphics, settings, w, h, state);
    const GfxBitmap* image = Image(record, 0);
    if (!image) return DrawLabel(graphics, record, Gdiplus::StringAlignmentCenter, {2, 0, F(w), F(h)});
    // Beside the text the image is a square of 0.8 of the height; otherwise it fills the height but a margin.
    const int side = record.image_beside_text ? h * 8 / 10 : h - 2 * std::max(1, h / 20);
    if (record.text.empty()) {
        graphics.DrawImageRectRect(*image, F((w - side) / 2), F((h - side) / 2), F(side), F(side));
        return;
    }
    graphics.DrawImageRectRect(*image, 3, F((h - side) / 2), F(side), F(side));
    DrawLabel(graphics, record, record.image_beside_text ? Gdiplus::StringAlignmentNear : Gdiplus::StringAlignmentCenter,
             {F(side + 5), 2, F(w - side - 7), F(h)});
}

// A button with an image for each state; a state without its own image shows the normal one in a drawn frame.
void PaintStateImageButton(GfxGraphics& graphics, const SkinSettings& settings, const ControlRecord& record, int w,
                           int h, UINT state) {
    const COLORREF theme = settings.theme_colour;
    const GfxBitmap* normal = Image(record, 0);
    const GfxBitmap* own = nullptr;
    if (state & kButtonDisabled) {
        if (!(own = Image(record, 3))) {
            GfxSolidBrush shade;
            shade.CreateSolidFill(MakeArgb(kBlack, 80));
            graphics.FillPath(shade, RoundedRectanglePath(0, 0, F(w - 1), F(h - 1), 5));
        }
    } else if (state & (kButtonPressed | kButtonHot)) {
        const bool pressed = state & kButtonPressed;
        if (!(own = Image(record, pressed ? 2 : 1))) {
            GfxPath frame = RoundedRectanglePath(0, 0, F(w - 1), F(h - 1), 3);
            graphics.FillPath(pressed ? VerticalGradient(0, F(h), MakeArgb(kBlack, 60), MakeArgb(kWhite, 100))
                                      : VerticalGradient(0, F(h), MakeArgb(kWhite, 120), MakeArgb(theme, 100)),
                              frame);
            Outline(graphics, frame, MakeArgb(theme, 250));
        }
    }
    if (const GfxBitmap* face = own ? own : normal) DrawGlyph(graphics, *face, 2, 2);
    DrawLabel(graphics, record, Gdiplus::StringAlignmentCenter, {2, 0, F(w), F(h)});
}

// A skinned push button of any look over what lies under it, composed off screen and copied to `target` once.
void PaintPushButton(const SkinSettings& settings, const ControlRecord& record, HDC target, UINT state,
                     const RECT& rect) {
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    POINT origin{rect.left, rect.top};
    ClientToScreen(record.window, &origin);
    Snapshot snapshot(record.window, {origin.x, origin.y, origin.x + w, origin.y + h});
    if (!snapshot) return;
    {
        SurfaceGraphics graphics(snapshot.surface());
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        switch (record.kind) {
            case kImageButton: PaintImageButton(graphics, settings, record, w, h, state); break;
            case kStateImageButton: PaintStateImageButton(graphics, settings, record, w, h, state); break;
            default:
                PaintFace(graphics, settings, w, h, state);
                DrawLabel(graphics, record, Gdiplus::StringAlignmentCenter, {2, 0, F(w), F(h)});
        }
    }
    BitBlt(target, rect.left, rect.top, w, h, snapshot.dc(), 0, 0, SRCCOPY);
}

// Messages that make the system draw a check box or radio button itself, at once: the skin paints over it
// again after them.
bool SystemPaintsGlyphButtonOn(UINT message) {
    switch (message) {
        case WM_ENABLE:
        case WM_SETTEXT:
        case WM_SETFONT:
        case WM_UPDATEUISTATE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_CAPTURECHANGED:
        case BM_SETCHECK:
        case BM_SETSTATE:
        case BM_SETSTYLE:
        case BM_CLICK: return true;
    }
    return false;
}

class ButtonMessages {
  public:
    ButtonMessages(SkinEngine& skin, WindowRecord& owner, ControlRecord& record)
        : skin_(skin), owner_(owner), record_(record), button_(record.window) {}

    LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam) {
        switch (message) {
            case WM_MOUSEMOVE: return OnMouseMove(wparam, lparam);
            case WM_MOUSELEAVE: return OnMouseLeave(wparam, lparam);
            case WM_MOVE: return OnMove(wparam, lparam);
            case WM_LBUTTONDBLCLK: return 0;  // the first click of the two counted already: never a second one
            case WM_ERASEBKGND: return OnEraseBackground(wparam);
            case WM_NCPAINT: return 0;  // a button has no frame of its own to paint
            case WM_PAINT: return OnPaint(wparam, lparam);
            case WM_SETFOCUS: return OnFocus(true, message, wparam, lparam);
            case WM_KILLFOCUS: return OnFocus(false, message, wparam, lparam);
            case WM_SETTEXT: return OnSetText(wparam, lparam);
        }
        return ForwardAndRepaint(message, wparam, lparam);
    }

  private:
    bool PaintsItsGlyph() const { return record_.kind == kCheckBox || record_.kind == kRadioButton; }

    LRESULT Forward(UINT message, WPARAM wparam, LPARAM lparam) const {
        return CallWindowProcA(record_.previous, button_, message, wparam, lparam);
    }

    // Forwards, then paints a glyph button again where the system has just drawn it its own way.
    LRESULT ForwardAndRepaint(UINT message, WPARAM wparam, LPARAM lparam) {
        const LRESULT result = Forward(message, wparam, lparam);
        if (PaintsItsGlyph() && SystemPaintsGlyphButtonOn(message)) PaintNow();
        return result;
    }

    // Paints the button on the screen with its state as it is now.
    void PaintNow() {
        if (!IsWindowVisible(button_)) return;
        WindowDc dc(button_);
        RECT client;
        GetClientRect(button_, &client);
        const UINT state = ButtonState(owner_, button_);
        if (PaintsItsGlyph()) PaintGlyphButton(skin_, record_, dc.get(), state);
        else PaintPushButton(skin_.settings(), record_, dc.get(), state, client);
    }

    LRESULT OnMouseMove(WPARAM wparam, LPARAM lparam) {
        if (owner_.EnterHover(button_)) PaintNow();
        return Forward(WM_MOUSEMOVE, wparam, lparam);
    }

    LRESULT OnMouseLeave(WPARAM wparam, LPARAM lparam) {
        owner_.LeaveHover(button_);
        PaintNow();
        return Forward(WM_MOUSELEAVE, wparam, lparam);
    }

    LRESULT OnMove(WPARAM wparam, LPARAM lparam) {
        // Moved, the button lies over another part of the background.
        InvalidateRect(button_, nullptr, TRUE);
        return Forward(WM_MOVE, wparam, lparam);
    }

    LRESULT OnEraseBackground(WPARAM wparam) {
        // The painters cover every pixel: nothing to erase.
        SetBkMode(reinterpret_cast<HDC>(wparam), TRANSPARENT);
        return 1;
    }

    LRESULT OnPaint(WPARAM wparam, LPARAM lparam) {
        // A push button is owner-drawn: its parent's WM_DRAWITEM paints it.
        if (!PaintsItsGlyph()) return Forward(WM_PAINT, wparam, lparam);
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(button_, &paint);
        PaintGlyphButton(skin_, record_, dc, ButtonState(owner_, button_));
        EndPaint(button_, &paint);
        return 0;
    }

    LRESULT OnFocus(bool focused, UINT message, WPARAM wparam, LPARAM lparam) {
        record_.focused = focused;
        const LRESULT result = Forward(message, wparam, lparam);
        if (PaintsItsGlyph()) PaintNow();
        return result;
    }

    LRESULT OnSetText(WPARAM wparam, LPARAM lparam) {
        record_.text = lparam ? reinterpret_cast<const char*>(lparam) : "";
        return ForwardAndRepaint(WM_SETTEXT, wparam, lparam);
    }

    SkinEngine& skin_;
    WindowRecord& owner_;
    ControlRecord& record_;
    HWND button_;
};

}  // namespace

void InstallPushButtons(SkinEngine& skin, size_t window_index, HWND parent) {
    for (HWND child = FindWindowExA(parent, nullptr, "Button", nullptr); child;
         child = FindWindowExA(parent, child, "Button", nullptr)) {
        const LONG_PTR style = GetWindowLongPtrA(child, GWL_STYLE);
        if (!IsPushButton(style) || skin.ChildRecord(child, ChildClass::Button)) continue;
        ControlRecord* record = skin.SubclassChild(window_index, ChildClass::Button, child, SkinnedButtonProcedure);
        if (!record) return;
        record->kind = kPushButton;
        record->text = WindowText(child);
        record->focused = GetFocus() == child;
        ReadControlFont(child, *record);
        SetWindowLongPtrA(child, GWL_STYLE, (style & ~BS_TYPEMASK) | BS_OWNERDRAW);
        InvalidateRect(child, nullptr, TRUE);
    }
}

LRESULT CALLBACK SkinnedButtonProcedure(HWND button, UINT message, WPARAM wparam, LPARAM lparam) {
    return SkinnedChildProcedure<ButtonMessages, ChildClass::Button>(button, message, wparam, lparam);
}

UINT ButtonState(const WindowRecord& owner, HWND button) {
    UINT state = 0;
    if (SendMessageA(button, BM_GETSTATE, 0, 0) & BST_PUSHED) state |= kButtonPressed;
    if (!IsWindowEnabled(button)) state |= kButtonDisabled;
    if (GetFocus() == button) state |= kButtonFocused;
    if (owner.hot_child == button) state |= kButtonHot;
    return state;
}

bool MakeImageButton(SkinEngine& skin, HWND button, int kind, const std::vector<std::string_view>& images,
                     bool image_beside_text, std::string text) {
    const size_t window_index = skin.table().Find(GetAncestor(button, GA_ROOT));
    if (!window_index || ClassName(button) != "Button") return false;
    ControlRecord* record = skin.SubclassChild(window_index, ChildClass::Button, button, SkinnedButtonProcedure);
    if (!record) return false;
    record->kind = kind;
    record->images.clear();
    for (std::string_view bytes : images) {
        auto image = std::make_shared<GfxBitmap>();
        record->images.push_back(image->LoadFromMemory(bytes) ? std::move(image) : nullptr);
    }
    record->image_beside_text = image_beside_text;
    record->text = std::move(text);
    record->focused = GetFocus() == button;
    if (record->font_face.empty()) ReadControlFont(button, *record);
    SetWindowLongPtrA(button, GWL_STYLE, (GetWindowLongPtrA(button, GWL_STYLE) & ~BS_TYPEMASK) | BS_OWNERDRAW);
    InvalidateRect(button, nullptr, TRUE);
    return true;
}

bool DrawSkinnedButton(SkinEngine& skin, const DRAWITEMSTRUCT& item) {
    if (item.CtlType != ODT_BUTTON) return false;
    const auto [record, owner] = skin.FindChild(item.hwndItem, ChildClass::Button);
    if (!record || record->kind == kRadioButton || record->kind == kCheckBox) return false;
    // The request carries the pressed, focused and disabled bits; the mouse over it is the skin's to know.
    const UINT hot = owner->hot_child == item.hwndItem ? kButtonHot : 0;
    PaintPushButton(skin.settings(), *record, item.hDC, item.itemState | hot, item.rcItem);
    return true;
}
