// Skinned track bars: the installer, the procedure and the painter.
#include "skin/track_bar.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "skin/painted_child.h"

namespace {

using Gdiplus::REAL;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

REAL F(LONG value) {
    return static_cast<REAL>(value);
}

Gdiplus::RectF RectOf(const RECT& r) {
    return {F(r.left), F(r.top), F(r.right - r.left), F(r.bottom - r.top)};
}

// A gradient across the bar: top to bottom on a horizontal one, left to right on a vertical one.
GfxLinearBrush Across(bool vertical, const Gdiplus::RectF& area, Gdiplus::ARGB from, Gdiplus::ARGB to) {
    return vertical ? HorizontalGradient(area.X, area.Width, from, to)
                    : VerticalGradient(area.Y, area.Height, from, to);
}

// How far the thumb is drawn away from the ticks, across the bar: the system's thumb rectangle takes in the
// point a thumb has towards its ticks, which the skin's rounded thumb has not.
int ThumbShift(LONG_PTR style) {
    if (style & TBS_NOTICKS) return 0;
    if (style & TBS_TOP) return 2;  // ticks on the top, or on the left of a vertical bar
    if (style & TBS_BOTH) return 1;
    return 0;
}

// The bar's channel and thumb as the painter places them.
struct TrackLayout {
    RECT channel;
    RECT thumb;
};

class TrackBarMessages : public PaintedChildMessages<TrackBarMessages> {
  public:
    TrackBarMessages(SkinEngine& skin, WindowRecord& owner, ControlRecord& record)
        : PaintedChildMessages(skin, owner, record) {}

    // The messages this class handles beyond those of every painted child.
    LRESULT HandleOwn(UINT message, WPARAM wparam, LPARAM lparam) {
        switch (message) {
            case WM_MOUSEMOVE: return OnMouseMove(wparam, lparam);
        }
        return Forward(message, wparam, lparam);
    }

  private:
    friend class PaintedChildMessages<TrackBarMessages>;

    // Where the painter puts the bar's parts, in the bar's window coordinates. The control is asked for its
    // channel and thumb itself, without another round through the procedures over it.
    TrackLayout LayOut(LONG_PTR style, int width, int height) const {
        const bool vertical = style & TBS_VERT;
        TrackLayout parts{};
        Forward(TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&parts.channel));
        Forward(TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&parts.thumb));
        RECT& channel = parts.channel;
        RECT& thumb = parts.thumb;
        // Some versions of the common controls report a vertical bar's channel as if the bar were horizontal.
        if (vertical && channel.right - channel.left > channel.bottom - channel.top)
            channel = {channel.top, channel.left, channel.bottom, channel.right};
        const RECT window = WindowArea(control_), client = ClientArea(control_);
        const LONG dx = client.left - window.left, dy = client.top - window.top;
        OffsetRect(&channel, dx, dy);
        OffsetRect(&thumb, dx, dy);

