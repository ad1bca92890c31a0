// Skinned list controls: the installer, the procedure, the ring and the rows over the veiled background.
#include "skin/list_control.h"

#include <commctrl.h>

#include <utility>

#include "skin/frame.h"
#include "skin/paint_primitives.h"
#include "skin/skin_engine.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
// The background a tree view paints on, keyed out when its face is laid over the veil.
constexpr COLORREF kKeyColour = RGB(255, 0, 255);

// The kinds of list control (a record's kind): what paints and erases their client area.
enum ListKind { kListBox, kListView, kTreeView, kOtherList, kComboList };

using Gdiplus::REAL;

REAL F(LONG value) {
    return static_cast<REAL>(value);
}

// Controls whose rows are composed over the veil: list views draw theirs over whatever background they are
// given, tree views on a key colour that is keyed out. A list box clears its rows and the rest of its area
// opaquely in the DC's background colour, so inside its ring it keeps the system's look.
bool PaintsOverVeil(int kind) {
    return kind == kListView || kind == kTreeView;
}

ViewPosition ViewPositionOf(const ControlRecord& record) {
    HWND control = record.window;
    ViewPosition view;
    view.horizontal = GetScrollPos(control, SB_HORZ);
    view.vertical = GetScrollPos(control, SB_VERT);
    // Asked of the control's own procedure: a message through the skin's would have the skin ask again.
    const UINT top_index = record.kind == kListView  ? LVM_GETTOPINDEX
                           : record.kind == kListBox ? LB_GETTOPINDEX
                                                     : 0;
    if (top_index)
        view.top_row = static_cast<int>(CallWindowProcA(record.previous, control, top_index, 0, 0));
    return view;
}

// Marks the whole client area for repainting; the header, which a scroll does not move, keeps its face.
void RepaintRows(HWND control) {
    RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN);
}

// Whether the control's view moved since this was last asked.
bool NoteScroll(ControlRecord& record) {
    const ViewPosition now = ViewPositionOf(record);
    return std::exchange(record.view, now) != now;
}

// Scrolling copies what the control shows, the veil with it, to the rows' new place and paints only the
// strip that scrolled in, so the background would move with the rows: a control whose view moved, whatever
// moved it (keys, the wheel, the scroll bars, a row made visible), is repainted whole instead.
void RepaintIfScrolled(const SkinEngine& skin, ControlRecord& record) {
    if (NoteScroll(record) && skin.settings().custom_alpha && PaintsOverVeil(record.kind))
        RepaintRows(record.window);
}

class ListMessages {
  public:
    ListMessages(SkinEngine& skin, WindowRecord& owner, ControlRecord& record)
        : skin_(skin), owner_(owner), record_(record), list_(record.window) {}

    LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam) {
        switch (message) {
            case WM_DESTROY: return OnDestroy(wparam, lparam);
            case WM_MOVE: return OnMove(wparam, lparam);
            case WM_SETFOCUS: return OnFocus(true, message, wparam, lparam);
            case WM_KILLFOCUS: return OnFocus(false, message, wparam, lparam);
            case WM_PAINT: return OnPaint(wparam, lparam);
            case WM_ERASEBKGND: return OnEraseBackground(wparam, lparam);
            case WM_NCPAINT: return OnNcPaint(wparam, lparam);
            case WM_MOUSEMOVE: return OnMouseMove(wparam, lparam);
            case WM_MOUSELEAVE: return OnMouseLeave(wparam, lparam);
        }
        return Forward(message, wparam, lparam);
    }

  private:
    LRESULT Forward(UINT message, WPARAM wparam, LPARAM lparam) const {
        return CallWindowProcA(record_.previous, list_, message, wparam, lparam);
    }

    bool SeeThrough() const { return skin_.settings().custom_alpha; }

    // The ring between the window's edge and the client area with its scroll bars: the veiled background and
    // an outline that follows the mouse and the focus. Drawn on the screen at once, a side at a time: a copy
    // of the background under the whole control would cost more than the four sides.
    void PaintRing() const {
        // The list a combo box drops down shows nothing of the skin: it is taken for the mouse and the focus.
        if (record_.kind == kComboList) return;
        const RECT window = WindowArea(list_);
        const LONG w = window.right - window.left, h = window.bottom - window.top;
        const RECT inner = InnerArea(list_);
        const SkinSettings& settings = skin_.settings();
        const bool hot = owner_.hot_child == list_;
        const LONG thickness = hot ? 2 : 1;
        const Gdiplus::ARGB veil = MakeArgb(kWhite, SeeThrough() ? settings.control_alpha : 255);
        const Gdiplus::ARGB outline =
            hot || record_.focused ? MakeArgb(settings.theme_colour, 200) : MakeArgb(kBlack, 90);
        // Each side with the stretch of the outline along its outer edge.
        struct Side {
            RECT area, edge;
        };
        const Side sides[] = {{{0, 0, w, inner.top}, {0, 0, w, thickness}},
                              {{0, inner.bottom, w, h}, {0, h - thickness, w, h}},
                              {{0, inner.top, inner.left, inner.bottom}, {0, 0, thickness, h}},
                              {{inner.right, inner.top, w, inner.bottom}, {w - thickness, 0, w, h}}};
        WindowDc dc(list_, true);
        for (const Side& side : sides) {
            const RECT& area = side.area;
            if (area.right <= area.left || area.bottom <= area.top) continue;
            Snapshot snapshot(list_, {window.left + area.left, window.top + area.top,
                                      window.left + area.right, window.top + area.bottom});
            if (!snapshot) return;
            {
                SurfaceGraphics graphics(snapshot.surface());
                GfxSolidBrush fill;
                fill.CreateSolidFill(veil);
                graphics.FillRectangle(fill, 0, 0, F(snapshot.width()), F(snapshot.height()));
                RECT edge;
                if (IntersectRect(&edge, &side.edge, &area)) {
                    fill.CreateSolidFill(outline);
                    graphics.FillRectangle(fill, F(edge.left - area.left), F(edge.top - area.top),
                                           F(edge.right - edge.left), F(edge.bottom - edge.top));
                }
            }
            BitBlt(dc.get(), area.left, area.top, snapshot.width(), snapshot.height(), snapshot.dc(), 0, 0,
                   SRCCOPY);
        }
    }

    // Copies the veiled background under `area` (client coordinates) into `dc`.
    void PaintVeil(HDC dc, const RECT& area) const { Frame(skin_, owner_).CopySeeThroughBackground(list_, dc, area); }

    // The part `area` of the client area: the veil, the control's own rows drawn over it, copied to `target`
    // once. The header and other children keep what they painted.
    void PaintRowsOverVeil(HDC target, const RECT& area) const {
        RECT client;
        GetClientRect(list_, &client);
        Surface& surface = owner_.list_surface;
        if (!surface.Resize(client.right, client.bottom)) return;
        HDC dc = surface.dc();
        const int saved = SaveDC(dc);
        // The control draws only the rows in the area: it asks its DC for what is visible.
        IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
        PaintVeil(dc, area);
        Forward(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        RestoreDC(dc, saved);
        CopyToClient(target, area, dc);
    }

    // A tree view draws its rows on the key colour, which is keyed out over the veil.
    void PaintTreeOverVeil(HDC target, const RECT& area) const {
        RECT client;
        GetClientRect(list_, &client);
        Surface& veiled = owner_.list_surface;
        Surface tree;
        if (!veiled.Resize(client.right, client.bottom) || !tree.Resize(client.right, client.bottom)) return;
        IntersectClipRect(tree.dc(), area.left, area.top, area.right, area.bottom);
        Forward(WM_PAINT, reinterpret_cast<WPARAM>(tree.dc()), 0);
        PaintVeil(veiled.dc(), area);
        const int w = area.right - area.left, h = area.bottom - area.top;
        TransparentBlt(veiled.dc(), area.left, area.top, w, h, tree.dc(), area.left, area.top, w, h,
                       kKeyColour);
        CopyToClient(target, area, veiled.dc());
    }

    void CopyToClient(HDC target, const RECT& area, HDC source) const {
        const int saved = SaveDC(target);
        ExcludeOpaqueChildren(list_, target);
        BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, source, area.left,
               area.top, SRCCOPY);
        RestoreDC(target, saved);
    }

    LRESULT OnDestroy(WPARAM wparam, LPARAM lparam) {
        owner_.ForgetChild(list_);
        return Forward(WM_DESTROY, wparam, lparam);
    }

    LRESULT OnMove(WPARAM wparam, LPARAM lparam) {
        // Moved, the control lies over another part of the background: the ring, the rows and the header.
        RedrawWindow(list_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        return Forward(WM_MOVE, wparam, lparam);
    }

    LRESULT OnFocus(bool focused, UINT message, WPARAM wparam, LPARAM lparam) {
        record_.focused = focused;
        const LRESULT result = Forward(message, wparam, lparam);
        PaintRing();
        return result;
    }

    LRESULT OnPaint(WPARAM wparam, LPARAM lparam) {
        const bool over_veil = SeeThrough() && PaintsOverVeil(record_.kind);
        // The control paints what scrolled in right after scrolling: the paint takes in all of it, as the
        // rows scrolled together with the veil.
        const bool scrolled = over_veil && !wparam && NoteScroll(record_);
        if (scrolled) RepaintRows(list_);
        RECT update{}, client{};
        GetUpdateRect(list_, &update, FALSE);
        GetClientRect(list_, &client);
        LRESULT result = 0;
        if (!over_veil || wparam) {
            result = Forward(WM_PAINT, wparam, lparam);
        } else {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(list_, &paint);
            if (record_.kind == kTreeView)
                PaintTreeOverVeil(dc, paint.rcPaint);
            else
                PaintRowsOverVeil(dc, paint.rcPaint);
            EndPaint(list_, &paint);
        }
        // A repaint of the whole control may follow a new background (the window's frame repainted): the ring
        // is painted again with it. A row's repaint or a scroll leaves it alone.
        if (!scrolled && EqualRect(&update, &client)) PaintRing();
        return result;
    }

    LRESULT OnEraseBackground(WPARAM wparam, LPARAM lparam) {
        if (!SeeThrough() || record_.kind == kListBox || record_.kind == kComboList)
            return Forward(WM_ERASEBKGND, wparam, lparam);
        const auto dc = reinterpret_cast<HDC>(wparam);
        SetBkMode(dc, TRANSPARENT);
        // Rows painted over the veil cover every pixel with it; the rest show it from the erase.
        if (record_.kind == kOtherList) {
            RECT client;
            GetClientRect(list_, &client);
            PaintVeil(dc, client);
            SetTextColor(dc, TextColour(list_));
        }
        return 1;
    }

    LRESULT OnNcPaint(WPARAM wparam, LPARAM lparam) {
        // A combo box's list has no ring: its frame is the system's, scroll bar or not.
        if (record_.kind == kComboList) return Forward(WM_NCPAINT, wparam, lparam);
        LRESULT result = 0;
        // The system paints only the scroll bars and the box between them; the rest of the frame is the ring.
        if (GetWindowLongPtrA(list_, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL)) {
            RegionHandle bars = ScrollBarScreenRegion(list_);
            result = DefWindowProcA(list_, WM_NCPAINT, reinterpret_cast<WPARAM>(bars.get()), lparam);
        }
        PaintRing();
        return result;
    }

    LRESULT OnMouseMove(WPARAM wparam, LPARAM lparam) {
        if (owner_.EnterHover(list_)) PaintRing();
        return Forward(WM_MOUSEMOVE, wparam, lparam);
    }

    LRESULT OnMouseLeave(WPARAM wparam, LPARAM lparam) {
        owner_.LeaveHover(list_);
        PaintRing();
        return Forward(WM_MOUSELEAVE, wparam, lparam);
    }

    SkinEngine& skin_;
    WindowRecord& owner_;
    ControlRecord& record_;
    HWND list_;
};

