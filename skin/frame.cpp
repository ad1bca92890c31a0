// Painting the frame of a skinned window and answering the mouse on it.
#include "skin/frame.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "runtime/control.h"
#include "skin/label.h"
#include "skin/paint_primitives.h"

namespace {

constexpr int kMargin = 3;  // width of the resize edges, and the inset of the caption's content
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);

using Gdiplus::REAL;

REAL F(int value) {
    return static_cast<REAL>(value);
}

// A caption button's face: a rectangle, or for the close button, which sits in the window's rounded
// corner, one with a rounded top-right corner.
GfxPath FacePath(const CaptionButton& button, REAL x, REAL y, REAL width, REAL height) {
    GfxPath path;
    path.CreatePath();
    if (button.kind != CaptionKind::Close) {
        path.AddPathRectangle(x, y, width, height);
        return path;
    }
    constexpr REAL r = 5;
    path.AddPathLine(x, y, x + width - r, y);
    path.AddPathArc(x + width - r, y, r, r, 270, 90);
    path.AddPathLine(x + width, y + r, x + width, y + height);
    path.AddPathLine(x + width, y + height, x, y + height);
    path.ClosePathFigure();
    return path;
}

LPCSTR CursorOf(FrameZone zone) {
    switch (zone) {
        case FrameZone::Left:
        case FrameZone::Right: return IDC_SIZEWE;
        case FrameZone::Top:
        case FrameZone::Bottom: return IDC_SIZENS;
        case FrameZone::TopLeft:
        case FrameZone::BottomRight: return IDC_SIZENWSE;
        case FrameZone::TopRight:
        case FrameZone::BottomLeft: return IDC_SIZENESW;
        case FrameZone::None: break;
    }
    return IDC_ARROW;
}

// `text` in `colour` with a one-pixel halo around it, readable on any background.
void DrawHaloText(GfxGraphics& graphics, const std::string& text, const GfxFont& font, const GfxStringFormat& format,
                  const Gdiplus::RectF& layout, COLORREF colour, COLORREF halo_colour) {
    GfxSolidBrush halo, face;
    halo.CreateSolidFill(MakeArgb(halo_colour, 150));
    face.CreateSolidFill(MakeArgb(colour, 255));
    for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
        graphics.DrawString(text, font, halo, {layout.X + F(dx), layout.Y + F(dy), layout.Width, layout.Height}, &format);
    graphics.DrawString(text, font, face, layout, &format);
}

// A copy of `image` whose inner vertical edge (the right one when `right_edge`) and bottom edge fade into
// `colour`, so an image in a corner meets the window's colour without a seam.
GfxBitmap EdgeBlended(const GfxBitmap& image, COLORREF colour, bool right_edge) {
    const REAL w = F(static_cast<int>(image.GetImageWidth())), h = F(static_cast<int>(image.GetImageHeight()));
    const REAL band = std::floor(w * 0.3f);
    GfxBitmap blended;
    GfxGraphics graphics;
    if (!blended.CreateBitmapFromScan0(static_cast<INT>(w), static_cast<INT>(h)) || !graphics.FromImage(blended))
        return blended;
    graphics.DrawImageRectRect(image, 0, 0, w, h);
    const Gdiplus::ARGB clear = MakeArgb(kWhite, 0), solid = MakeArgb(colour, 255);
    // The gradients end a pixel beyond the image, so their tiling never shows on its last row or column.
    GfxLinearBrush across, down;
    across.CreateLineBrush({right_edge ? w - band : band, 0}, {right_edge ? w + 1 : -1, 0}, clear, solid);
    graphics.FillRectangle(across, right_edge ? w - band : 0, 0, band, h);
    down.CreateLineBrush({0, h - band}, {0, h + 1}, clear, solid);
    graphics.FillRectangle(down, 0, h - band, w, band);
    return blended;
}

}  // namespace

