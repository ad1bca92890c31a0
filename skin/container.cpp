// Skinned child containers: registering them, their procedure and their painter.
#include "skin/container.h"

#include <algorithm>

#include "runtime/control.h"
#include "skin/frame.h"
#include "skin/paint_primitives.h"
#include "skin/skin_engine.h"
#include "skin/top_level_procedure.h"

namespace {

using Gdiplus::REAL;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr int kCaptionLeft = 8;  // where a group box's caption starts on its top line

REAL F(LONG value) {
    return static_cast<REAL>(value);
}

ContainerRecord* FindContainer(WindowRecord& owner, HWND window) {
    auto found = std::find_if(owner.containers.begin(), owner.containers.end(),
                              [&](const ContainerRecord& container) { return container.control.window == window; });
    return found == owner.containers.end() ? nullptr : &*found;
}

void Stroke(GfxGraphics& graphics, REAL x, REAL y, REAL w, REAL h, int r, Gdiplus::ARGB colour) {
    GfxPen pen;
    pen.CreatePen1(colour, 1);
    graphics.DrawPath(pen, RoundedRectanglePath(x, y, w, h, r));
}

class ContainerMessages {
  public:
    ContainerMessages(SkinEngine& skin, WindowRecord& owner, ContainerRecord& record)
        : skin_(skin), owner_(owner), record_(record), window_(record.control.window) {}

    LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam) {
        switch (message) {
            case WM_MOVE: return OnMove(wparam, lparam);
            case WM_SIZE: return OnSize(wparam, lparam);
            case WM_PAINT: return OnPaint();
            case WM_ERASEBKGND: return OnEraseBackground(wparam);
            case WM_SHOWWINDOW:
            case WM_ENABLE: return ForwardAndRepaint(message, wparam, lparam);
            case WM_SETTEXT: return OnSetText(wparam, lparam);
            case WM_DRAWITEM:
            case WM_CTLCOLOREDIT:
            case WM_CTLCOLORSTATIC:
            case WM_CTLCOLORBTN:
            case WM_CTLCOLORLISTBOX:
            case WM_COMMAND:
            case WM_NOTIFY:
                return ChildHost(skin_, owner_, window_, record_.control.previous).Handle(message, wparam, lparam);
        }
        return Forward(message, wparam, lparam);
    }

  private:
    LRESULT Forward(UINT message, WPARAM wparam, LPARAM lparam) const {
        return CallWindowProcA(record_.control.previous, window_, message, wparam, lparam);
    }

    LRESULT ForwardAndRepaint(UINT message, WPARAM wparam, LPARAM lparam) const {
        const LRESULT result = Forward(message, wparam, lparam);
        InvalidateRect(window_, nullptr, FALSE);
        return result;
    }

    // The container over what lies under it: the tints, and a group box's outline and caption or a frame.
    // A group box draws only its outline and caption: the controls lying over it are its siblings.
    void Paint(HDC target) const {
        const RECT area = WindowArea(window_);
        const int w = area.right - area.left, h = area.bottom - area.top;
        Snapshot snapshot(window_, area);
        if (!snapshot) return;
        RECT caption{};
        {
            SurfaceGraphics graphics(snapshot.surface());
            graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
            if (record_.group_box) {
                GfxFont font = MakeFont(record_.control.font_face, record_.control.font_size, record_.control.font_style);
                Gdiplus::RectF measured;
                graphics.MeasureString(record_.control.text, font, {0, 0, 10000, 100}, measured);
                const LONG text_width = record_.control.text.empty() ? 0 : static_cast<LONG>(measured.Width) + 4;
                caption = {kCaptionLeft - 2, 0, kCaptionLeft + text_width, static_cast<LONG>(measured.Height) + 1};
                // The line stops either side of the caption.
                graphics.SetClipRect(F(caption.left), F(caption.top), F(caption.right - caption.left),
                                     F(caption.bottom - caption.top), Gdiplus::CombineModeExclude);
                Stroke(graphics, 0, 5, F(w - 1), F(h - 6), 5, MakeArgb(kBlack, 40));
                Stroke(graphics, 1, 6, F(w - 3), F(h - 8), 3, MakeArgb(kWhite, 90));
                graphics.ResetClip();
                GfxStringFormat format;
                format.CreateStringFormat(Gdiplus::StringFormatFlagsNoWrap);
                DrawControlText(graphics, record_.control, record_.control.text, format,
                                {F(kCaptionLeft), 0, F(w - kCaptionLeft), F(caption.bottom)});
            } else if (record_.draw_frame) {
                Stroke(graphics, 0, 0, F(w - 1), F(h - 1), 5, MakeArgb(kBlack, 40));
                Stroke(graphics, 1, 1, F(w - 3), F(h - 3), 3, MakeArgb(kWhite, 100));
            }
        }
        const int saved = SaveDC(target);
        if (record_.group_box) {
            const int top = std::max<int>(caption.bottom, 9);
            ExcludeClipRect(target, 3, top, w - 3, h - 3);
        }
        ExcludeOpaqueChildren(window_, target);
        BitBlt(target, 0, 0, w, h, snapshot.dc(), 0, 0, SRCCOPY);
        RestoreDC(target, saved);
        // Children that show what lies under them paint again over the new background.
        for (HWND child = GetWindow(window_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            if (IsWindowVisible(child) && IsSeeThrough(child)) InvalidateRect(child, nullptr, TRUE);
        }
    }

    LRESULT OnMove(WPARAM wparam, LPARAM lparam) {
        if (record_.redraw_on_move) InvalidateRect(window_, nullptr, FALSE);
        return Forward(WM_MOVE, wparam, lparam);
    }

    LRESULT OnSize(WPARAM wparam, LPARAM lparam) {
        std::erase_if(record_.stretched, [](const StretchedChild& child) { return !IsWindow(child.window); });
        const int width = LOWORD(lparam), height = HIWORD(lparam);
        for (const StretchedChild& child : record_.stretched) {
            const RECT& m = child.margins;
            MoveWindow(child.window, m.left, m.top, std::max<int>(width - m.left - m.right, 0),
                       std::max<int>(height - m.top - m.bottom, 0), TRUE);
        }
        return Forward(WM_SIZE, wparam, lparam);
    }

    LRESULT OnPaint() {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window_, &paint);
        Paint(dc);
        EndPaint(window_, &paint);
        return 0;
    }

