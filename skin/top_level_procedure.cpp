// Dispatch of a skinned top-level window's messages: painting, caption hover and clicks, moving and sizing,
// child backgrounds, clean-up.
#include "skin/top_level_procedure.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <utility>

#include "skin/button.h"
#include "skin/frame.h"
#include "skin/paint_primitives.h"
#include "skin/skin_engine.h"

namespace {

constexpr UINT kFadeTickMs = 20;
constexpr int kLastFadeStep = 8;

// The signed client coordinates a mouse message carries.
int PointX(LPARAM lparam) {
    return static_cast<short>(LOWORD(lparam));
}
int PointY(LPARAM lparam) {
    return static_cast<short>(HIWORD(lparam));
}
// A see-through background would hide a sibling the control lies over (the progress label lies over the
// progress bar): such a control draws its text over what is below instead.
bool LiesOverSibling(HWND control) {
    RECT own;
    GetWindowRect(control, &own);
    for (HWND other = GetWindow(GetParent(control), GW_CHILD); other; other = GetWindow(other, GW_HWNDNEXT)) {
        RECT rect, common;
        // A group box is hollow, and an up-down control sits beside the edit box it steps.
        if (other == control || !IsWindowVisible(other) || IsGroupBox(other) ||
            (ClassName(other) == UPDOWN_CLASSA && reinterpret_cast<HWND>(SendMessageA(other, UDM_GETBUDDY, 0, 0)) == control))
            continue;
        GetWindowRect(other, &rect);
        if (IntersectRect(&common, &own, &rect)) return true;
    }
    return false;
}

RECT WorkAreaOf(HWND window) {
    MONITORINFO monitor{sizeof monitor, {}, {}, 0};
    GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    return monitor.rcWork;
}

class TopLevelMessages {
  public:
    TopLevelMessages(SkinEngine& skin, WindowRecord& record)
        : skin_(skin), record_(record), window_(record.window), previous_(record.previous), frame_(skin, record) {}

    LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam) {
        record_.tooltip.Relay(message, wparam, lparam);  // the caption buttons' tips
        switch (message) {
            case WM_NCDESTROY: return OnNcDestroy(wparam, lparam);
            case WM_SHOWWINDOW: return OnShowWindow(wparam, lparam);
            case WM_ERASEBKGND: return OnEraseBackground(wparam);
            case WM_PAINT: return OnPaint();
            case WM_SIZE: return OnSize(wparam, lparam);
            case WM_WINDOWPOSCHANGED: return OnWindowPosChanged(wparam, lparam);
            case WM_GETMINMAXINFO: return OnGetMinMaxInfo(lparam);
            case WM_SETCURSOR: return OnSetCursor(wparam, lparam);
            case WM_MOUSEMOVE: return OnMouseMove(wparam, lparam);
            case WM_MOUSELEAVE: return OnMouseLeave(wparam, lparam);
            case WM_TIMER: return OnTimer(wparam, lparam);
            case WM_LBUTTONDOWN: return OnButtonDown(wparam, lparam);
            case WM_LBUTTONUP: return OnButtonUp(wparam, lparam);
            case WM_LBUTTONDBLCLK: return OnDoubleClick(wparam, lparam);
            case WM_SYSCOMMAND: return OnSysCommand(wparam, lparam);
            case WM_SETTEXT: return OnSetText(wparam, lparam);
            case WM_DRAWITEM:
            case WM_CTLCOLOREDIT:
            case WM_CTLCOLORSTATIC:
            case WM_CTLCOLORBTN:
            case WM_CTLCOLORLISTBOX:
            case WM_COMMAND:
            case WM_NOTIFY: return ChildHost(skin_, record_, window_, previous_).Handle(message, wparam, lparam);
            case WM_ACTIVATEAPP: return OnActivateApp(wparam, lparam);
        }
        return Forward(message, wparam, lparam);
    }

  private:
    LRESULT Forward(UINT message, WPARAM wparam, LPARAM lparam) const {
        return previous_ ? CallWindowProcA(previous_, window_, message, wparam, lparam)
                         : DefWindowProcA(window_, message, wparam, lparam);
    }

