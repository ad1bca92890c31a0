// Shared skin painting primitives.
#include "skin/paint_primitives.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "runtime/text.h"
#include "skin/frame.h"
#include "skin/skin_engine.h"

namespace {

constexpr char kEllipsis[] = "…";
constexpr COLORREF kFocusAzure = RGB(0x22, 0xCA, 0xDD);

}  // namespace

Gdiplus::ARGB MakeArgb(COLORREF colour, int alpha, bool use_alpha) {
    Gdiplus::ARGB a = use_alpha ? static_cast<Gdiplus::ARGB>(std::clamp(alpha, 0, 255)) : 255;
    return a << 24 | static_cast<Gdiplus::ARGB>(GetRValue(colour)) << 16 |
           static_cast<Gdiplus::ARGB>(GetGValue(colour)) << 8 | GetBValue(colour);
}

bool AddRoundedRectangle(GfxPath& path, float x, float y, float width, float height, int r) {
    const float d = static_cast<float>(std::clamp(r, 1, 100));
    // The bottom right arc is a pixel larger, so a stroked outline closes on the last pixel row and column.
    return path.AddPathArc(x + width - d, y, d, d, 270, 90) &&
           path.AddPathArc(x + width - d - 1, y + height - d - 1, d + 1, d + 1, 0, 90) &&
           path.AddPathArc(x, y + height - d, d, d, 90, 90) && path.AddPathArc(x, y, d, d, 180, 90) &&
           path.ClosePathFigure();
}

GfxPath RoundedRectanglePath(float x, float y, float width, float height, int r) {
    GfxPath path;
    path.CreatePath();
    AddRoundedRectangle(path, x, y, width, height, r);
    return path;
}

bool StrokeRoundedRectangle(GfxGraphics& graphics, const GfxPen& pen, float x, float y, float width, float height,
                            int r) {
    const float d = static_cast<float>(std::clamp(r, 1, 100)), big = d + 1;
    auto corner = [&](float left, float top, float size, float start) {
        GfxPath path;
        return path.CreatePath() && path.AddPathArc(left, top, size, size, start, 90) && graphics.DrawPath(pen, path);
    };
    return corner(x + width - d, y, d, 270) && corner(x + width - big, y + height - big, big, 0) &&
           corner(x, y + height - d, d, 90) && corner(x, y, d, 180) &&
           graphics.DrawLine(pen, x + d / 2, y, x + width - d / 2, y) &&
           graphics.DrawLine(pen, x + width, y + d / 2, x + width, y + height - big / 2) &&
           graphics.DrawLine(pen, x + width - big / 2, y + height, x + d / 2, y + height) &&
           graphics.DrawLine(pen, x, y + height - d / 2, x, y + d / 2);
}

bool AddRoundedTopRectangle(GfxPath& path, int x, int y, int width, int height, int r) {
    const auto f = [](int v) { return static_cast<Gdiplus::REAL>(v); };
    return path.AddPathLine(f(x), f(y + height), f(x), f(y + r)) && path.AddPathArc(f(x), f(y), f(r), f(r), 180, 90) &&
           path.AddPathLine(f(x + r), f(y), f(x + width - r), f(y)) &&
           path.AddPathArc(f(x + width - r), f(y), f(r), f(r), 270, 90) &&
           path.AddPathLine(f(x + width), f(y + r), f(x + width), f(y + height));
}

GfxLinearBrush VerticalGradient(Gdiplus::REAL y, Gdiplus::REAL height, Gdiplus::ARGB top, Gdiplus::ARGB bottom) {
    // The ends lie a pixel beyond the area, so the tiling of the gradient never shows on its first or last row.
    GfxLinearBrush brush;
    brush.CreateLineBrush({0, y - 1}, {0, y + height + 1}, top, bottom);
    return brush;
}

GfxLinearBrush HorizontalGradient(Gdiplus::REAL x, Gdiplus::REAL width, Gdiplus::ARGB left, Gdiplus::ARGB right) {
    // Beyond the area by a pixel at each end, as VerticalGradient's.
    GfxLinearBrush brush;
    brush.CreateLineBrush({x - 1, 0}, {x + width + 1, 0}, left, right);
    return brush;
}