COLORREF RepresentativeColour(const GfxBitmap& image) {
    constexpr int kSamples = 2000;
    const UINT width = image.GetImageWidth(), height = image.GetImageHeight();
    if (!width || !height) return 0;
    std::minstd_rand pick(kSamples);  // the same pixels every time, so the same image gives the same colour
    unsigned long long red = 0, green = 0, blue = 0;
    for (int i = 0; i < kSamples; ++i) {
        const Gdiplus::ARGB pixel = image.BitmapGetPixel(static_cast<INT>(pick() % width), static_cast<INT>(pick() % height));
        red += pixel >> 16 & 0xFF;
        green += pixel >> 8 & 0xFF;
        blue += pixel & 0xFF;
    }
    return RGB(red / kSamples, green / kSamples, blue / kSamples);
}

Background PrepareBackground(const GfxBitmap& image, BackgroundMode mode, COLORREF colour) {
    Background background;
    background.width = static_cast<int>(image.GetImageWidth());
    background.height = static_cast<int>(image.GetImageHeight());
    background.mode = mode;
    background.colour = colour;
    const Gdiplus::ARGB under = MakeArgb(colour, 255, false);
    if (mode == BackgroundMode::TopLeft || mode == BackgroundMode::TopRight)
        background.bitmap.Reset(EdgeBlended(image, colour, mode == BackgroundMode::TopLeft).CreateHBITMAPFromBitmap(under));
    else
        background.bitmap.Reset(image.CreateHBITMAPFromBitmap(under));
    return background;
}

RECT Frame::Client() const {
    RECT client{};
    GetClientRect(record_.window, &client);
    return client;
}

bool Frame::NeedsFullPaint() const {
    RECT client = Client();
    return record_.repaint_pending || !record_.frame || record_.frame.width() != client.right ||
           record_.frame.height() != client.bottom;
}

void Frame::Paint(HDC target) {
    const RECT client = Client();
    const int width = client.right, height = client.bottom;
    if (width <= 0 || height <= 0 || !record_.frame.Resize(width, height)) return;
    ApplyRegion(width, height);
    HDC dc = record_.frame.dc();
    PaintBackground(dc, width, height);
    if (record_.has_caption) {
        {
            SurfaceGraphics graphics(record_.frame);
            graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
            PaintBorder(graphics, width, height);
        }
        // The clean caption strip, to redraw a button or the title from without repainting the frame.
        if (record_.caption_cache.Resize(width, record_.caption_height))
            BitBlt(record_.caption_cache.dc(), 0, 0, width, record_.caption_height, dc, 0, 0, SRCCOPY);
        if (record_.show_title) PaintTitle(dc, WindowText(record_.window));
        SurfaceGraphics graphics(record_.frame);
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        for (size_t n = 1; n <= record_.buttons.size(); ++n) PaintButton(graphics, static_cast<int>(n), 0);
    }
    PaintStatusStrip();
    ++record_.frame_generation;
    record_.repaint_pending = false;
    if (!target) return;
    Copy(target);
    // Children whose backgrounds were copied from the frame before take new ones from this painting, and the
    // skinned children paint over it again, frames included; those that draw text over their background also
    // erase it.
    for (const ChildBackground& background : record_.child_backgrounds) {
        if (IsWindowVisible(background.control)) InvalidateRect(background.control, nullptr, TRUE);
    }
    for (size_t kind = 0; kind < record_.children.size(); ++kind) {
        const bool erase = kind == static_cast<size_t>(ChildClass::Edit) || kind == static_cast<size_t>(ChildClass::Combo) ||
                           kind == static_cast<size_t>(ChildClass::List);
        for (const ControlRecord& child : record_.children[kind]) {
            if (GetParent(child.window) == record_.window)
                RedrawWindow(child.window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | (erase ? RDW_ERASE : 0));
        }
    }
}

void Frame::Copy(HDC target) const {
    if (!record_.frame) return;
    const int saved = SaveDC(target);
    ExcludeOpaqueChildren(record_.window, target);
    BitBlt(target, 0, 0, record_.frame.width(), record_.frame.height(), record_.frame.dc(), 0, 0, SRCCOPY);
    RestoreDC(target, saved);
}

