// Skinned header controls: the installer, the procedure and the painter of the items' faces and titles.
#include "skin/header.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "skin/painted_child.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr int kDividerZone = 5;  // pixels either side of a divider that belong to no item
constexpr int kMaxTitle = 260;

using Gdiplus::REAL;

REAL F(LONG value) {
    return static_cast<REAL>(value);
}

struct ItemLook {
    bool hot = false;
    bool pressed = false;
};

// The face of one item over the background in `rect`: the veil, the gradient, the hot or pressed shade and
// the separator at its right edge.
void PaintItemFace(GfxGraphics& graphics, const SkinSettings& settings, bool clickable, const RECT& rect,
                   ItemLook look) {
    const REAL x = F(rect.left), y = F(rect.top), w = F(rect.right - rect.left),
               h = F(rect.bottom - rect.top);
    const COLORREF theme = settings.theme_colour;
    GfxSolidBrush veil;
    veil.CreateSolidFill(MakeArgb(kWhite, settings.custom_alpha ? settings.control_alpha : 255));
    graphics.FillRectangle(veil, x, y, w, h);
    auto shade = [&](Gdiplus::ARGB top, Gdiplus::ARGB bottom) {
        graphics.FillRectangle(VerticalGradient(y, h, top, bottom), x, y, w, h);
    };
    if (clickable)
        shade(MakeArgb(kWhite, 80), MakeArgb(theme, 120));
    else
        shade(MakeArgb(theme, 60), MakeArgb(theme, 10));
    if (clickable && look.hot) shade(MakeArgb(theme, 60), MakeArgb(kBlack, 30));
    if (clickable && look.pressed) shade(MakeArgb(kBlack, 30), MakeArgb(kWhite, 120));
    GfxPen separator;
    separator.CreatePen2(VerticalGradient(y, h, MakeArgb(kBlack, 60), MakeArgb(kWhite, 50)), 1);
    graphics.DrawLine(separator, x + w - 1, y, x + w - 1, y + h);
}

// The item's image and title, placed by its format's alignment; a title too wide for the item is cut short
// with an ellipsis.
void PaintItemContent(GfxGraphics& graphics, HDC dc, const ControlRecord& record, int index, const RECT& rect,
                      const GfxFont& font, int margin) {
    HWND header = record.window;
    char title[kMaxTitle] = {};
    HDITEMA item{};
    item.mask = HDI_TEXT | HDI_FORMAT | HDI_IMAGE;
    item.pszText = title;
    item.cchTextMax = kMaxTitle;
    if (!SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)))
        return;
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;

    // The header only borrows its image list: it is its owner's to destroy, never the skin's.
    const auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(header, HDM_GETIMAGELIST, 0, 0));
    int image_width = 0, image_height = 0;
    const bool has_image =
        (item.fmt & HDF_IMAGE) && images && ImageList_GetIconSize(images, &image_width, &image_height);
    if (!has_image) image_width = image_height = 0;

    GfxStringFormat format;
    format.CreateStringFormat(Gdiplus::StringFormatFlagsNoWrap);
    Gdiplus::RectF bounds;
    graphics.MeasureString(title, font, {0, 0, 100000, 1000}, bounds, &format);
    const int text_width = static_cast<int>(std::floor(bounds.Width));
    const bool crowded = image_width + margin + text_width >= width;
    int x = margin;
    if (!crowded && (item.fmt & HDF_RIGHT))
        x = width - image_width - text_width;
    else if (!crowded && (item.fmt & HDF_CENTER))
        x = (width - image_width - margin - text_width) / 2;

    if (has_image)
    {
        ImageList_Draw(images, item.iImage, dc, rect.left + x, rect.top + (height - image_height) / 2,
                       ILD_TRANSPARENT);
        GdiFlush();  // before GDI+ draws into the same pixels
    }
    const REAL text_left = F(rect.left + x + image_width), text_room = F(width - image_width - 2 * margin);
    if (text_room <= 0) return;
    GfxSolidBrush ink;
    ink.CreateSolidFill(MakeArgb(kBlack, 255));
    // The text is clipped to its item: GDI+ does not keep it inside the layout rectangle.
    graphics.SetClipRect(F(rect.left), F(rect.top), F(width), F(height));
    graphics.DrawString(FitTextToWidth(graphics, title, font, format, text_room), font, ink,
                        {text_left, F(rect.top), text_room, F(height)}, &format);
    graphics.ResetClip();
}

