// Registered windows: their registration, their procedure and the keyed copy of their own painting.
#include "skin/registered_window.h"

#include <algorithm>

#include "skin/paint_primitives.h"
#include "skin/skin_engine.h"
#include "skin/top_level_procedure.h"

namespace {

RegisteredWindow* FindRegistered(WindowRecord& owner, HWND window) {
    auto found = std::find_if(owner.registered.begin(), owner.registered.end(),
                              [&](const RegisteredWindow& registered) { return registered.window == window; });
    return found == owner.registered.end() ? nullptr : &*found;
}

class RegisteredMessages {
  public:
    RegisteredMessages(SkinEngine& skin, WindowRecord& owner, RegisteredWindow& record)
        : skin_(skin), owner_(owner), record_(record), window_(record.window) {}

    LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam) {
        switch (message) {
            case WM_MOVE: return OnMove(wparam, lparam);
            case WM_PAINT: return OnPaint(wparam, lparam);
            case WM_ERASEBKGND: return OnEraseBackground(wparam);
            case WM_HSCROLL:
            case WM_VSCROLL: return OnScroll(message, wparam, lparam);
            case WM_DRAWITEM:
            case WM_CTLCOLOREDIT:
            case WM_CTLCOLORSTATIC:
            case WM_CTLCOLORBTN:
            case WM_CTLCOLORLISTBOX:
            case WM_COMMAND:
            case WM_NOTIFY: return ChildHost(skin_, owner_, window_, record_.previous).Handle(message, wparam, lparam);
        }
        return Forward(message, wparam, lparam);
    }

  private:
    LRESULT Forward(UINT message, WPARAM wparam, LPARAM lparam) const {
        return CallWindowProcA(record_.previous, window_, message, wparam, lparam);
    }

    LRESULT OnMove(WPARAM wparam, LPARAM lparam) {
        if (skin_.settings().custom_alpha) InvalidateRect(window_, nullptr, FALSE);
        return Forward(WM_MOVE, wparam, lparam);
    }

    // The window paints itself into a copy of what lies under it; that copy goes over the veiled background
    // with the key colour left out, and reaches the screen once. Painting validates the window, so WM_PAINT
    // does not come back.
    LRESULT OnPaint(WPARAM wparam, LPARAM lparam) {
        if (!skin_.settings().skin_children || wparam) return Forward(WM_PAINT, wparam, lparam);
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window_, &paint);
        const RECT area = ClientArea(window_);
        Snapshot own(window_, area), under(window_, area);
        if (own && under) {
            Forward(WM_PAINT, reinterpret_cast<WPARAM>(own.dc()), 0);
            {
                SurfaceGraphics graphics(under.surface());
                GfxSolidBrush veil;
                veil.CreateSolidFill(MakeArgb(RGB(255, 255, 255), skin_.settings().control_alpha));
                graphics.FillRectangle(veil, 0, 0, static_cast<Gdiplus::REAL>(under.width()),
                                       static_cast<Gdiplus::REAL>(under.height()));
            }
            TransparentBlt(under.dc(), 0, 0, under.width(), under.height(), own.dc(), 0, 0, own.width(), own.height(),
                           record_.key);
            BitBlt(dc, 0, 0, under.width(), under.height(), under.dc(), 0, 0, SRCCOPY);
        }
        EndPaint(window_, &paint);
        return 0;
    }

    LRESULT OnEraseBackground(WPARAM wparam) {
        SetBkMode(reinterpret_cast<HDC>(wparam), TRANSPARENT);
        return 1;
    }

    LRESULT OnScroll(UINT message, WPARAM wparam, LPARAM lparam) {
        // A rich edit scrolls its text by copying pixels, background and all: it repaints whole instead.
        if (ClassName(window_) == "RichEdit20A") InvalidateRect(window_, nullptr, FALSE);
        return Forward(message, wparam, lparam);
    }

    SkinEngine& skin_;
    WindowRecord& owner_;
    RegisteredWindow& record_;
    HWND window_;
};

LRESULT CALLBACK SkinnedRegisteredProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    SkinEngine* skin = SkinEngine::Instance();
    WindowRecord* owner = skin ? skin->table().At(IndexProperty(window, kRegisteredOwnerProperty)) : nullptr;
    RegisteredWindow* record = owner ? FindRegistered(*owner, window) : nullptr;
    if (!record) {
        const auto previous = reinterpret_cast<WNDPROC>(GetPropA(window, kRegisteredProcedureProperty));
        return previous ? CallWindowProcA(previous, window, message, wparam, lparam)
                        : DefWindowProcA(window, message, wparam, lparam);
    }
    return RegisteredMessages(*skin, *owner, *record).Handle(message, wparam, lparam);
}

}  // namespace

bool RegisterWindow(SkinEngine& skin, HWND window, std::optional<COLORREF> key) {
    const size_t window_index = skin.table().Find(GetAncestor(window, GA_ROOT));
    WindowRecord* owner = skin.table().At(window_index);
    if (!owner || window == owner->window || FindRegistered(*owner, window)) return false;
    skin.SkinChildren(window_index, window);
    RegisteredWindow& record = owner->registered.emplace_back();
    record.window = window;
    record.key = key.value_or(GetSysColor(COLOR_BTNFACE));
    SetIndexProperty(window, kRegisteredOwnerProperty, window_index);
    record.previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SkinnedRegisteredProcedure)));
    SetPropA(window, kRegisteredProcedureProperty, reinterpret_cast<HANDLE>(record.previous));
    InvalidateRect(window, nullptr, TRUE);
    return true;
}