void Frame::ApplyRegion(int width, int height) {
    if (record_.region_size.cx == width && record_.region_size.cy == height) return;
    // Corners cut with an ellipse of 5: no deeper than the outer border's arcs, so all of the outline shows.
    // The window owns the region once it is set.
    SetWindowRgn(record_.window, CreateRoundRectRgn(0, 0, width + 1, height + 1, 5, 5), FALSE);
    record_.region_size = {width, height};
}

void Frame::PaintBackground(HDC dc, int width, int height) const {
    const bool own = static_cast<bool>(record_.own_background.bitmap);
    const Background& background = own ? record_.own_background : skin_.background();
    BrushHandle fill(CreateSolidBrush(own ? background.colour : skin_.settings().default_background));
    RECT all{0, 0, width, height};
    if (!background.bitmap) {
        FillRect(dc, &all, fill.get());
    } else {
        MemoryDc source(CreateCompatibleDC(dc));
        Selection selected(source.get(), background.bitmap.get());
        const int w = background.width, h = background.height;
        if (background.mode != BackgroundMode::Stretched) FillRect(dc, &all, fill.get());
        switch (background.mode) {
            case BackgroundMode::TopLeft: BitBlt(dc, 0, 0, w, h, source.get(), 0, 0, SRCCOPY); break;
            case BackgroundMode::TopRight: BitBlt(dc, width - w, 0, w, h, source.get(), 0, 0, SRCCOPY); break;
            case BackgroundMode::Centred:
                BitBlt(dc, (width - w) / 2, (height - h) / 2, w, h, source.get(), 0, 0, SRCCOPY);
                break;
            case BackgroundMode::Stretched:
                SetStretchBltMode(dc, HALFTONE);
                SetBrushOrgEx(dc, 0, 0, nullptr);
                StretchBlt(dc, 0, 0, width, height, source.get(), 0, 0, w, h, SRCCOPY);
                break;
            case BackgroundMode::MirrorTiled:
                // Copies side by side, every second one flipped, so the seams match.
                SetStretchBltMode(dc, COLORONCOLOR);
                for (int x = 0, copy = 0; x < width; x += w, ++copy) {
                    if (copy % 2) StretchBlt(dc, x + w - 1, 0, -w, h, source.get(), 0, 0, w, h, SRCCOPY);
                    else BitBlt(dc, x, 0, w, h, source.get(), 0, 0, SRCCOPY);
                }
                break;
        }
    }
    if (!record_.caption_gloss || !record_.has_caption) return;
    SurfaceGraphics graphics(record_.frame);
    GfxLinearBrush gloss = VerticalGradient(0, F(record_.caption_height), MakeArgb(kWhite, 150), MakeArgb(kWhite, 0));
    graphics.FillRectangle(gloss, 0, 0, F(width), F(record_.caption_height));
}

void Frame::PaintBorder(GfxGraphics& graphics, int width, int height) const {
    GfxPen outer, inner;
    outer.CreatePen1(MakeArgb(kBlack, 180), 1);
    inner.CreatePen1(MakeArgb(kWhite, 180), 1);
    StrokeRoundedRectangle(graphics, outer, 0, 0, F(width - 1), F(height - 1), 7);
    StrokeRoundedRectangle(graphics, inner, 1, 1, F(width - 3), F(height - 3), 6);
}

RECT Frame::TitleBox() const {
    const int width = Client().right - record_.strip.width - 10 - 2 * kMargin;
    return {kMargin + 6, kMargin + 2, kMargin + 6 + std::max(width, 0), record_.caption_height};
}