        const int shift = ThumbShift(style);
        OffsetRect(&thumb, vertical ? shift : 0, vertical ? 0 : shift);
        // The whole thumb stays inside the control, so none of its outline is cut off at either end.
        OffsetRect(&thumb, std::max(0L, -thumb.left) - std::max(0L, thumb.right - width),
                   std::max(0L, -thumb.top) - std::max(0L, thumb.bottom - height));
        const RECT inside{0, 0, width, height};
        IntersectRect(&thumb, &thumb, &inside);
        // The channel runs through the middle of the thumb, whichever side the system keeps the ticks on.
        if (vertical) {
            const LONG thickness = channel.right - channel.left;
            channel.left = (thumb.left + thumb.right - thickness) / 2;
            channel.right = channel.left + thickness;
        } else {
            const LONG thickness = channel.bottom - channel.top;
            channel.top = (thumb.top + thumb.bottom - thickness) / 2;
            channel.bottom = channel.top + thickness;
        }
        return parts;
    }

    // The whole bar over what lies under it, composed off screen and copied to the window at once: the system
    // asks to repaint only where its own thumb was and is, which is not all the skin's thumb covers.
    void PaintNow() const {
        const RECT window = WindowArea(control_);
        Snapshot snapshot(control_, window);
        if (!snapshot) return;
        const int w = snapshot.width(), h = snapshot.height();
        const LONG_PTR style = GetWindowLongPtrA(control_, GWL_STYLE);
        const bool vertical = style & TBS_VERT;
        const TrackLayout parts = LayOut(style, w, h);
        {
            SurfaceGraphics graphics(snapshot.surface());
            graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
            if (skin_.settings().option_flag) PaintBody(graphics, vertical, w, h);
            const Gdiplus::RectF channel = RectOf(parts.channel);
            graphics.FillPath(Across(vertical, channel, MakeArgb(kBlack, 50), MakeArgb(kBlack, 30)),
                              RoundedRectanglePath(channel.X, channel.Y, channel.Width, channel.Height, 1));
            if (style & TBS_ENABLESELRANGE) PaintSelection(graphics, vertical, parts);
            if (!(style & TBS_NOTHUMB)) PaintThumb(graphics, vertical, RectOf(parts.thumb));
        }
        WindowDc dc(control_, true);
        BitBlt(dc.get(), 0, 0, w, h, snapshot.dc(), 0, 0, SRCCOPY);
    }

    void PaintBody(GfxGraphics& graphics, bool vertical, int w, int h) const {
        GfxPen edge;
        edge.CreatePen1(MakeArgb(kBlack, 30), 1);
        graphics.DrawPath(edge, RoundedRectanglePath(0, 0, F(w - 1), F(h - 1), 5));
        const Gdiplus::RectF inside{1, 1, F(w - 2), F(h - 2)};
        graphics.FillPath(Across(vertical, inside, MakeArgb(kWhite, 160), MakeArgb(kBlack, 30)),
                          RoundedRectanglePath(inside.X, inside.Y, inside.Width, inside.Height, 3));
    }

    // The selected span as a line along the middle of the channel, from the thumb's place at its start to its
    // place at its end.
    void PaintSelection(GfxGraphics& graphics, bool vertical, const TrackLayout& parts) const {
        const LRESULT low = Forward(TBM_GETRANGEMIN, 0, 0), high = Forward(TBM_GETRANGEMAX, 0, 0);
        const LRESULT start = Forward(TBM_GETSELSTART, 0, 0), end = Forward(TBM_GETSELEND, 0, 0);
        if (high <= low || end <= start) return;  // a range of nothing places nothing
        const RECT& channel = parts.channel;
        const RECT& thumb = parts.thumb;
        const LONG from = vertical ? channel.top : channel.left;
        const LONG thumb_length = vertical ? thumb.bottom - thumb.top : thumb.right - thumb.left;
        const LONG travel = (vertical ? channel.bottom : channel.right) - from - thumb_length;
        const auto place = [&](LRESULT value) {
            return F(from + thumb_length / 2) +
                   F(travel) * F(std::clamp(value, low, high) - low) / F(high - low);
        };
        GfxPen pen;
        pen.CreatePen1(MakeArgb(kWhite, 160), 1);
        const REAL middle =
            vertical ? F(channel.left + channel.right) / 2 : F(channel.top + channel.bottom) / 2;
        if (vertical)
            graphics.DrawLine(pen, middle, place(start), middle, place(end));
        else
            graphics.DrawLine(pen, place(start), middle, place(end), middle);
    }

    void PaintThumb(GfxGraphics& graphics, bool vertical, const Gdiplus::RectF& thumb) const {
        if (thumb.Width < 2 || thumb.Height < 2) return;
        GfxPath face = RoundedRectanglePath(thumb.X, thumb.Y, thumb.Width - 1, thumb.Height - 1, 4);
        GfxSolidBrush white;
        white.CreateSolidFill(MakeArgb(kWhite, 255));
        graphics.FillPath(white, face);
        graphics.FillPath(Across(vertical, thumb, MakeArgb(kWhite, 0), MakeArgb(kBlack, 90)), face);
        GfxPen pen;
        pen.CreatePen1(MakeArgb(kBlack, 50), 1);
        graphics.DrawPath(pen, face);
        if (Hovered()) GlowOutline(graphics, face, 1, skin_.settings().theme_colour, 200);
    }

    LRESULT OnMouseMove(WPARAM wparam, LPARAM lparam) {
        const LRESULT result = Forward(WM_MOUSEMOVE, wparam, lparam);
        if (FollowMouse(lparam)) Repaint();
        return result;
    }
};

}  // namespace

void InstallTrackBars(SkinEngine& skin, size_t window_index, HWND parent) {
    skin.SubclassChildren(window_index, parent, TRACKBAR_CLASSA, ChildClass::TrackBar,
                          SkinnedChildProcedure<TrackBarMessages, ChildClass::TrackBar>);
}