    LRESULT OnNcDestroy(WPARAM wparam, LPARAM lparam) {
        // The record goes with everything it owns: frame and caption surfaces, child brushes, the tooltip.
        KillTimer(window_, reinterpret_cast<UINT_PTR>(window_));
        RemoveSkinProperties(window_);
        skin_.table().Remove(skin_.table().Find(window_));
        return Forward(WM_NCDESTROY, wparam, lparam);
    }

    LRESULT OnShowWindow(WPARAM wparam, LPARAM lparam) {
        if (wparam) record_.repaint_pending = true;
        return Forward(WM_SHOWWINDOW, wparam, lparam);
    }

    LRESULT OnEraseBackground(WPARAM wparam) {
        // The frame paints every pixel itself: an erase would only flash the class background.
        SetBkMode(reinterpret_cast<HDC>(wparam), TRANSPARENT);
        return 1;
    }

    LRESULT OnPaint() {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window_, &paint);
        if (!IsIconic(window_)) {
            if (frame_.NeedsFullPaint()) frame_.Paint(dc);
            else frame_.Copy(dc);
        }
        EndPaint(window_, &paint);
        return 0;
    }

    LRESULT OnSize(WPARAM wparam, LPARAM lparam) {
        StopFades();
        record_.maximised = wparam == SIZE_MAXIMIZED;
        record_.minimised = wparam == SIZE_MINIMIZED;
        SkinSettings& settings = skin_.settings();
        record_.repaint_pending = !settings.first_size;
        settings.first_size = false;
        const LRESULT result = Forward(WM_SIZE, wparam, lparam);
        if (wparam != SIZE_MINIMIZED) frame_.DockChildren();
        return result;
    }

    LRESULT OnWindowPosChanged(WPARAM wparam, LPARAM lparam) {
        if (IsZoomed(window_)) {
            // Maximised means the work area of the window's own monitor: the taskbar stays visible.
            RECT work = WorkAreaOf(window_), now;
            GetWindowRect(window_, &now);
            if (!EqualRect(&work, &now))
                SetWindowPos(window_, nullptr, work.left, work.top, work.right - work.left, work.bottom - work.top,
                             SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_NOACTIVATE);
        }
        frame_.LayOutButtons();
        return Forward(WM_WINDOWPOSCHANGED, wparam, lparam);
    }

    LRESULT OnGetMinMaxInfo(LPARAM lparam) {
        auto& info = *reinterpret_cast<MINMAXINFO*>(lparam);
        MONITORINFO monitor{sizeof monitor, {}, {}, 0};
        GetMonitorInfoA(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST), &monitor);
        const RECT& work = monitor.rcWork;
        // The maximised position counts from the monitor's corner.
        info.ptMaxPosition = {work.left - monitor.rcMonitor.left, work.top - monitor.rcMonitor.top};
        info.ptMaxSize = {work.right - work.left, work.bottom - work.top};
        info.ptMinTrackSize = {record_.min_width, record_.min_height};
        info.ptMaxTrackSize = {std::max<LONG>(record_.screen_width, info.ptMaxSize.x),
                               std::max<LONG>(record_.screen_height, info.ptMaxSize.y)};
        return 0;
    }

    LRESULT OnSetCursor(WPARAM wparam, LPARAM lparam) {
        POINT at;
        GetCursorPos(&at);
        ScreenToClient(window_, &at);
        if (reinterpret_cast<HWND>(wparam) == window_ && LOWORD(lparam) == HTCLIENT &&
            frame_.SetResizeCursor(at.x, at.y))
            return TRUE;
        return Forward(WM_SETCURSOR, wparam, lparam);
    }

    LRESULT OnMouseMove(WPARAM wparam, LPARAM lparam) {
        if (record_.has_caption) {
            if (!record_.mouse_tracking) {
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window_, 0};
                record_.mouse_tracking = TrackMouseEvent(&track);
            }
            // A pressed button keeps its face until the button is released.
            if (!record_.pressed_button) SetHot(frame_.HitButton(PointX(lparam), PointY(lparam)));
        }
        return Forward(WM_MOUSEMOVE, wparam, lparam);
    }

    LRESULT OnMouseLeave(WPARAM wparam, LPARAM lparam) {
        record_.mouse_tracking = false;
        if (!record_.pressed_button) SetHot(0);
        return Forward(WM_MOUSELEAVE, wparam, lparam);
    }

    LRESULT OnTimer(WPARAM wparam, LPARAM lparam) {
        if (wparam != reinterpret_cast<WPARAM>(window_)) return Forward(WM_TIMER, wparam, lparam);
        if (record_.fading_in) {
            record_.fade_in_step = std::min(record_.fade_in_step + 1, kLastFadeStep);
            frame_.DrawButton(record_.fading_in, FadeIntensity(record_.fade_in_step));
            if (record_.fade_in_step == kLastFadeStep) record_.fading_in = 0;
        }
        if (record_.fading_out) {
            record_.fade_out_step = std::min(record_.fade_out_step + 1, kLastFadeStep);
            frame_.DrawButton(record_.fading_out, FadeIntensity(kLastFadeStep - record_.fade_out_step));
            if (record_.fade_out_step == kLastFadeStep) record_.fading_out = 0;
        }
        if (!record_.fading_in && !record_.fading_out) StopTimer();
        return 0;
    }

    LRESULT OnButtonDown(WPARAM wparam, LPARAM lparam) {
        const int x = PointX(lparam), y = PointY(lparam);
        const int hit = frame_.HitButton(x, y);
        record_.last_press_on_button = hit != 0;
        if (hit) return PressButton(hit);
        frame_.Press(x, y);
        return Forward(WM_LBUTTONDOWN, wparam, lparam);
    }

    LRESULT OnButtonUp(WPARAM wparam, LPARAM lparam) {
        const int pressed = std::exchange(record_.pressed_button, 0);
        if (!pressed) return Forward(WM_LBUTTONUP, wparam, lparam);
        ReleaseCapture();
        const int hit = frame_.HitButton(PointX(lparam), PointY(lparam));
        record_.hot_button = hit;
        frame_.DrawButton(pressed, hit == pressed ? FadeIntensity(kLastFadeStep) : 0);
        // A button acts when it is released over itself; the action may close the window, after which nothing
        // of it is touched.
        if (hit == pressed) skin_.CaptionButtonAction(skin_.table().Find(window_), pressed);
        return 0;
    }

    LRESULT OnDoubleClick(WPARAM wparam, LPARAM lparam) {
        const int x = PointX(lparam), y = PointY(lparam);
        // The first click of a double click on a caption button has acted already: the second does nothing,
        // even when the first moved the button away from under the mouse (maximise).
        if (std::exchange(record_.last_press_on_button, false)) return 0;
        if (const int hit = frame_.HitButton(x, y)) return PressButton(hit);
        if (record_.has_caption && record_.resizable && y <= record_.caption_height &&
            !InButtonStrip(record_.strip, x, y)) {
            for (size_t n = 0; n < record_.buttons.size(); ++n) {
                if (record_.buttons[n].kind != CaptionKind::Maximise) continue;
                skin_.CaptionButtonAction(skin_.table().Find(window_), static_cast<int>(n) + 1);
                return 0;
            }
        }
        return Forward(WM_LBUTTONDBLCLK, wparam, lparam);
    }

    LRESULT OnSysCommand(WPARAM wparam, LPARAM lparam) {
        switch (wparam & 0xFFF0) {
            case SC_MAXIMIZE:
            case SC_RESTORE:
            case SC_MINIMIZE: record_.repaint_pending = true; break;
        }
        return Forward(WM_SYSCOMMAND, wparam, lparam);
    }

    LRESULT OnSetText(WPARAM wparam, LPARAM lparam) {
        LRESULT result = Forward(WM_SETTEXT, wparam, lparam);
        if (lparam) {
            const std::string title = reinterpret_cast<const char*>(lparam);
            frame_.DrawTitle(&title);
        }
        return result;
    }

    LRESULT OnActivateApp(WPARAM wparam, LPARAM lparam) {
        // Leaving the application gives the memory it is not using back to the system.
        if (!wparam) SetProcessWorkingSetSize(GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
        return Forward(WM_ACTIVATEAPP, wparam, lparam);
    }

    LRESULT PressButton(int n) {
        StopFades();
        record_.pressed_button = record_.hot_button = n;
        SetCapture(window_);
        frame_.DrawPressedButton(n);
        return 0;
    }

    // Makes `hit` the hot caption button: it fades in, the one before fades out from as far as it got.
    void SetHot(int hit) {
        if (hit == record_.hot_button) return;
        const int old = std::exchange(record_.hot_button, hit);
        // A button still fading out from before is finished at once.
        if (record_.fading_out && record_.fading_out != hit) frame_.DrawButton(record_.fading_out, 0);
        const int reached = old && old == record_.fading_in ? record_.fade_in_step : kLastFadeStep;
        record_.fading_out = old;
        record_.fade_out_step = kLastFadeStep - reached;
        record_.fading_in = hit;
        record_.fade_in_step = 0;
        if ((record_.fading_in || record_.fading_out) && !record_.timer_running) {
            SetTimer(window_, reinterpret_cast<UINT_PTR>(window_), kFadeTickMs, nullptr);
            record_.timer_running = true;
        }
    }

    void StopFades() {
        record_.hot_button = record_.fading_in = record_.fading_out = 0;
        record_.fade_in_step = record_.fade_out_step = 0;
        StopTimer();
    }

    void StopTimer() {
        if (record_.timer_running) KillTimer(window_, reinterpret_cast<UINT_PTR>(window_));
        record_.timer_running = false;
    }

    SkinEngine& skin_;
    WindowRecord& record_;
    HWND window_;
    WNDPROC previous_;
    Frame frame_;
};

}  // namespace

