// Skinned edit boxes: the installer, the procedure, the painted frame and the see-through background.
#include "skin/edit_box.h"

#include "skin/frame.h"
#include "skin/paint_primitives.h"
#include "skin/painted_child.h"
#include "skin/skin_engine.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

bool HasScrollBars(HWND edit) {
    return GetWindowLongPtrA(edit, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL);
}

class EditMessages {
  public:
    EditMessages(SkinEngine& skin, WindowRecord& owner, ControlRecord& record)
        : skin_(skin), owner_(owner), record_(record), edit_(record.window) {}

    LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam) {
        switch (message) {
            case WM_DESTROY: return OnDestroy(wparam, lparam);
            case WM_MOVE: return OnScrollOrMove(message, wparam, lparam);
            case WM_SETFOCUS: return OnFocus(true, message, wparam, lparam);
            case WM_KILLFOCUS: return OnFocus(false, message, wparam, lparam);
            case WM_ENABLE: return OnEnable(wparam, lparam);
            case WM_ERASEBKGND: return OnEraseBackground(wparam, lparam);
            case WM_NCPAINT: return OnNcPaint(lparam);
            case WM_KEYDOWN: return OnKeyDown(wparam, lparam);
            case WM_HSCROLL:
            case WM_VSCROLL: return OnScrollOrMove(message, wparam, lparam);
            case WM_MOUSEMOVE: return OnMouseMove(wparam, lparam);
            case WM_LBUTTONDOWN: return OnButtonDown(wparam, lparam);
            case WM_LBUTTONUP: return OnButtonUp(wparam, lparam);
            case WM_MOUSELEAVE: return OnMouseLeave(wparam, lparam);
        }
        return Forward(message, wparam, lparam);
    }

  private:
    LRESULT Forward(UINT message, WPARAM wparam, LPARAM lparam) const {
        return CallWindowProcA(record_.previous, edit_, message, wparam, lparam);
    }

    bool SeeThrough() const { return skin_.settings().custom_alpha; }

    // Text drawn over a see-through background leaves its old pixels unless the box repaints whole.
    void RepaintWhole() const { InvalidateRect(edit_, nullptr, TRUE); }

    // The frame on the screen: theme-coloured while the box has the focus, with a ring while the mouse is over
    // it, and the grey of a disabled field while the box is disabled. Only the strips around the text area are
    // drawn.
    void PaintFrame() const {
        const RECT window = WindowArea(edit_);
        const int w = window.right - window.left, h = window.bottom - window.top;
        const RECT inner = InnerArea(edit_);
        if (inner.left <= 0 && inner.top <= 0 && inner.right >= w && inner.bottom >= h) return;  // no frame
        Snapshot snapshot(edit_, window);
        if (!snapshot) return;
        {
            SurfaceGraphics graphics(snapshot.surface());
            graphics.SetClipRect(static_cast<Gdiplus::REAL>(inner.left), static_cast<Gdiplus::REAL>(inner.top),
                                 static_cast<Gdiplus::REAL>(inner.right - inner.left),
                                 static_cast<Gdiplus::REAL>(inner.bottom - inner.top), Gdiplus::CombineModeExclude);
            const SkinSettings& settings = skin_.settings();
            const bool enabled = IsWindowEnabled(edit_);
            if (SeeThrough() || !enabled) {
                GfxSolidBrush face;
                face.CreateSolidFill(enabled ? MakeArgb(kWhite, settings.control_alpha)
                                             : MakeArgb(kDisabledFieldColour, 255));
                graphics.FillRectangle(face, 0, 0, static_cast<Gdiplus::REAL>(w), static_cast<Gdiplus::REAL>(h));
            }
            GfxPen pen;
            if (enabled && owner_.hot_child == edit_) {
                pen.CreatePen1(MakeArgb(settings.theme_colour, 180), 2);
                graphics.DrawRectangle(pen, 1, 1, static_cast<Gdiplus::REAL>(w - 3), static_cast<Gdiplus::REAL>(h - 3));
            }
            pen.CreatePen1(enabled && record_.focused ? MakeArgb(settings.theme_colour, 180) : MakeArgb(kBlack, 80), 1);
            graphics.DrawRectangle(pen, 0, 0, static_cast<Gdiplus::REAL>(w - 1), static_cast<Gdiplus::REAL>(h - 1));
        }
        WindowDc dc(edit_, true);
        ExcludeClipRect(dc.get(), inner.left, inner.top, inner.right, inner.bottom);
        BitBlt(dc.get(), 0, 0, w, h, snapshot.dc(), 0, 0, SRCCOPY);
    }

    LRESULT OnDestroy(WPARAM wparam, LPARAM lparam) {
        owner_.ForgetChild(edit_);
        return Forward(WM_DESTROY, wparam, lparam);
    }

    LRESULT OnFocus(bool focused, UINT message, WPARAM wparam, LPARAM lparam) {
        record_.focused = focused;
        const LRESULT result = Forward(message, wparam, lparam);
        PaintFrame();
        if (!focused && SeeThrough() && ClassName(GetParent(edit_)) != "ComboBox") RepaintWhole();
        return result;
    }

    LRESULT OnEnable(WPARAM wparam, LPARAM lparam) {
        const LRESULT result = Forward(WM_ENABLE, wparam, lparam);
        PaintFrame();
        RepaintWhole();  // the face under the text turns grey or back
        return result;
    }

    LRESULT OnEraseBackground(WPARAM wparam, LPARAM lparam) {
        const bool enabled = IsWindowEnabled(edit_);
        if (enabled && !SeeThrough()) return Forward(WM_ERASEBKGND, wparam, lparam);
        const auto dc = reinterpret_cast<HDC>(wparam);
        SetBkMode(dc, TRANSPARENT);
        const HBRUSH background = enabled ? Frame(skin_, owner_).SeeThroughBrush(edit_) : DisabledFieldBrush(dc);
        if (background) {
            RECT client;
            GetClientRect(edit_, &client);
            FillRect(dc, &client, background);
        }
        return 1;
    }

    LRESULT OnNcPaint(LPARAM lparam) {
        LRESULT result = 0;
        // The system paints only the scroll bars: a region that leaves out what the skin paints.
        if (HasScrollBars(edit_)) {
            RegionHandle bars = ScrollBarScreenRegion(edit_);
            result = DefWindowProcA(edit_, WM_NCPAINT, reinterpret_cast<WPARAM>(bars.get()), lparam);
        }
        PaintFrame();
        return result;
    }

    LRESULT OnKeyDown(WPARAM wparam, LPARAM lparam) {
        if (SeeThrough() && !HasScrollBars(edit_)) RepaintWhole();
        return Forward(WM_KEYDOWN, wparam, lparam);
    }

    LRESULT OnScrollOrMove(UINT message, WPARAM wparam, LPARAM lparam) {
        if (SeeThrough()) RepaintWhole();
        return Forward(message, wparam, lparam);
    }

    LRESULT OnMouseMove(WPARAM wparam, LPARAM lparam) {
        if (owner_.EnterHover(edit_)) PaintFrame();
        // A selection being dragged redraws its text over the old: the box repaints whole.
        if (record_.mouse_down && SeeThrough() && !HasScrollBars(edit_)) RepaintWhole();
        return Forward(WM_MOUSEMOVE, wparam, lparam);
    }

    LRESULT OnButtonDown(WPARAM wparam, LPARAM lparam) {
        record_.mouse_down = true;
        if (SeeThrough() && !HasScrollBars(edit_)) RepaintWhole();
        return Forward(WM_LBUTTONDOWN, wparam, lparam);
    }

    LRESULT OnButtonUp(WPARAM wparam, LPARAM lparam) {
        record_.mouse_down = false;
        return Forward(WM_LBUTTONUP, wparam, lparam);
    }

    LRESULT OnMouseLeave(WPARAM wparam, LPARAM lparam) {
        owner_.LeaveHover(edit_);
        PaintFrame();
        return Forward(WM_MOUSELEAVE, wparam, lparam);
    }

    SkinEngine& skin_;
    WindowRecord& owner_;
    ControlRecord& record_;
    HWND edit_;
};

}  // namespace

void InstallEditBoxes(SkinEngine& skin, size_t window_index, HWND parent) {
    for (HWND child = FindWindowExA(parent, nullptr, "Edit", nullptr); child;
         child = FindWindowExA(parent, child, "Edit", nullptr))
        SkinEditBox(skin, window_index, child);
}

void SkinEditBox(SkinEngine& skin, size_t window_index, HWND edit) {
    if (skin.ChildRecord(edit, ChildClass::Edit)) return;
    ControlRecord* record = skin.SubclassChild(window_index, ChildClass::Edit, edit,
                                                SkinnedChildProcedure<EditMessages, ChildClass::Edit>);
    if (!record) return;
    record->focused = GetFocus() == edit;
    SetWindowPos(edit, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}
