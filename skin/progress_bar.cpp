// Skinned progress bars: the installer, the procedure and the painter of the trough and the bar.
#include "skin/progress_bar.h"

#include <commctrl.h>

#include <algorithm>

#include "skin/label.h"
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

class ProgressMessages : public PaintedChildMessages<ProgressMessages> {
  public:
    ProgressMessages(SkinEngine& skin, WindowRecord& owner, ControlRecord& record)
        : PaintedChildMessages(skin, owner, record) {}

    // Position and range are the system's; every change of them invalidates the bar, and the paint asks them.
    LRESULT HandleOwn(UINT message, WPARAM wparam, LPARAM lparam) {
        if (message == WM_PRINT) return OnPrint(wparam, lparam);
        return Forward(message, wparam, lparam);
    }

    // The whole bar, its frame included, with the text of the labels over it, composed off screen and copied
    // to the window once.
    void PaintNow() const {
        const RECT area = WindowArea(control_);
        Snapshot snapshot(control_, area);
        if (!snapshot) return;
        Compose(snapshot);
        DrawLabelsAbove(control_, snapshot.dc(), area);
        WindowDc dc(control_, true);
        BitBlt(dc.get(), 0, 0, snapshot.width(), snapshot.height(), snapshot.dc(), 0, 0, SRCCOPY);
    }

  private:
    // A label lying over the bar asks for its picture, to draw its own text over.
    LRESULT OnPrint(WPARAM wparam, LPARAM lparam) {
        if (!(lparam & (PRF_CLIENT | PRF_NONCLIENT))) return 0;
        Snapshot snapshot(control_, WindowArea(control_));
        if (!snapshot) return Forward(WM_PRINT, wparam, lparam);
        Compose(snapshot);
        BitBlt(reinterpret_cast<HDC>(wparam), 0, 0, snapshot.width(), snapshot.height(), snapshot.dc(), 0, 0, SRCCOPY);
        return 0;
    }

    // The trough and the bar over the background the snapshot holds.
    void Compose(const Snapshot& snapshot) const {
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