ChildHost::ChildHost(SkinEngine& skin, WindowRecord& owner, HWND host, WNDPROC previous)
    : skin_(skin), owner_(owner), host_(host), previous_(previous) {}

LRESULT ChildHost::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_DRAWITEM: return OnDrawItem(wparam, lparam);
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC: return OnCtlColorSeeThrough(message, wparam, lparam);
        case WM_CTLCOLORBTN: return OnCtlColorHollow(message, wparam, lparam);
        case WM_CTLCOLORLISTBOX: return OnCtlColorListBox(wparam, lparam);
        case WM_COMMAND: return OnCommand(wparam, lparam);
        case WM_NOTIFY: return OnNotify(wparam, lparam);
    }
    return Forward(message, wparam, lparam);
}

LRESULT ChildHost::Forward(UINT message, WPARAM wparam, LPARAM lparam) const {
    return previous_ ? CallWindowProcA(previous_, host_, message, wparam, lparam)
                     : DefWindowProcA(host_, message, wparam, lparam);
}

LRESULT ChildHost::OnDrawItem(WPARAM wparam, LPARAM lparam) {
    const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
    return DrawSkinnedButton(skin_, item) ? TRUE : Forward(WM_DRAWITEM, wparam, lparam);
}

bool ChildHost::SeeThroughChildren() const {
    const SkinSettings& settings = skin_.settings();
    return settings.skin_children && settings.custom_alpha;
}