void Frame::PaintTitle(HDC dc, const std::string& title) const {
    const RECT box = TitleBox();
    if (skin_.settings().icon)
        DrawIconEx(dc, kMargin + 6, kMargin + 2, skin_.settings().icon, 17, 17, 0, nullptr, DI_NORMAL);
    const REAL left = F(kMargin + 26), top = F(kMargin + 5), width = F(box.right) - left;
    if (title.empty() || width <= 0) return;

    SurfaceGraphics graphics(record_.frame);
    graphics.SetClipRect(F(box.left), F(box.top), F(box.right - box.left), F(box.bottom - box.top));
    GfxFont font = MakeFont(record_.title_font, record_.title_size, record_.title_bold ? Gdiplus::FontStyleBold : Gdiplus::FontStyleRegular);
    GfxStringFormat format;
    format.CreateStringFormat(Gdiplus::StringFormatFlagsNoWrap);
    const std::string text = FitTextToWidth(graphics, title, font, format, width);
    DrawHaloText(graphics, text, font, format, {left, top, width, 32}, record_.title_colour,
                 record_.title_halo_colour);
}

RECT Frame::ButtonArea(int n) const {
    const FloatRect& r = record_.buttons[static_cast<size_t>(n) - 1].rect;
    const int x = static_cast<int>(r.x), y = static_cast<int>(r.y);
    return {x - 2, y, x + static_cast<int>(r.width), y + static_cast<int>(r.height) + 1};
}

void Frame::PaintButton(GfxGraphics& graphics, int n, int intensity) const {
    const CaptionButton& button = record_.buttons[static_cast<size_t>(n) - 1];
    RestoreFromCaptionCache(ButtonArea(n));
    const REAL x = button.rect.x, y = button.rect.y, width = button.rect.width, height = button.rect.height;
    if (intensity > 0) {
        GfxPath face = FacePath(button, x - 1, y, width, height);
        GfxLinearBrush shade = VerticalGradient(y, height, MakeArgb(kBlack, intensity / 5), MakeArgb(kWhite, 0));
        const COLORREF tint = button.kind == CaptionKind::Close ? kRed : skin_.settings().theme_colour;
        GfxLinearBrush glow = VerticalGradient(y, height, MakeArgb(tint, intensity), MakeArgb(kWhite, 0));
        graphics.FillPath(shade, face);
        graphics.FillPath(glow, face);
        GfxPath upper = FacePath(button, x - 1, y, width - 1, height * 0.8f);
        GfxLinearBrush edge = VerticalGradient(y, height * 0.8f, MakeArgb(kWhite, intensity * 4 / 5), MakeArgb(kWhite, 0));
        GfxPen pen;
        pen.CreatePen2(edge, 1);
        graphics.DrawPath(pen, upper);
    }
    GfxLinearBrush gloss = VerticalGradient(y, height - 1, MakeArgb(kWhite, 50), MakeArgb(kWhite, 0));
    graphics.FillRectangle(gloss, x - 1, y, width + 1, height - 1);
    PaintButtonFace(graphics, n);
    PaintSeparators(graphics, n);
}

void Frame::PaintPressedButton(GfxGraphics& graphics, int n) const {
    const CaptionButton& button = record_.buttons[static_cast<size_t>(n) - 1];
    RestoreFromCaptionCache(ButtonArea(n));
    const REAL x = button.rect.x, y = button.rect.y, width = button.rect.width, height = button.rect.height;
    GfxPath face = FacePath(button, x - 1, y, width, height);
    const bool close = button.kind == CaptionKind::Close;
    GfxLinearBrush fill = VerticalGradient(y, height, close ? MakeArgb(kRed, 255) : MakeArgb(kBlack, 80),
                                           MakeArgb(kWhite, close ? 30 : 5));
    graphics.FillPath(fill, face);
    PaintButtonFace(graphics, n);
    PaintSeparators(graphics, n);
}

void Frame::PaintButtonFace(GfxGraphics& graphics, int n) const {
    const CaptionButton& button = record_.buttons[static_cast<size_t>(n) - 1];
    const GfxBitmap* image = record_.maximised && button.alternate ? button.alternate : button.image;
    if (!image) return;
    // Centred on the face.
    const REAL w = F(static_cast<int>(image->GetImageWidth())), h = F(static_cast<int>(image->GetImageHeight()));
    DrawGlyph(graphics, *image, static_cast<int>(button.rect.x - 1 + std::floor((button.rect.width - w) / 2)),
              static_cast<int>(button.rect.y + std::floor((button.rect.height - h) / 2)));
}

