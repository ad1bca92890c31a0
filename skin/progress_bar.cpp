// Skinned progress bars: the installer, the procedure and the painter of the trough and the bar.
#include "skin/progress_bar.h"

#include <commctrl.h>

#include <algorithm>

#include "skin/painted_child.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

using Gdiplus::REAL;

REAL F(int value) {
    return static_cast<REAL>(value);
}

// A gradient from `first` to `second` across `length` pixels from `start`: downwards, or rightwards for the
// shading of a vertical bar.
GfxLinearBrush Across(bool vertical, REAL start, REAL length, Gdiplus::ARGB first, Gdiplus::ARGB second) {
    return vertical ? HorizontalGradient(start, length, first, second) : VerticalGradient(start, length, first, second);
}

// See-through labels above the bar (the progress label lies over it) draw only their text: where the bar has
// painted over them, they draw it again.
void RepaintLabelsAbove(HWND bar) {
    const RECT area = WindowArea(bar);
    for (HWND above = GetWindow(bar, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
        RECT common;
        const RECT place = WindowArea(above);
        if (!IsWindowVisible(above) || !(GetWindowLongPtrA(above, GWL_EXSTYLE) & WS_EX_TRANSPARENT) ||
            !IntersectRect(&common, &area, &place))
            continue;
        MapWindowPoints(HWND_DESKTOP, above, reinterpret_cast<POINT*>(&common), 2);
        RedrawWindow(above, &common, nullptr, RDW_INVALIDATE);
    }
}

class ProgressMessages : public PaintedChildMessages<ProgressMessages> {
  public:
    ProgressMessages(SkinEngine& skin, WindowRecord& owner, ControlRecord& record)
        : PaintedChildMessages(skin, owner, record) {}

    // Position and range are the system's; every change of them invalidates the bar, and the paint asks them.
    LRESULT HandleOwn(UINT message, WPARAM wparam, LPARAM lparam) { return Forward(message, wparam, lparam); }

    // The whole bar, its frame included, over the background, composed off screen and copied to the window
    // once; then the labels over it draw their text again.
    void PaintNow() const {
        const RECT area = WindowArea(control_);
        Snapshot snapshot(control_, area);
        if (!snapshot) return;
        const int w = snapshot.width(), h = snapshot.height();
        const bool vertical = GetWindowLongPtrA(control_, GWL_STYLE) & PBS_VERTICAL;
        PBRANGE range{};
        Forward(PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
        const int position = static_cast<int>(Forward(PBM_GETPOS, 0, 0));
        const int length = FilledLength(position, range.iLow, range.iHigh, vertical ? h : w);
        {
            SurfaceGraphics graphics(snapshot.surface());
            graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
            GfxPen outline;
            outline.CreatePen1(MakeArgb(kBlack, 50), 1);
            graphics.DrawPath(outline, RoundedRectanglePath(0, 0, F(w - 1), F(h - 1), 5));
            graphics.FillPath(Across(vertical, 0, F(vertical ? w : h), MakeArgb(kWhite, 160), MakeArgb(kBlack, 30)),
                              RoundedRectanglePath(1, 1, F(w - 2), F(h - 2), 1));
            // The bar grows from the left, or from the bottom of a vertical bar.
            const RECT filled = vertical ? RECT{0, h - length, w, h} : RECT{0, 0, length, h};
            const int fill_w = filled.right - filled.left - 3, fill_h = filled.bottom - filled.top - 3;
            if (length > 0 && fill_w > 0 && fill_h > 0) {
                const GfxPath face =
                    RoundedRectanglePath(F(filled.left + 1), F(filled.top + 1), F(fill_w), F(fill_h), 3);
                graphics.FillPath(Across(vertical, F(vertical ? filled.left : filled.top), F(vertical ? fill_w : fill_h),
                                         MakeArgb(kWhite, 90), MakeArgb(skin_.settings().theme_colour, 255)),
                                  face);
                GlowOutline(graphics, face, 1, skin_.settings().theme_colour, 150);
            }
        }
        WindowDc dc(control_, true);
        BitBlt(dc.get(), 0, 0, w, h, snapshot.dc(), 0, 0, SRCCOPY);
        RepaintLabelsAbove(control_);
    }
};

}  // namespace

void InstallProgressBars(SkinEngine& skin, size_t window_index, HWND parent) {
    skin.SubclassChildren(window_index, parent, PROGRESS_CLASSA, ChildClass::Progress,
                          SkinnedChildProcedure<ProgressMessages, ChildClass::Progress>);
}

int FilledLength(int position, int low, int high, int length) {
    if (high <= low || length <= 0) return 0;
    const long long reached = std::clamp<long long>(position, low, high) - low;
    return static_cast<int>(reached * length / (static_cast<long long>(high) - low));
}