LRESULT ChildHost::OnCtlColorSeeThrough(UINT message, WPARAM wparam, LPARAM lparam) {
    const auto control = reinterpret_cast<HWND>(lparam);
    // The edit field of a combo box is answered by the combo box, which the field asks first.
    const HWND parent = GetParent(control);
    if (parent != host_ && ClassName(parent) == "ComboBox") return Forward(message, wparam, lparam);
    // A disabled edit box shows the grey of a disabled field with greyed text.
    if (!IsWindowEnabled(control) && skin_.ChildRecord(control, ChildClass::Edit)) {
        const auto dc = reinterpret_cast<HDC>(wparam);
        SetTextColor(dc, DisabledTextColour());
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(DisabledFieldBrush(dc));
    }
    if (!SeeThroughChildren()) return Forward(message, wparam, lparam);
    // Over a sibling, a see-through child shows the sibling: it draws only its text.
    if (LiesOverSibling(control))
        return IsSeeThrough(control) ? OnCtlColorHollow(message, wparam, lparam) : Forward(message, wparam, lparam);
    HBRUSH brush = Frame(skin_, owner_).SeeThroughBrush(control);
    if (!brush) return Forward(message, wparam, lparam);
    PrepareText(reinterpret_cast<HDC>(wparam), control);
    return reinterpret_cast<LRESULT>(brush);
}

