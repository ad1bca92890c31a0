// Skinned see-through labels: the installer, the procedure, the painter, and their text for the painters of
// the controls they lie over.
#include "skin/label.h"

#include <string>
#include <vector>

#include "runtime/control.h"
#include "skin/frame.h"
#include "skin/painted_child.h"

namespace {

// The DrawText format the system's static control draws a text style with; 0 for a static showing no text.
UINT TextFormat(HWND label) {
    const LONG_PTR style = GetWindowLongPtrA(label, GWL_STYLE);
    UINT format = 0;
    switch (style & SS_TYPEMASK) {
        case SS_LEFT: format = DT_LEFT | DT_EXPANDTABS | DT_WORDBREAK; break;
        case SS_CENTER: format = DT_CENTER | DT_EXPANDTABS | DT_WORDBREAK; break;
        case SS_RIGHT: format = DT_RIGHT | DT_EXPANDTABS | DT_WORDBREAK; break;
        case SS_SIMPLE: return DT_LEFT | DT_SINGLELINE | ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0);
        case SS_LEFTNOWORDWRAP: format = DT_LEFT | DT_EXPANDTABS; break;
        default: return 0;
    }
    if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
    if (style & SS_CENTERIMAGE) format |= DT_SINGLELINE | DT_VCENTER;
    if (style & SS_EDITCONTROL) format |= DT_EDITCONTROL;
    if (style & SS_ENDELLIPSIS) format |= DT_SINGLELINE | DT_END_ELLIPSIS;
    return format;
}

// Where the label may paint, in its client coordinates: its client area, off the painted border of the
// window it lies on (the status line is as wide as the window).
RECT PaintableArea(HWND label) {
    RECT client;
    GetClientRect(label, &client);
    const HWND parent = GetParent(label);
    if (parent != GetAncestor(label, GA_ROOT)) return client;
    RECT inside;
    GetClientRect(parent, &inside);
    InflateRect(&inside, -kFrameBorderWidth, -kFrameBorderWidth);
    MapWindowPoints(parent, label, reinterpret_cast<POINT*>(&inside), 2);
    IntersectRect(&client, &client, &inside);
    return client;
}

// The label's text in its font and colour (grey while disabled) on `dc`, whose origin is the label's top-left
// corner, kept inside what the label may paint.
void DrawLabelText(HWND label, HDC dc) {
    const std::string text = WindowText(label);
    if (text.empty()) return;
    RECT client;
    GetClientRect(label, &client);
    const RECT paintable = PaintableArea(label);
    auto font = reinterpret_cast<HGDIOBJ>(SendMessageA(label, WM_GETFONT, 0, 0));
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, paintable.left, paintable.top, paintable.right, paintable.bottom);
    {
        Selection selected(dc, font ? font : GetStockObject(SYSTEM_FONT));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, IsWindowEnabled(label) ? TextColour(label) : DisabledTextColour());
        DrawTextA(dc, text.data(), static_cast<int>(text.size()), &client, TextFormat(label));
    }
    RestoreDC(dc, saved);
}

// The visible siblings of `control` in z-order direction `towards` (GW_HWNDPREV: above it; GW_HWNDNEXT:
// below) whose windows meet `area` (screen coordinates), the nearest first.
std::vector<HWND> SiblingsMeeting(HWND control, UINT towards, const RECT& area) {
    std::vector<HWND> found;
    for (HWND other = GetWindow(control, towards); other; other = GetWindow(other, towards)) {
        RECT common;
        const RECT place = WindowArea(other);
        if (IsWindowVisible(other) && IntersectRect(&common, &area, &place)) found.push_back(other);
    }
    return found;
}

class LabelMessages : public PaintedChildMessages<LabelMessages> {
  public:
    LabelMessages(SkinEngine& skin, WindowRecord& owner, ControlRecord& record)
        : PaintedChildMessages(skin, owner, record) {}

    LRESULT HandleOwn(UINT message, WPARAM wparam, LPARAM lparam) {
        switch (message) {
            case WM_SETTEXT: return OnSetText(wparam, lparam);
            case WM_ENABLE: return OnEnable();
            case WM_UPDATEUISTATE: return OnUpdateUiState(wparam, lparam);
        }
        return Forward(message, wparam, lparam);
    }