class HeaderMessages : public PaintedChildMessages<HeaderMessages> {
  public:
    HeaderMessages(SkinEngine& skin, WindowRecord& owner, ControlRecord& record)
        : PaintedChildMessages(skin, owner, record) {}

    LRESULT HandleOwn(UINT message, WPARAM wparam, LPARAM lparam) {
        switch (message) {
            case WM_MOUSEMOVE: return OnMouseMove(wparam, lparam);
            case WM_LBUTTONDOWN: return OnButton(true, message, wparam, lparam);
            case WM_LBUTTONUP: return OnButton(false, message, wparam, lparam);
        }
        return Forward(message, wparam, lparam);
    }

    // Every item over the background, composed off screen and copied to the header once. The last item
    // reaches the header's right edge, so the face covers the full width.
    void PaintNow() const {
        if (!IsWindowVisible(control_)) return;
        Snapshot snapshot(control_, WindowArea(control_));
        if (!snapshot) return;
        const int count = static_cast<int>(Forward(HDM_GETITEMCOUNT, 0, 0));
        const int margin = static_cast<int>(Forward(HDM_GETBITMAPMARGIN, 0, 0));
        const bool clickable = GetWindowLongPtrA(control_, GWL_STYLE) & HDS_BUTTONS;
        {
            SurfaceGraphics graphics(snapshot.surface());
            const GfxFont font = MakeFont(record_.font_face, record_.font_size, record_.font_style);
            if (count <= 0)
                PaintItemFace(graphics, skin_.settings(), clickable, {0, 0, snapshot.width(), snapshot.height()}, {});
            for (int i = 0; i < count; ++i) {
                RECT rect{};
                Forward(HDM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&rect));
                if (i == count - 1) rect.right = std::max<LONG>(rect.right, snapshot.width());
                if (rect.right <= rect.left) continue;
                const ItemLook look{Hovered() && record_.hot_item == i + 1, record_.pressed_item == i + 1};
                PaintItemFace(graphics, skin_.settings(), clickable, rect, look);
                PaintItemContent(graphics, snapshot.dc(), record_, i, rect, font, margin);
            }
        }
        WindowDc dc(control_, true);
        BitBlt(dc.get(), 0, 0, snapshot.width(), snapshot.height(), snapshot.dc(), 0, 0, SRCCOPY);
    }

  private:
    LRESULT OnMouseMove(WPARAM wparam, LPARAM lparam) {
        const LRESULT result = Forward(WM_MOUSEMOVE, wparam, lparam);
        const int hot = HotItemAt(control_, static_cast<short>(LOWORD(lparam)));
        const bool changed = owner_.EnterHover(control_) | (record_.hot_item != hot);
        record_.hot_item = hot;
        // Repainted only when the hot item changes, and not while a press or a column resize goes on.
        if (changed && !record_.mouse_down) Repaint();
        return result;
    }

    LRESULT OnButton(bool down, UINT message, WPARAM wparam, LPARAM lparam) {
        record_.mouse_down = down;
        record_.pressed_item = down ? record_.hot_item : 0;
        // The system repaints the pressed item, and the released one.
        return Forward(message, wparam, lparam);
    }
};

}  // namespace

void InstallHeaders(SkinEngine& skin, size_t window_index, HWND parent) {
    constexpr WNDPROC procedure = SkinnedChildProcedure<HeaderMessages, ChildClass::Header>;
    skin.SubclassChildren(window_index, parent, WC_HEADERA, ChildClass::Header, procedure);
    for (HWND list = FindWindowExA(parent, nullptr, WC_LISTVIEWA, nullptr); list;
         list = FindWindowExA(parent, list, WC_LISTVIEWA, nullptr))
        skin.SubclassChildren(window_index, list, WC_HEADERA, ChildClass::Header, procedure);
    // A list view hands its font on to its header: the titles are drawn in the list's font.
    if (WindowRecord* record = skin.table().At(window_index))
        for (ControlRecord& header : record->Children(ChildClass::Header)) ReadControlFont(header.window, header);
}

int HotItemAt(HWND header, int x) {
    const int count = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        RECT rect{};
        SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&rect));
        if (x >= rect.left + kDividerZone && x <= rect.right - kDividerZone) return i + 1;
    }
    return 0;
}
