// Registered windows: their registration, their procedure and the keyed copy of their own painting.
#include "skin/registered_window.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "skin/paint_primitives.h"
#include "skin/skin_engine.h"
#include "skin/top_level_procedure.h"

namespace {

RegisteredWindow* FindRegistered(WindowRecord& owner, HWND window) {
    auto found = std::find_if(owner.registered.begin(), owner.registered.end(),
                              [&](const RegisteredWindow& registered) { return registered.window == window; });
    return found == owner.registered.end() ? nullptr : &*found;
}

// Whether the window's class paints into the DC a WM_PAINT hands it.
bool PaintsIntoTheDcItIsGiven(HWND window) {
    static constexpr const char* kClasses[] = {"SysMonthCal32", "SysTabControl32", "ToolbarWindow32",
                                               "msctls_statusbar32", "Button", "msctls_trackbar32"};
    const std::string name = ClassName(window);
    return std::any_of(std::begin(kClasses), std::end(kClasses), [&](const char* known) { return name == known; });
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

    LRESULT OnPaint(WPARAM wparam, LPARAM lparam) {
        if (!skin_.settings().skin_children || wparam) return Forward(WM_PAINT, wparam, lparam);
        return record_.paints_into_given_dc ? PaintWhole() : PaintUpdate();
    }

    // Classes that paint into the DC of a WM_PAINT: they are painted whole, and painting validates them.
    LRESULT PaintWhole() {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window_, &paint);
        RECT client;
        GetClientRect(window_, &client);
        Compose(dc, client, WM_PAINT);
        EndPaint(window_, &paint);
        return 0;
    }

    // The others (a rich edit) begin a paint of their own on WM_PAINT, whatever DC they are given: they are
    // asked for their picture with WM_PRINTCLIENT instead, the update rectangle goes to the window's DC, and
    // the window is validated by hand. Children it covered paint again.
    LRESULT PaintUpdate() {
        RECT update;
        if (!GetUpdateRect(window_, &update, FALSE)) return 0;
        {
            WindowDc dc(window_);
            Compose(dc.get(), update, WM_PRINTCLIENT);
        }
        ValidateRect(window_, &update);
        for (HWND child = GetWindow(window_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            if (IsWindowVisible(child)) InvalidateRect(child, nullptr, TRUE);
        }
        return 0;
    }

    // The window paints itself (`message`, WM_PAINT or WM_PRINTCLIENT) into a copy of what lies under it;
    // that copy goes over the veiled background with the key colour left out, and `area` of it (client
    // coordinates) reaches `target` once.
    void Compose(HDC target, const RECT& area, UINT message) {
        const RECT client = ClientArea(window_);
        Snapshot own(window_, client), under(window_, client);
        if (!own || !under) return;
        Forward(message, reinterpret_cast<WPARAM>(own.dc()), message == WM_PRINTCLIENT ? PRF_CLIENT : 0);
        {
            SurfaceGraphics graphics(under.surface());
            GfxSolidBrush veil;
            veil.CreateSolidFill(MakeArgb(RGB(255, 255, 255), skin_.settings().control_alpha));
            graphics.FillRectangle(veil, 0, 0, static_cast<Gdiplus::REAL>(under.width()),
                                   static_cast<Gdiplus::REAL>(under.height()));
        }
        TransparentBlt(under.dc(), 0, 0, under.width(), under.height(), own.dc(), 0, 0, own.width(), own.height(),
                       record_.key);
        BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, under.dc(), area.left,
               area.top, SRCCOPY);
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
    record.paints_into_given_dc = PaintsIntoTheDcItIsGiven(window);
    SetIndexProperty(window, kRegisteredOwnerProperty, window_index);
    record.previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SkinnedRegisteredProcedure)));
    SetPropA(window, kRegisteredProcedureProperty, reinterpret_cast<HANDLE>(record.previous));
    InvalidateRect(window, nullptr, TRUE);
    return true;
}