void Frame::PaintSeparators(GfxGraphics& graphics, int n) const {
    const ButtonStrip& strip = record_.strip;
    const REAL top = F(strip.top + 1), bottom = F(strip.top + strip.height - 4);
    auto line = [&](REAL x, int alpha) {
        GfxLinearBrush fade = VerticalGradient(F(strip.top), F(strip.height - 3), MakeArgb(kBlack, alpha),
                                               MakeArgb(kBlack, 0));
        GfxPen pen;
        pen.CreatePen2(fade, 1);
        graphics.DrawLine(pen, x, top, x, bottom);
    };
    line(record_.buttons[static_cast<size_t>(n) - 1].rect.x - 2, n == 1 ? 100 : 60);
    if (static_cast<size_t>(n) < record_.buttons.size()) line(record_.buttons[static_cast<size_t>(n)].rect.x - 2, 60);
}

void Frame::RestoreFromCaptionCache(const RECT& area) const {
    if (!record_.caption_cache) return;
    BitBlt(record_.frame.dc(), area.left, area.top, area.right - area.left, area.bottom - area.top,
           record_.caption_cache.dc(), area.left, area.top, SRCCOPY);
    GdiFlush();  // the button is drawn over it straight into the pixels
}

void Frame::CopyToWindow(const RECT& area) const {
    WindowDc dc(record_.window);
    if (!dc) return;
    ExcludeOpaqueChildren(record_.window, dc.get());
    BitBlt(dc.get(), area.left, area.top, area.right - area.left, area.bottom - area.top, record_.frame.dc(),
           area.left, area.top, SRCCOPY);
}

void Frame::LayOutButtons() {
    std::vector<CaptionKind> kinds;
    for (const CaptionButton& button : record_.buttons) kinds.push_back(button.kind);
    record_.strip = StripFor(kinds, Client().right);
    std::vector<FloatRect> rects = ::LayOutButtons(kinds, record_.strip);
    for (size_t n = 0; n < rects.size(); ++n) {
        record_.buttons[n].rect = rects[n];
        const FloatRect& r = rects[n];
        RECT face{static_cast<LONG>(r.x) - 1, static_cast<LONG>(r.y), static_cast<LONG>(r.x + r.width) - 1,
                  static_cast<LONG>(r.y + r.height)};
        record_.tooltip.NewToolRect(n + 1, face);
    }
}

int Frame::HitButton(int x, int y) const {
    if (!record_.has_caption) return 0;
    std::vector<FloatRect> rects;
    for (const CaptionButton& button : record_.buttons) rects.push_back(button.rect);
    return ::HitButton(rects, record_.strip, x, y);
}

void Frame::DrawButton(int n, int intensity) {
    if (n < 1 || n > static_cast<int>(record_.buttons.size()) || !record_.frame || IsIconic(record_.window)) return;
    {
        SurfaceGraphics graphics(record_.frame);
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        PaintButton(graphics, n, intensity);
    }
    CopyToWindow(ButtonArea(n));
}

void Frame::DrawPressedButton(int n) {
    if (n < 1 || n > static_cast<int>(record_.buttons.size()) || !record_.frame || IsIconic(record_.window)) return;
    {
        SurfaceGraphics graphics(record_.frame);
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        PaintPressedButton(graphics, n);
    }
    CopyToWindow(ButtonArea(n));
}

void Frame::DrawTitle(const std::string* title) {
    if (!record_.has_caption || !record_.show_title || !record_.frame || IsIconic(record_.window)) return;
    const RECT box = TitleBox();
    RestoreFromCaptionCache(box);
    PaintTitle(record_.frame.dc(), title ? *title : WindowText(record_.window));
    CopyToWindow(box);
}

RECT Frame::StatusStrip() const {
    const RECT client = Client();
    const int top = client.bottom - record_.status_height - kMargin - 1;
    return {kMargin, top, client.right - kMargin, top + record_.status_height};
}