// Buttons and list boxes draw their text straight over what lies under them.
LRESULT ChildHost::OnCtlColorHollow(UINT message, WPARAM wparam, LPARAM lparam) {
    if (!SeeThroughChildren()) return Forward(message, wparam, lparam);
    PrepareText(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
    return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
}

// Text over the background, in the control's colour, and kept off the window's painted border: a control that
// reaches past the window's edge (the status line is as wide as the window) would write across it.
void ChildHost::PrepareText(HDC dc, HWND control) const {
    SetTextColor(dc, TextColour(control));
    SetBkMode(dc, TRANSPARENT);
    if (host_ != owner_.window) return;
    RECT inside;
    GetClientRect(host_, &inside);
    InflateRect(&inside, -kFrameBorderWidth, -kFrameBorderWidth);
    MapWindowPoints(host_, control, reinterpret_cast<POINT*>(&inside), 2);
    IntersectClipRect(dc, inside.left, inside.top, inside.right, inside.bottom);
}

LRESULT ChildHost::OnCtlColorListBox(WPARAM wparam, LPARAM lparam) {
    const auto list = reinterpret_cast<HWND>(lparam);
    // An owner-drawn list box paints its items itself.
    if (ClassName(list) != "ListBox" || (GetWindowLongPtrA(list, GWL_STYLE) & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)))
        return Forward(WM_CTLCOLORLISTBOX, wparam, lparam);
    return OnCtlColorHollow(WM_CTLCOLORLISTBOX, wparam, lparam);
}

LRESULT ChildHost::OnCommand(WPARAM wparam, LPARAM lparam) {
    const auto control = reinterpret_cast<HWND>(lparam);
    if (control && SeeThroughChildren()) {
        // Text drawn over a see-through background leaves its old pixels unless the control repaints whole.
        const WORD code = HIWORD(wparam);
        const std::string kind = ClassName(control);
        if ((kind == "Edit" && (code == EN_VSCROLL || code == EN_HSCROLL || code == EN_CHANGE || code == EN_UPDATE)) ||
            (kind == "ListBox" && (code == LBN_SELCHANGE || code == LBN_SELCANCEL)) ||
            (kind == "ComboBox" && (code == CBN_KILLFOCUS || code == CBN_SELCHANGE)))
            InvalidateRect(control, nullptr, TRUE);
    }
    return Forward(WM_COMMAND, wparam, lparam);
}

LRESULT ChildHost::OnNotify(WPARAM wparam, LPARAM lparam) {
    // A tree view opening or closing a branch moves its rows over the see-through background.
    const auto& header = *reinterpret_cast<const NMHDR*>(lparam);
    switch (header.code) {
        case TVN_ITEMEXPANDINGA:
        case TVN_ITEMEXPANDEDA:
        case TVN_ITEMEXPANDINGW:
        case TVN_ITEMEXPANDEDW: InvalidateRect(header.hwndFrom, nullptr, TRUE); break;
    }
    return Forward(WM_NOTIFY, wparam, lparam);
}

LRESULT CALLBACK SkinnedTopLevelProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    SkinEngine* skin = SkinEngine::Instance();
    WindowRecord* record = skin ? skin->table().RecordOf(window) : nullptr;
    if (!record) return CallPreviousProcedure(window, message, wparam, lparam);
    return TopLevelMessages(*skin, *record).Handle(message, wparam, lparam);
}