LRESULT CALLBACK SkinnedListProcedure(HWND list, UINT message, WPARAM wparam, LPARAM lparam) {
    SkinEngine* skin = SkinEngine::Instance();
    const SkinEngine::FoundChild found =
        skin ? skin->FindChild(list, ChildClass::List) : SkinEngine::FoundChild{};
    if (!found.record) return CallPreviousProcedure(list, message, wparam, lparam);
    const LRESULT result = ListMessages(*skin, *found.owner, *found.record).Handle(message, wparam, lparam);
    // The message may have ended the window or its skin: the record is looked up again.
    if (message == WM_DESTROY || message == WM_NCDESTROY) return result;
    skin = SkinEngine::Instance();
    if (ControlRecord* after = skin ? skin->FindChild(list, ChildClass::List).record : nullptr)
        RepaintIfScrolled(*skin, *after);
    return result;
}

void SkinListControl(SkinEngine& skin, size_t window_index, HWND control, ListKind kind) {
    if (skin.ChildRecord(control, ChildClass::List)) return;
    ControlRecord* record = skin.SubclassChild(window_index, ChildClass::List, control, SkinnedListProcedure);
    if (!record) return;
    record->kind = kind;
    record->focused = GetFocus() == control;
    record->view = ViewPositionOf(*record);
    if (skin.settings().custom_alpha) {
        // Rows drawn without a background of their own, so the veil shows behind their text.
        if (kind == kListView) SendMessageA(control, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(CLR_NONE));
        if (kind == kTreeView) SendMessageA(control, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(kKeyColour));
    }
    RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

template <class Take>
void ForEachChild(HWND parent, const char* class_name, Take take) {
    for (HWND child = FindWindowExA(parent, nullptr, class_name, nullptr); child;
         child = FindWindowExA(parent, child, class_name, nullptr))
        take(child);
}

}  // namespace

void InstallListControls(SkinEngine& skin, size_t window_index, HWND parent) {
    auto skin_as = [&](ListKind kind) {
        return [&, kind](HWND child) { SkinListControl(skin, window_index, child, kind); };
    };
    ForEachChild(parent, "ListBox", skin_as(kListBox));
    // The list a combo box drops down is no child of the parent: the combo box names it.
    ForEachChild(parent, "ComboBox", [&](HWND combo) {
        COMBOBOXINFO info{sizeof info};
        if (GetComboBoxInfo(combo, &info) && info.hwndList &&
            !(GetWindowLongPtrA(info.hwndList, GWL_STYLE) & LBS_OWNERDRAWFIXED))
            SkinListControl(skin, window_index, info.hwndList, kComboList);
    });
    ForEachChild(parent, WC_LISTVIEWA, [&](HWND list) {
        if (!(GetWindowLongPtrA(list, GWL_STYLE) & LVS_OWNERDRAWFIXED))
            SkinListControl(skin, window_index, list, kListView);
    });
    ForEachChild(parent, WC_TREEVIEWA, skin_as(kTreeView));
    ForEachChild(parent, WC_IPADDRESSA, skin_as(kOtherList));
    ForEachChild(parent, DATETIMEPICK_CLASSA, skin_as(kOtherList));
}