    // Composed off screen: what lies under the label (the veiled background with see-through children, and
    // the controls it lies over), then its text; copied to the screen once, but where a control above it
    // covers it.
    void PaintNow() const {
        const RECT area = ClientArea(control_);
        Snapshot snapshot(control_, area);
        if (!snapshot) return;
        const HDC surface = snapshot.dc();
        const RECT paintable = PaintableArea(control_);
        const int saved = SaveDC(surface);
        IntersectClipRect(surface, paintable.left, paintable.top, paintable.right, paintable.bottom);
        // The see-through background the other children get: the window's painting under a white veil.
        if (skin_.settings().custom_alpha)
            Frame(skin_, owner_).CopySeeThroughBackground(control_, surface, paintable);
        PrintControlsBelow(surface, area);
        RestoreDC(surface, saved);
        DrawLabelText(control_, surface);
        WindowDc dc(control_);
        for (HWND above : SiblingsMeeting(control_, GW_HWNDPREV, area)) {
            if (!CoversWhatIsUnder(above)) continue;
            RECT place = WindowArea(above);
            MapWindowPoints(HWND_DESKTOP, control_, reinterpret_cast<POINT*>(&place), 2);
            ExcludeClipRect(dc.get(), place.left, place.top, place.right, place.bottom);
        }
        BitBlt(dc.get(), 0, 0, snapshot.width(), snapshot.height(), surface, 0, 0, SRCCOPY);
    }

  private:
    // The system's static would paint the new text over the old at once: the text is only stored, and the
    // label composed whole.
    LRESULT OnSetText(WPARAM wparam, LPARAM lparam) {
        const LRESULT result = DefWindowProcA(control_, WM_SETTEXT, wparam, lparam);
        PaintNow();
        return result;
    }

    // Enabled or disabled, the text turns black or grey; the system's static would paint it itself.
    LRESULT OnEnable() {
        PaintNow();
        return 0;
    }

    LRESULT OnUpdateUiState(WPARAM wparam, LPARAM lparam) {
        const LRESULT result = DefWindowProcA(control_, WM_UPDATEUISTATE, wparam, lparam);
        Repaint();
        return result;
    }

    // The controls the label lies over paint themselves into the surface, the lowest first; a see-through one
    // shows what is under it anyway.
    void PrintControlsBelow(HDC surface, const RECT& area) const {
        std::vector<HWND> below = SiblingsMeeting(control_, GW_HWNDNEXT, area);
        for (auto other = below.rbegin(); other != below.rend(); ++other) {
            if (IsSeeThrough(*other)) continue;
            const RECT place = WindowArea(*other);
            const int saved = SaveDC(surface);
            SetViewportOrgEx(surface, place.left - area.left, place.top - area.top, nullptr);
            SendMessageA(*other, WM_PRINT, reinterpret_cast<WPARAM>(surface),
                         PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
            RestoreDC(surface, saved);
        }
    }
};

}  // namespace

void InstallLabels(SkinEngine& skin, size_t window_index, HWND parent) {
    for (HWND child = FindWindowExA(parent, nullptr, "Static", nullptr); child;
         child = FindWindowExA(parent, child, "Static", nullptr)) {
        if (!(GetWindowLongPtrA(child, GWL_EXSTYLE) & WS_EX_TRANSPARENT) || !TextFormat(child) ||
            skin.ChildRecord(child, ChildClass::Label))
            continue;
        if (!skin.SubclassChild(window_index, ChildClass::Label, child,
                                SkinnedChildProcedure<LabelMessages, ChildClass::Label>))
            return;
        InvalidateRect(child, nullptr, FALSE);
    }
}

bool IsSkinnedLabel(HWND window) {
    const SkinEngine* skin = SkinEngine::Instance();
    return skin && skin->ChildRecord(window, ChildClass::Label);
}

void DrawLabelsAbove(HWND control, HDC dc, const RECT& area) {
    // The lowest first, so a label above another writes over it.
    const std::vector<HWND> above = SiblingsMeeting(control, GW_HWNDPREV, area);
    for (auto label = above.rbegin(); label != above.rend(); ++label) {
        if (!IsSkinnedLabel(*label)) continue;
        const RECT place = ClientArea(*label);
        const int saved = SaveDC(dc);
        SetViewportOrgEx(dc, place.left - area.left, place.top - area.top, nullptr);
        DrawLabelText(*label, dc);
        RestoreDC(dc, saved);
    }
}
