// Skinned combo boxes: the installer, the procedure and the painter.
#include "skin/combo_box.h"

#include <optional>

#include "runtime/control.h"
#include "skin/edit_box.h"
#include "skin/paint_primitives.h"
#include "skin/painted_child.h"
#include "skin/skin_engine.h"
#include "skin/top_level_procedure.h"

namespace {

using Gdiplus::REAL;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kKey = RGB(255, 0, 255);  // pixels the copy to the screen leaves alone
constexpr int kPlainFaceAlpha = 200;         // the face's veil when children are not see-through

REAL F(LONG value) {
    return static_cast<REAL>(value);
}

bool IsDropDownList(HWND combo) {
    return (GetWindowLongPtrA(combo, GWL_STYLE) & 0x3) == CBS_DROPDOWNLIST;
}

// The text of the selected item; empty when nothing is selected.
std::string SelectedText(HWND combo) {
    const LRESULT selected = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    if (selected < 0) return {};
    const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, selected, 0);
    if (length <= 0) return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const LRESULT copied = SendMessageA(combo, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

// Messages after which the system has drawn parts of the combo box its own way: the skin paints it again.
bool SystemPaintsComboOn(UINT message) {
    switch (message) {
        case WM_KEYDOWN:
        case WM_CHAR:
        case WM_MOUSEWHEEL:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_CAPTURECHANGED:
        case WM_ENABLE:
        case WM_SETFONT:
        case CB_SETCURSEL:
        case CB_SELECTSTRING:
        case CB_RESETCONTENT:
        case CB_DELETESTRING:
        case CB_SHOWDROPDOWN: return true;
    }
    return false;
}

class ComboMessages {
  public:
    ComboMessages(SkinEngine& skin, WindowRecord& owner, ControlRecord& record)
        : skin_(skin), owner_(owner), record_(record), combo_(record.window) {}

    LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam) {
        switch (message) {
            case WM_MOUSEMOVE: return OnMouseMove(wparam, lparam);
            case WM_MOUSELEAVE: return OnMouseLeave(wparam, lparam);
            case WM_ERASEBKGND: return OnEraseBackground(wparam);
            case WM_PAINT: return OnPaint();
            case WM_NCPAINT: return OnNcPaint();
            case WM_SETFOCUS: return OnFocus(true, message, wparam, lparam);
            case WM_KILLFOCUS: return OnFocus(false, message, wparam, lparam);
            case WM_SETTEXT: return OnSetText(wparam, lparam);
            case WM_CTLCOLOREDIT:
            case WM_CTLCOLORSTATIC:
                return ChildHost(skin_, owner_, combo_, record_.previous).Handle(message, wparam, lparam);
            case WM_COMMAND: return OnCommand(wparam, lparam);
        }
        return ForwardAndRepaint(message, wparam, lparam);
    }

  private:
    LRESULT Forward(UINT message, WPARAM wparam, LPARAM lparam) const {
        return CallWindowProcA(record_.previous, combo_, message, wparam, lparam);
    }

    LRESULT ForwardAndRepaint(UINT message, WPARAM wparam, LPARAM lparam) {
        const LRESULT result = Forward(message, wparam, lparam);
        if (message == WM_MOVE || SystemPaintsComboOn(message)) PaintNow();
        return result;
    }

    // The face over what lies under the combo box, its frame, its drop-down button and, for a drop-down
    // list, the selected text; the areas of its own child windows are left to them.
    void Paint(HDC target) const {
        const RECT window = WindowArea(combo_);
        const int w = window.right - window.left, h = window.bottom - window.top;
        Snapshot snapshot(combo_, window);
        if (!snapshot) return;
        const SkinSettings& settings = skin_.settings();
        const bool enabled = IsWindowEnabled(combo_);
        const bool hot = enabled && owner_.hot_child == combo_, lit = hot || (enabled && record_.focused);
        {
            SurfaceGraphics graphics(snapshot.surface());
            GfxSolidBrush face;
            face.CreateSolidFill(!enabled               ? MakeArgb(kDisabledFieldColour, 255)
                                 : settings.custom_alpha ? MakeArgb(kWhite, settings.control_alpha)
                                                         : MakeArgb(kWhite, kPlainFaceAlpha));
            graphics.FillRectangle(face, 0, 0, F(w), F(h));
            GfxSolidBrush key;
            key.CreateSolidFill(MakeArgb(kKey, 255));
            for (HWND child = GetWindow(combo_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
                RECT area = WindowArea(child);
                OffsetRect(&area, -window.left, -window.top);
                graphics.FillRectangle(key, F(area.left), F(area.top), F(area.right - area.left),
                                       F(area.bottom - area.top));
            }
            GfxPen pen;
            pen.CreatePen1(lit ? MakeArgb(settings.theme_colour, 200) : MakeArgb(kBlack, 80), 1);
            graphics.DrawRectangle(pen, 0, 0, F(w - 1), F(h - 1));
            COMBOBOXINFO info{sizeof info};
            const bool has_button = GetComboBoxInfo(combo_, &info) && !(info.stateButton & STATE_SYSTEM_INVISIBLE) &&
                                    !IsRectEmpty(&info.rcButton);
            RECT button = info.rcButton;
            const RECT client = ClientArea(combo_);
            OffsetRect(&button, client.left - window.left, client.top - window.top);
            if (has_button) PaintDropDownButton(graphics, pen, button, hot, enabled);
            if (IsDropDownList(combo_)) {
                GfxStringFormat format;
                format.CreateStringFormat(Gdiplus::StringFormatFlagsNoWrap);
                format.SetStringFormatLineAlign(Gdiplus::StringAlignmentCenter);
                format.SetStringFormatTrimming(Gdiplus::StringTrimmingEllipsisCharacter);
                const LONG right = has_button ? button.left : w - 1;
                DrawControlText(graphics, record_, SelectedText(combo_), format, {3, 0, F(right - 3 - 2), F(h)},
                                enabled ? std::nullopt : std::optional(DisabledTextColour()));
            }
        }
        TransparentBlt(target, 0, 0, w, h, snapshot.dc(), 0, 0, w, h, kKey);
    }

    // Theme-tinted, lighter under the mouse; a disabled one greyed, its arrow faded.
    void PaintDropDownButton(GfxGraphics& graphics, const GfxPen& pen, const RECT& button, bool hot,
                             bool enabled) const {
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        const REAL x = F(button.left), y = F(button.top), bw = F(button.right - button.left) - 1,
                   bh = F(button.bottom - button.top) - 1;
        GfxPath outline, inside;
        outline.CreatePath();
        AddRoundedRectangle(outline, x, y, bw, bh, 4);
        graphics.DrawPath(pen, outline);
        inside.CreatePath();
        AddRoundedRectangle(inside, x + 1, y + 1, bw - 2, bh - 2, 1);
        const COLORREF theme = skin_.settings().theme_colour;
        graphics.FillPath(!enabled ? VerticalGradient(y + 1, bh - 2, MakeArgb(kWhite, 60), MakeArgb(kBlack, 30))
                          : hot    ? VerticalGradient(y + 1, bh - 2, MakeArgb(kWhite, 100), MakeArgb(theme, 150))
                                   : VerticalGradient(y + 1, bh - 2, MakeArgb(theme, 30), MakeArgb(theme, 100)),
                          inside);
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeNone);
        if (const GfxBitmap* arrow = skin_.Glyph(SkinImage::ComboArrow)) {
            const int aw = static_cast<int>(arrow->GetImageWidth()), ah = static_cast<int>(arrow->GetImageHeight());
            DrawGlyph(graphics, *arrow, button.left + (button.right - button.left - aw) / 2,
                      button.top + (button.bottom - button.top - ah) / 2);
        }
        if (enabled) return;
        GfxSolidBrush fade;
        fade.CreateSolidFill(MakeArgb(kDisabledFieldColour, 150));
        graphics.FillPath(fade, inside);
    }

    void PaintNow() const {
        if (!IsWindowVisible(combo_)) return;
        WindowDc dc(combo_, true);
        Paint(dc.get());
    }

    LRESULT OnMouseMove(WPARAM wparam, LPARAM lparam) {
        if (owner_.EnterHover(combo_)) PaintNow();
        return Forward(WM_MOUSEMOVE, wparam, lparam);
    }

    LRESULT OnMouseLeave(WPARAM wparam, LPARAM lparam) {
        owner_.LeaveHover(combo_);
        PaintNow();
        return Forward(WM_MOUSELEAVE, wparam, lparam);
    }

    LRESULT OnEraseBackground(WPARAM wparam) {
        // The painter covers every pixel: nothing to erase.
        SetBkMode(reinterpret_cast<HDC>(wparam), TRANSPARENT);
        return 1;
    }

    LRESULT OnPaint() {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(combo_, &paint);
        Paint(dc);
        EndPaint(combo_, &paint);
        return 0;
    }

    LRESULT OnNcPaint() {
        // The painter covers the whole window, a frame of the combo box's own included: nothing is left for the
        // system. Without such a frame, WM_PAINT paints everything.
        const RECT window = WindowArea(combo_), client = ClientArea(combo_);
        if (!EqualRect(&window, &client)) PaintNow();
        return 0;
    }

    LRESULT OnFocus(bool focused, UINT message, WPARAM wparam, LPARAM lparam) {
        record_.focused = focused;
        const LRESULT result = Forward(message, wparam, lparam);
        PaintNow();
        return result;
    }

    LRESULT OnSetText(WPARAM wparam, LPARAM lparam) {
        if (IsDropDownList(combo_)) InvalidateRect(combo_, nullptr, TRUE);
        return Forward(WM_SETTEXT, wparam, lparam);
    }

    // From the edit field (its changes repaint it over the see-through background) or from the list (its
    // selection changed, which the system draws its own way).
    LRESULT OnCommand(WPARAM wparam, LPARAM lparam) {
        const LRESULT result = ChildHost(skin_, owner_, combo_, record_.previous).Handle(WM_COMMAND, wparam, lparam);
        PaintNow();
        return result;
    }

    SkinEngine& skin_;
    WindowRecord& owner_;
    ControlRecord& record_;
    HWND combo_;
};

}  // namespace

void InstallComboBoxes(SkinEngine& skin, size_t window_index, HWND parent) {
    for (HWND child = FindWindowExA(parent, nullptr, "ComboBox", nullptr); child;
         child = FindWindowExA(parent, child, "ComboBox", nullptr)) {
        if (skin.ChildRecord(child, ChildClass::Combo)) continue;
        ControlRecord* record = skin.SubclassChild(window_index, ChildClass::Combo, child,
                                                   SkinnedChildProcedure<ComboMessages, ChildClass::Combo>);
        if (!record) return;
        record->focused = GetFocus() == child;
        ReadControlFont(child, *record);
        HWND edit = FindWindowExA(child, nullptr, "Edit", nullptr);
        if (edit && skin.settings().custom_alpha) SkinEditBox(skin, window_index, edit);
        InvalidateRect(child, nullptr, TRUE);
    }
}