RECT Frame::StatusPanelArea(size_t panel) const {
    const RECT strip = StatusStrip();
    int left = strip.left;
    for (size_t n = 0; n < panel; ++n) left += std::max(record_.status_panels[n].width, 0);
    const int width = record_.status_panels[panel].width;
    return {left, strip.top, width < 0 ? strip.right : std::min<LONG>(left + width, strip.right), strip.bottom};
}

void Frame::PaintStatusStrip() {
    if (record_.status_height <= 0) return;
    const RECT strip = StatusStrip();
    const int width = strip.right - strip.left;
    if (width <= 0) return;
    {
        // A darker band with a light top edge, so white text reads on any background.
        SurfaceGraphics graphics(record_.frame);
        GfxSolidBrush band;
        band.CreateSolidFill(MakeArgb(kBlack, 60));
        graphics.FillRectangle(band, F(strip.left), F(strip.top), F(width), F(record_.status_height));
        GfxPen edge;
        edge.CreatePen1(MakeArgb(kWhite, 60), 1);
        graphics.DrawLine(edge, F(strip.left), F(strip.top), F(strip.right - 1), F(strip.top));
    }
    // The clean strip, to redraw one panel from when its text changes.
    if (record_.status_cache.Resize(width, record_.status_height))
        BitBlt(record_.status_cache.dc(), 0, 0, width, record_.status_height, record_.frame.dc(), strip.left,
               strip.top, SRCCOPY);
    for (size_t panel = 0; panel < record_.status_panels.size(); ++panel) PaintStatusPanel(panel);
}

void Frame::PaintStatusPanel(size_t panel) const {
    const RECT area = StatusPanelArea(panel);
    if (area.right <= area.left) return;
    SurfaceGraphics graphics(record_.frame);
    if (panel + 1 < record_.status_panels.size()) {
        GfxPen divider;
        divider.CreatePen1(MakeArgb(kWhite, 80), 1);
        graphics.DrawLine(divider, F(area.right - 1), F(area.top + 3), F(area.right - 1), F(area.bottom - 3));
    }
    const std::string& text = record_.status_panels[panel].text;
    if (text.empty()) return;
    const StatusTextStyle& style = record_.status_style;
    GfxFont font = MakeFont(style.font, style.size, Gdiplus::FontStyleRegular);
    GfxStringFormat format;
    format.CreateStringFormat(Gdiplus::StringFormatFlagsNoWrap);
    format.SetStringFormatAlign(static_cast<Gdiplus::StringAlignment>(std::clamp(style.alignment, 0, 2)));
    format.SetStringFormatLineAlign(Gdiplus::StringAlignmentCenter);
    format.SetStringFormatTrimming(Gdiplus::StringTrimmingEllipsisCharacter);
    graphics.SetClipRect(F(area.left), F(area.top), F(area.right - area.left), F(area.bottom - area.top));
    DrawHaloText(graphics, text, font, format,
                 {F(area.left + 4), F(area.top), F(area.right - area.left - 8), F(area.bottom - area.top)}, style.colour,
                 RGB(64, 64, 64));
}

void Frame::DrawStatusPanel(size_t panel) {
    if (panel >= record_.status_panels.size() || !record_.status_cache || IsIconic(record_.window)) return;
    const RECT strip = StatusStrip(), area = StatusPanelArea(panel);
    BitBlt(record_.frame.dc(), area.left, area.top, area.right - area.left, area.bottom - area.top,
           record_.status_cache.dc(), area.left - strip.left, 0, SRCCOPY);
    GdiFlush();  // the panel is drawn over it straight into the pixels
    PaintStatusPanel(panel);
    CopyToWindow(area);
}

void Frame::DockChildren() {
    std::erase_if(record_.docked, [](HWND child) { return !IsWindow(child); });
    const RECT client = Client();
    const int bottom = record_.status_height > 0 ? StatusStrip().top : client.bottom - 2;
    for (HWND child : record_.docked)
        MoveWindow(child, 2, record_.caption_height, client.right - 4, bottom - record_.caption_height, TRUE);
}