GfxFont MakeFont(const std::string& face, Gdiplus::REAL size, INT style) {
    GfxFont font;
    if (font.CreateFromName(face, size, style, Gdiplus::UnitPixel)) return font;
    LOGFONTA gui{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui);
    if (font.CreateFromName(gui.lfFaceName, size, style, Gdiplus::UnitPixel)) return font;
    WindowDc screen(nullptr);
    font.CreateFromDC(screen.get(), static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    return font;
}

void ReadControlFont(HWND control, ControlRecord& record) {
    WindowDc dc(control);
    GfxFont font;
    GfxFontFamily family;
    const auto handle = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    if (!font.CreateFromDC(dc.get(), handle ? handle : static_cast<HFONT>(GetStockObject(SYSTEM_FONT)))) return;
    record.font_face = font.GetFamily(family) ? family.GetFamilyName() : "";
    if (record.font_face.empty()) record.font_face = "宋体";
    record.font_size = font.GetFontSize();
    if (record.font_size <= 0) record.font_size = 12;
    record.font_style = font.GetFontStyle();
}

COLORREF TextColour(HWND control) {
    return static_cast<COLORREF>(reinterpret_cast<UINT_PTR>(GetPropA(control, kTextColourProperty)));
}

void DrawGlyph(GfxGraphics& graphics, const GfxBitmap& glyph, int x, int y) {
    graphics.DrawImageRectRect(glyph, static_cast<Gdiplus::REAL>(x), static_cast<Gdiplus::REAL>(y),
                               static_cast<Gdiplus::REAL>(glyph.GetImageWidth()),
                               static_cast<Gdiplus::REAL>(glyph.GetImageHeight()));
}

bool GlowOutline(GfxGraphics& graphics, const GfxPath& path, Gdiplus::REAL width, COLORREF colour, int alpha) {
    GfxPen pen;
    return pen.CreatePen1(MakeArgb(colour, alpha), width) && graphics.DrawPath(pen, path);
}

void FocusGlow(GfxGraphics& graphics, const GfxPath& path) {
    GlowOutline(graphics, path, 3, kFocusAzure, 120);
}

SurfaceGraphics::SurfaceGraphics(const Surface& surface) {
    GdiFlush();
    if (pixels_.CreateBitmapFromScan0(surface.width(), surface.height(), surface.width() * 4, PixelFormat32bppRGB,
                                      surface.pixels()))
        FromImage(pixels_);
}

Snapshot::Snapshot(HWND control, const RECT& area) {
    SkinEngine* skin = SkinEngine::Instance();
    HWND root = GetAncestor(control, GA_ROOT);
    WindowRecord* record = skin ? skin->table().RecordOf(root) : nullptr;
    if (!record || !surface_.Resize(area.right - area.left, area.bottom - area.top)) return;
    // Inside tinted containers the background wears their tints, the outermost first; inside a window that
    // keeps a painted layer, the background is that layer, under the tints of the containers within it.
    std::vector<const ContainerRecord*> tinted;
    const PaintedLayer* layer = nullptr;
    for (HWND inside = control; inside && inside != root; inside = GetParent(inside)) {
        if (inside != control && (layer = record->Layer(inside))) break;
        const ContainerRecord* container = record->Container(inside);
        if (container && container->tint) tinted.insert(tinted.begin(), container);
    }
    if (layer) {
        const RECT under = WindowArea(layer->window);
        BitBlt(surface_.dc(), 0, 0, surface_.width(), surface_.height(), layer->dc, area.left - under.left,
               area.top - under.top, SRCCOPY);
    } else {
        // A frame that is out of date is brought up to date first, so no control is painted over an old one.
        Frame frame(*skin, *record);
        if (frame.NeedsFullPaint()) frame.Paint(nullptr);
        POINT origin{0, 0};
        ClientToScreen(root, &origin);
        BitBlt(surface_.dc(), 0, 0, surface_.width(), surface_.height(), record->frame.dc(), area.left - origin.x,
               area.top - origin.y, SRCCOPY);
    }
    if (tinted.empty()) return;
    SurfaceGraphics graphics(surface_);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    for (const ContainerRecord* container : tinted) {
        const RECT place = WindowArea(container->control.window);
        GfxSolidBrush tint;
        tint.CreateSolidFill(MakeArgb(container->tint, container->alpha));
        graphics.FillPath(tint, RoundedRectanglePath(static_cast<float>(place.left - area.left),
                                                     static_cast<float>(place.top - area.top),
                                                     static_cast<float>(place.right - place.left - 1),
                                                     static_cast<float>(place.bottom - place.top - 1), 5));
    }
}

RECT WindowArea(HWND window) {
    RECT area{};
    GetWindowRect(window, &area);
    return area;
}

RECT ClientArea(HWND window) {
    RECT area{};
    GetClientRect(window, &area);
    MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&area), 2);
    return area;
}

bool HasFrame(HWND window) {
    const RECT whole = WindowArea(window), client = ClientArea(window);
    return !EqualRect(&whole, &client);
}

RECT InnerArea(HWND control) {
    const RECT window = WindowArea(control);
    RECT inner = ClientArea(control);
    const LONG_PTR style = GetWindowLongPtrA(control, GWL_STYLE);
    for (auto [bit, id] : {std::pair{WS_VSCROLL, OBJID_VSCROLL}, {WS_HSCROLL, OBJID_HSCROLL}}) {
        SCROLLBARINFO bar{sizeof bar};
        if (!(style & bit) || !GetScrollBarInfo(control, id, &bar) || (bar.rgstate[0] & STATE_SYSTEM_INVISIBLE))
            continue;
        // The bounding rectangle of the client area and the bar takes in the box between two bars.
        UnionRect(&inner, &inner, &bar.rcScrollBar);
    }
    OffsetRect(&inner, -window.left, -window.top);
    return inner;
}

