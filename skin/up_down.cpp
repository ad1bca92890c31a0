// Skinned up-down controls: the installer, the procedure and the painter.
#include "skin/up_down.h"

#include <commctrl.h>

#include <utility>

#include "skin/painted_child.h"

namespace {

using Gdiplus::REAL;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
// The halves as the record's hot item names the one under the mouse: the first is the top (or left) one.
constexpr int kFirstHalf = 1, kSecondHalf = 2;

REAL F(LONG value) {
    return static_cast<REAL>(value);
}

bool IsHorizontal(HWND updown) {
    return GetWindowLongPtrA(updown, GWL_STYLE) & UDS_HORZ;
}

// The half a mouse message's point lies in: the first up to and including the middle row (or column), the
// second after it.
int HalfAt(HWND updown, LPARAM point) {
    const RECT window = WindowArea(updown), client = ClientArea(updown);
    if (IsHorizontal(updown)) {
        const LONG x = static_cast<short>(LOWORD(point)) + client.left - window.left;
        return x > (window.right - window.left) / 2 ? kSecondHalf : kFirstHalf;
    }
    const LONG y = static_cast<short>(HIWORD(point)) + client.top - window.top;
    return y > (window.bottom - window.top) / 2 ? kSecondHalf : kFirstHalf;
}

class UpDownMessages : public PaintedChildMessages<UpDownMessages> {
  public:
    UpDownMessages(SkinEngine& skin, WindowRecord& owner, ControlRecord& record)
        : PaintedChildMessages(skin, owner, record) {}

    // The messages this class handles beyond those of every painted child.
    LRESULT HandleOwn(UINT message, WPARAM wparam, LPARAM lparam) {
        switch (message) {
            case WM_MOUSEMOVE: return OnMouseMove(wparam, lparam);
            case WM_LBUTTONDOWN: return OnButtonDown(wparam, lparam);
            case WM_LBUTTONUP: return OnButtonUp(wparam, lparam);
            case WM_CAPTURECHANGED: return OnCaptureChanged(wparam, lparam);
        }
        return Forward(message, wparam, lparam);
    }

  private:
    friend class PaintedChildMessages<UpDownMessages>;

    // The body and its two halves over what lies under the control, composed off screen and copied to the
    // whole window at once.
    void PaintNow() const {
        const RECT window = WindowArea(control_);
        Snapshot snapshot(control_, window);
        if (!snapshot) return;
        const int w = snapshot.width(), h = snapshot.height();
        const bool horizontal = IsHorizontal(control_);
        const SIZE half = horizontal ? SIZE{w / 2, h} : SIZE{w, h / 2};
        {
            SurfaceGraphics graphics(snapshot.surface());
            graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
            GfxSolidBrush body;
            body.CreateSolidFill(MakeArgb(kWhite, 160));
            graphics.FillPath(body, RoundedRectanglePath(0, 0, F(w - 1), F(h - 1), 3));
            if (half.cx > 1 && half.cy > 1) {
                PaintHalf(graphics, kFirstHalf, {0, 0}, half, horizontal);
                PaintHalf(graphics, kSecondHalf, horizontal ? POINT{half.cx, 0} : POINT{0, half.cy}, half,
                          horizontal);
            }
        }
        WindowDc dc(control_, true);
        BitBlt(dc.get(), 0, 0, w, h, snapshot.dc(), 0, 0, SRCCOPY);
    }

    // One half at `at`: lit in the theme colour while the mouse is over it, inverted while it is pressed,
    // with its arrow in the middle.
    void PaintHalf(GfxGraphics& graphics, int which, POINT at, SIZE size, bool horizontal) const {
        const COLORREF theme = skin_.settings().theme_colour;
        const bool lit = Hovered() && record_.hot_item == which;
        // The first half of a vertical control is a little lighter than the second.
        const int plain_white = which == kFirstHalf && !horizontal ? 60 : 20;
        Gdiplus::ARGB from = MakeArgb(kWhite, plain_white), to = MakeArgb(theme, 100);
        if (lit && record_.mouse_down)
            from = MakeArgb(theme, 100), to = MakeArgb(kWhite, 150);
        else if (lit)
            from = MakeArgb(kWhite, 100), to = MakeArgb(theme, 150);

        const REAL x = F(at.x), y = F(at.y), width = F(size.cx - 1), height = F(size.cy - 1);
        GfxPath face = RoundedRectanglePath(x, y, width, height, 3);
        graphics.FillPath(
            horizontal ? HorizontalGradient(x, width, from, to) : VerticalGradient(y, height, from, to),
            face);
        const SkinImage arrow = horizontal
                                    ? (which == kFirstHalf ? SkinImage::ArrowLeft : SkinImage::ArrowRight)
                                    : (which == kFirstHalf ? SkinImage::ArrowUp : SkinImage::ArrowDown);
        if (const GfxBitmap* glyph = skin_.Glyph(arrow)) {
            const int gw = static_cast<int>(glyph->GetImageWidth()),
                      gh = static_cast<int>(glyph->GetImageHeight());
            DrawGlyph(graphics, *glyph, at.x + (size.cx - gw) / 2, at.y + (size.cy - gh) / 2);
        }
        GfxPen pen;
        pen.CreatePen1(lit ? MakeArgb(theme, 200) : MakeArgb(kBlack, 100), 1);
        graphics.DrawPath(pen, face);
    }

    LRESULT OnMouseMove(WPARAM wparam, LPARAM lparam) {
        const bool paint_pending = GetUpdateRect(control_, nullptr, FALSE);
        const LRESULT result = Forward(WM_MOUSEMOVE, wparam, lparam);
        const bool hover_changed = FollowMouse(lparam);
        const int half = HalfAt(control_, lparam);
        const bool half_changed = std::exchange(record_.hot_item, half) != half;
        if (hover_changed || half_changed) Repaint();
        // The system asks to repaint on moves that change only its own idea of the arrow under the mouse,
        // which the skin does not show: a move within a half repaints nothing.
        else if (!paint_pending)
            ValidateRect(control_, nullptr);
        return result;
    }

    LRESULT OnButtonDown(WPARAM wparam, LPARAM lparam) {
        record_.hot_item = HalfAt(control_, lparam);
        const LRESULT result = Forward(WM_LBUTTONDOWN, wparam, lparam);
        // Pressed only while the control holds the mouse: a press it did not take (between its arrows, or
        // while disabled) would get no release to end it.
        record_.mouse_down = GetCapture() == control_;
        Repaint();
        return result;
    }

    LRESULT OnButtonUp(WPARAM wparam, LPARAM lparam) {
        record_.mouse_down = false;
        Repaint();
        return Forward(WM_LBUTTONUP, wparam, lparam);
    }

    LRESULT OnCaptureChanged(WPARAM wparam, LPARAM lparam) {
        // The mouse taken away before the release (a window popping up, WM_CANCELMODE) ends the press too.
        if (std::exchange(record_.mouse_down, false)) Repaint();
        return Forward(WM_CAPTURECHANGED, wparam, lparam);
    }
};

}  // namespace

void InstallUpDowns(SkinEngine& skin, size_t window_index, HWND parent) {
    skin.SubclassChildren(window_index, parent, UPDOWN_CLASSA, ChildClass::UpDown,
                          SkinnedChildProcedure<UpDownMessages, ChildClass::UpDown>);
}