void Frame::Press(int x, int y) {
    if (InButtonStrip(record_.strip, x, y) || !record_.has_caption) return;
    POINT screen{x, y};
    ClientToScreen(record_.window, &screen);
    const LPARAM at = MAKELPARAM(screen.x, screen.y);
    const RECT client = Client();
    if (record_.resizable && !IsZoomed(record_.window)) {
        FrameZone zone = ZoneAt(x, y, client.right, client.bottom, kMargin);
        if (zone != FrameZone::None) {
            record_.repaint_pending = true;
            SetCursor(LoadCursorA(nullptr, CursorOf(zone)));
            SendMessageA(record_.window, WM_SYSCOMMAND, SizeCommand(zone), at);
            return;
        }
    }
    if (y <= record_.caption_height) SendMessageA(record_.window, WM_NCLBUTTONDOWN, HTCAPTION, at);
}

bool Frame::SetResizeCursor(int x, int y) const {
    if (!record_.resizable || !record_.has_caption || IsZoomed(record_.window)) return false;
    const RECT client = Client();
    FrameZone zone = ZoneAt(x, y, client.right, client.bottom, kMargin);
    if (zone == FrameZone::None) return false;
    SetCursor(LoadCursorA(nullptr, CursorOf(zone)));
    return true;
}

HBRUSH Frame::SeeThroughBrush(HWND control) {
    const ChildBackground* background = UpToDateBackground(control);
    return background ? background->brush.get() : nullptr;
}

void Frame::CopySeeThroughBackground(HWND control, HDC target, const RECT& area) {
    const ChildBackground* background = UpToDateBackground(control);
    MemoryDc source(CreateCompatibleDC(target));
    if (!background || !background->bitmap || !source) return;
    Selection selected(source.get(), background->bitmap.get());
    BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, source.get(), area.left,
           area.top, SRCCOPY);
}

const ChildBackground* Frame::UpToDateBackground(HWND control) {
    if (NeedsFullPaint()) Paint(nullptr);
    if (!record_.frame) return nullptr;
    const RECT place = PlaceInWindow(control, record_.window);
    auto found = std::find_if(record_.child_backgrounds.begin(), record_.child_backgrounds.end(),
                              [&](const ChildBackground& background) { return background.control == control; });
    if (found == record_.child_backgrounds.end()) found = record_.child_backgrounds.insert(record_.child_backgrounds.end(), {control});
    if (found->brush && EqualRect(&found->place, &place) && found->frame_generation == record_.frame_generation)
        return &*found;
    // The old brush goes before the new one is made: a child repainting often never holds two.
    found->brush.Reset();
    const int alpha = skin_.settings().control_alpha;
    if (GetParent(control) == record_.window) {
        found->bitmap = SeeThroughBackground(record_.frame.dc(), place, alpha);
    } else {
        // Inside a container or a window with a painted layer of its own, what the painters take there: the
        // layer, the containers' tints.
        Snapshot under(control, ClientArea(control));
        found->bitmap = under ? SeeThroughBackground(under.dc(), {0, 0, under.width(), under.height()}, alpha)
                              : BitmapHandle{};
    }
    found->brush.Reset(found->bitmap ? CreatePatternBrush(found->bitmap.get()) : nullptr);
    found->place = place;
    found->frame_generation = record_.frame_generation;
    return &*found;
}

bool IsGroupBox(HWND window) {
    return ClassName(window) == "Button" && (GetWindowLongPtrA(window, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

bool IsSeeThrough(HWND control) {
    return (GetWindowLongPtrA(control, GWL_EXSTYLE) & WS_EX_TRANSPARENT) || IsGroupBox(control);
}

bool CoversWhatIsUnder(HWND control) {
    return !IsSeeThrough(control) || IsSkinnedLabel(control);
}

void ExcludeOpaqueChildren(HWND window, HDC dc) {
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child) || !CoversWhatIsUnder(child)) continue;
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&rect), 2);
        ExcludeClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
    }
}