RegionHandle ScrollBarScreenRegion(HWND control) {
    RECT inner = InnerArea(control);
    const RECT client = ClientArea(control), window = WindowArea(control);
    OffsetRect(&inner, window.left, window.top);
    RegionHandle region(CreateRectRgn(0, 0, 0, 0)), all(CreateRectRgnIndirect(&inner)),
        text(CreateRectRgnIndirect(&client));
    CombineRgn(region.get(), all.get(), text.get(), RGN_DIFF);
    return region;
}

RECT PlaceInWindow(HWND control, HWND window) {
    RECT place{};
    GetClientRect(control, &place);
    MapWindowPoints(control, window, reinterpret_cast<POINT*>(&place), 2);
    return place;
}

BitmapHandle CopyToBitmap(HDC source, const RECT& place) {
    const int width = place.right - place.left, height = place.bottom - place.top;
    BitmapHandle bitmap(CreateCompatibleBitmap(source, width, height));
    MemoryDc dc(CreateCompatibleDC(source));
    if (!bitmap || !dc) return {};
    // The copy goes into the new bitmap, so it is selected first and given back before it is handed out.
    Selection selected(dc.get(), bitmap.get());
    BitBlt(dc.get(), 0, 0, width, height, source, place.left, place.top, SRCCOPY);
    return bitmap;
}

BitmapHandle SeeThroughBackground(HDC frame, const RECT& place, int alpha) {
    BitmapHandle bitmap = CopyToBitmap(frame, place);
    if (!bitmap || alpha <= 0) return bitmap;
    // One white pixel stretched over the copy at the veil's opacity: GDI blends in place, where GDI+ drawing
    // on a DC reads the pixels out and writes them back.
    MemoryDc dc(CreateCompatibleDC(frame)), white(CreateCompatibleDC(frame));
    BitmapHandle pixel(CreateCompatibleBitmap(frame, 1, 1));
    if (!dc || !white || !pixel) return bitmap;
    Selection selected(dc.get(), bitmap.get()), selected_white(white.get(), pixel.get());
    SetPixelV(white.get(), 0, 0, RGB(255, 255, 255));
    const BLENDFUNCTION veil{AC_SRC_OVER, 0, static_cast<BYTE>(std::min(alpha, 255)), 0};
    AlphaBlend(dc.get(), 0, 0, place.right - place.left, place.bottom - place.top, white.get(), 0, 0, 1, 1, veil);
    return bitmap;
}

std::string FitTextToWidth(GfxGraphics& graphics, const std::string& text, const GfxFont& font,
                           const GfxStringFormat& format, Gdiplus::REAL width) {
    auto fits = [&](const std::string& candidate) {
        Gdiplus::RectF bounds;
        graphics.MeasureString(candidate, font, {0, 0, 100000, 1000}, bounds, &format);
        return bounds.Width <= width;
    };
    if (text.empty() || fits(text)) return text;
    std::vector<size_t> ends;  // byte length of each prefix that ends on a character boundary
    for (size_t pos = 0; pos < text.size(); pos += CharLength(text, pos)) ends.push_back(pos);
    size_t low = 0, high = ends.size();  // the longest fitting prefix has between low and high characters
    while (low + 1 < high) {
        size_t middle = (low + high) / 2;
        if (fits(text.substr(0, ends[middle]) + kEllipsis)) low = middle; else high = middle;
    }
    return text.substr(0, ends[low]) + kEllipsis;
}

std::string ClassName(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

COLORREF DisabledTextColour() {
    return GetSysColor(COLOR_GRAYTEXT);
}

HBRUSH DisabledFieldBrush(HDC dc) {
    SetDCBrushColor(dc, kDisabledFieldColour);
    return static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
}

void PaintDisabledFace(GfxGraphics& graphics, int width, int height) {
    const auto w = static_cast<Gdiplus::REAL>(width), h = static_cast<Gdiplus::REAL>(height);
    GfxSolidBrush grey;
    grey.CreateSolidFill(MakeArgb(kDisabledFaceColour, 255));
    graphics.FillRectangle(grey, 0, 0, w, h);
    GfxPath face = RoundedRectanglePath(0, 0, w - 1, h - 1, 5);
    GfxLinearBrush shade = VerticalGradient(0, h, 0, 0);
    const Gdiplus::ARGB colours[] = {MakeArgb(RGB(255, 255, 255), 50), MakeArgb(RGB(0, 0, 0), 10),
                                     MakeArgb(RGB(255, 255, 255), 50)};
    const Gdiplus::REAL positions[] = {0, 0.5f, 1};
    shade.SetLinePresetBlend(colours, positions);
    graphics.FillPath(shade, face);
    GfxPen pen;
    pen.CreatePen1(MakeArgb(RGB(0, 0, 0), 80), 1);
    graphics.DrawPath(pen, face);
}

void DrawControlText(GfxGraphics& graphics, const ControlRecord& record, const std::string& text,
                     const GfxStringFormat& format, const Gdiplus::RectF& layout, std::optional<COLORREF> colour) {
    if (text.empty()) return;
    GfxFont font = MakeFont(record.font_face, record.font_size, record.font_style);
    GfxSolidBrush brush;
    brush.CreateSolidFill(MakeArgb(colour.value_or(TextColour(record.window)), 255));
    graphics.DrawString(text, font, brush, layout, &format);
}