    LRESULT OnEraseBackground(WPARAM wparam) {
        // The painter covers what the container shows of its own: nothing to erase.
        SetBkMode(reinterpret_cast<HDC>(wparam), TRANSPARENT);
        return 1;
    }

    LRESULT OnSetText(WPARAM wparam, LPARAM lparam) {
        record_.control.text = lparam ? reinterpret_cast<const char*>(lparam) : "";
        return ForwardAndRepaint(WM_SETTEXT, wparam, lparam);
    }

    SkinEngine& skin_;
    WindowRecord& owner_;
    ContainerRecord& record_;
    HWND window_;
};

LRESULT CALLBACK SkinnedContainerProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    SkinEngine* skin = SkinEngine::Instance();
    WindowRecord* owner = skin ? skin->OwnerRecord(window) : nullptr;
    ContainerRecord* record = owner ? FindContainer(*owner, window) : nullptr;
    if (!record) return CallPreviousProcedure(window, message, wparam, lparam);
    return ContainerMessages(*skin, *owner, *record).Handle(message, wparam, lparam);
}

}  // namespace

bool RegisterContainer(SkinEngine& skin, HWND container, const ContainerOptions& options) {
    const size_t window_index = skin.table().Find(GetAncestor(container, GA_ROOT));
    WindowRecord* owner = skin.table().At(window_index);
    if (!owner || container == owner->window || FindContainer(*owner, container)) return false;
    ContainerRecord record;
    record.control.window = container;
    record.tint = options.tint;
    record.alpha = std::clamp(options.alpha, 0, 255);
    record.draw_frame = options.draw_frame;
    record.redraw_on_move = options.redraw_on_move;
    record.group_box = IsGroupBox(container);
    if (record.group_box) {
        record.control.text = WindowText(container);
        ReadControlFont(container, record.control);
    }
    owner->containers.push_back(std::move(record));
    skin.SkinChildren(window_index, container);
    ContainerRecord& added = owner->containers.back();
    SetIndexProperty(container, kOwnerIndexProperty, window_index);
    added.control.previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(container, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SkinnedContainerProcedure)));
    SetPropA(container, kPreviousProcedureProperty, reinterpret_cast<HANDLE>(added.control.previous));
    RedrawWindow(container, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return true;
}

void SetContainerAlpha(SkinEngine& skin, HWND container, int alpha) {
    WindowRecord* owner = skin.OwnerRecord(container);
    ContainerRecord* record = owner ? FindContainer(*owner, container) : nullptr;
    if (!record || !record->tint) return;
    record->alpha = std::clamp(alpha, 0, 255);
    owner->ForgetBackgroundsWithin(container);
    RedrawWindow(container, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

bool StretchWithContainer(SkinEngine& skin, HWND child) {
    HWND container = GetParent(child);
    WindowRecord* owner = skin.OwnerRecord(container);
    ContainerRecord* record = owner ? FindContainer(*owner, container) : nullptr;
    if (!record) return false;
    RECT client, place = WindowArea(child);
    GetClientRect(container, &client);
    MapWindowPoints(HWND_DESKTOP, container, reinterpret_cast<POINT*>(&place), 2);
    const RECT margins{place.left, place.top, client.right - place.right, client.bottom - place.bottom};
    auto known = std::find_if(record->stretched.begin(), record->stretched.end(),
                              [&](const StretchedChild& stretched) { return stretched.window == child; });
    if (known == record->stretched.end()) record->stretched.push_back({child, margins});
    else known->margins = margins;
    return true;
}

bool SetPaintedLayer(SkinEngine& skin, HWND window, HDC layer) {
    WindowRecord* owner = skin.table().RecordOf(GetAncestor(window, GA_ROOT));
    if (!owner || window == owner->window) return false;
    std::erase_if(owner->layers,
                  [&](const PaintedLayer& known) { return known.window == window || !IsWindow(known.window); });
    if (layer) owner->layers.push_back({window, layer});
    owner->ForgetBackgroundsWithin(window);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    return true;
}
