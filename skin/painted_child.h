// What the skinned children that the skin paints whole, on WM_PAINT only, share: their procedure, forwarding
// to the system's, repaint requests and the paint, hover and destroy messages.
#pragma once

#include <windows.h>

#include "skin/paint_primitives.h"
#include "skin/skin_engine.h"

// The message handling of such a child: `Child` derives from it, handles the messages of its own class in
// HandleOwn(), forwarding the others, and paints the whole control on the screen in PaintNow().
template <class Child>
class PaintedChildMessages {
  public:
    LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam) {
        switch (message) {
            case WM_MOUSELEAVE: return OnMouseLeave(wparam, lparam);
            case WM_MOVE:
            case WM_SIZE: return ForwardAndRepaint(message, wparam, lparam);
            case WM_ERASEBKGND: return OnEraseBackground(wparam);
            case WM_NCPAINT: return OnNcPaint();
            case WM_PAINT: return OnPaint();
            case WM_DESTROY: return OnDestroy(wparam, lparam);
        }
        return static_cast<Child&>(*this).HandleOwn(message, wparam, lparam);
    }

  protected:
    PaintedChildMessages(SkinEngine& skin, WindowRecord& owner, ControlRecord& record)
        : skin_(skin), owner_(owner), record_(record), control_(record.window) {}

    LRESULT Forward(UINT message, WPARAM wparam, LPARAM lparam) const {
        return CallWindowProcA(record_.previous, control_, message, wparam, lparam);
    }

    // Every paint goes through WM_PAINT, so the system's own requests to repaint and the skin's make one
    // paint.
    void Repaint() const { InvalidateRect(control_, nullptr, FALSE); }

    bool Hovered() const { return owner_.hot_child == control_; }

    // The mouse moved to `point` (client coordinates): the control is the window's hot child while the point
    // lies on it, and stops being it when a drag it holds the mouse for goes outside, where no WM_MOUSELEAVE
    // would end it. Called after the system's own handling of the move, whose request for WM_MOUSELEAVE may
    // cancel the one before it. True when that changed.
    bool FollowMouse(LPARAM point) {
        RECT client;
        GetClientRect(control_, &client);
        if (PtInRect(&client, {static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))}))
            return owner_.EnterHover(control_);
        if (!Hovered()) return false;
        owner_.LeaveHover(control_);
        return true;
    }

    LRESULT ForwardAndRepaint(UINT message, WPARAM wparam, LPARAM lparam) {
        // Moved or resized, the control lies over another part of the background.
        Repaint();
        return Forward(message, wparam, lparam);
    }

    LRESULT OnMouseLeave(WPARAM wparam, LPARAM lparam) {
        owner_.LeaveHover(control_);
        Repaint();
        return Forward(WM_MOUSELEAVE, wparam, lparam);
    }

    LRESULT OnEraseBackground(WPARAM wparam) {
        // The painter covers every pixel: nothing to erase.
        SetBkMode(reinterpret_cast<HDC>(wparam), TRANSPARENT);
        return 1;
    }

    LRESULT OnNcPaint() {
        // The painter covers the whole window, a frame of the control's own included.
        if (HasFrame(control_)) Self().PaintNow();
        return 0;
    }

    LRESULT OnPaint() {
        // Painted whole through the window's DC: the system asks to repaint only what its own face changed.
        PAINTSTRUCT paint;
        BeginPaint(control_, &paint);
        Self().PaintNow();
        EndPaint(control_, &paint);
        return 0;
    }

    LRESULT OnDestroy(WPARAM wparam, LPARAM lparam) {
        owner_.LeaveHover(control_);
        return Forward(WM_DESTROY, wparam, lparam);
    }

    SkinEngine& skin_;
    WindowRecord& owner_;
    ControlRecord& record_;
    HWND control_;

  private:
    const Child& Self() const { return static_cast<const Child&>(*this); }
};

// The procedure of a skinned child class `kind` whose messages `Messages` handles; a child the skin does not
// know (any more) only forwards.
template <class Messages, ChildClass kind>
LRESULT CALLBACK SkinnedChildProcedure(HWND child, UINT message, WPARAM wparam, LPARAM lparam) {
    SkinEngine* skin = SkinEngine::Instance();
    const SkinEngine::FoundChild found = skin ? skin->FindChild(child, kind) : SkinEngine::FoundChild{};
    if (!found.record) return CallPreviousProcedure(child, message, wparam, lparam);
    return Messages(*skin, *found.owner, *found.record).Handle(message, wparam, lparam);
}
