// The graphics wrapper: drawing, text with the same clipping on every system, and images.
#include "gfx/graphics.h"

#include "gfx/wide_text.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

GfxGraphics& GfxGraphics::operator=(GfxGraphics&& other) noexcept {
    if (this != &other) {
        ReleaseGraphics();
        GfxObject::operator=(std::move(other));
        device_context_ = std::exchange(other.device_context_, nullptr);
    }
    return *this;
}

bool GfxGraphics::CreateFromHDC(HDC dc, HANDLE device) {
    ReleaseGraphics();
    return Create<GpGraphics>([&](GpGraphics** out) {
        return device ? GdipCreateFromHDC2(dc, device, out) : GdipCreateFromHDC(dc, out);
    });
}

bool GfxGraphics::FromImage(const GfxImage& image) {
    ReleaseGraphics();
    return Create<GpGraphics>(
        [&](GpGraphics** out) { return GdipGetImageGraphicsContext(image.GetHandle(), out); });
}

HDC GfxGraphics::GetDC() {
    if (device_context_) return device_context_;
    HDC dc = nullptr;
    device_context_ = RecordStatus(GdipGetDC(handle_, &dc)) ? dc : nullptr;
    return device_context_;
}

bool GfxGraphics::ReleaseDC() {
    if (!device_context_) return false;
    return RecordStatus(GdipReleaseDC(handle_, std::exchange(device_context_, nullptr)));
}

// GDI+ refuses to delete a graphics whose device context is out, so that goes back first.
bool GfxGraphics::DeleteGraphics() {
    ReleaseDC();
    return DeleteHandle();
}

void GfxGraphics::ReleaseGraphics() {
    if (device_context_) GdipReleaseDC(handle_, std::exchange(device_context_, nullptr));
    Release();
}

bool GfxGraphics::SetCompositingQuality(CompositingQuality quality) {
    return RecordStatus(GdipSetCompositingQuality(handle_, quality));
}

bool GfxGraphics::SetInterpolationMode(InterpolationMode mode) {
    return RecordStatus(GdipSetInterpolationMode(handle_, mode));
}

InterpolationMode GfxGraphics::GetInterpolationMode() const {
    InterpolationMode mode{};
    return RecordStatus(GdipGetInterpolationMode(handle_, &mode)) ? mode : InterpolationMode{};
}

bool GfxGraphics::SetSmoothingMode(SmoothingMode mode) {
    return RecordStatus(GdipSetSmoothingMode(handle_, mode));
}

bool GfxGraphics::SetPixelOffsetMode(PixelOffsetMode mode) {
    return RecordStatus(GdipSetPixelOffsetMode(handle_, mode));
}

bool GfxGraphics::DrawLine(const GfxPen& pen, REAL x1, REAL y1, REAL x2, REAL y2) {
    return RecordStatus(GdipDrawLine(handle_, pen.GetHandle(), x1, y1, x2, y2));
}

bool GfxGraphics::DrawRectangle(const GfxPen& pen, REAL x, REAL y, REAL width, REAL height) {
    return RecordStatus(GdipDrawRectangle(handle_, pen.GetHandle(), x, y, width, height));
}

bool GfxGraphics::DrawPath(const GfxPen& pen, const GfxPath& path) {
    return RecordStatus(GdipDrawPath(handle_, pen.GetHandle(), path.GetHandle()));
}

bool GfxGraphics::GraphicsClear(ARGB colour) {
    return RecordStatus(GdipGraphicsClear(handle_, colour));
}

bool GfxGraphics::FillRectangle(const GfxBrush& brush, REAL x, REAL y, REAL width, REAL height) {
    return RecordStatus(GdipFillRectangle(handle_, brush.GetHandle(), x, y, width, height));
}

bool GfxGraphics::FillPath(const GfxBrush& brush, const GfxPath& path) {
    return RecordStatus(GdipFillPath(handle_, brush.GetHandle(), path.GetHandle()));
}

// An empty text goes to GDI+ as no string at all, which it refuses.
static const WCHAR* StringOrNull(const std::wstring& wide) {
    return wide.empty() ? nullptr : wide.c_str();
}

// Text is clipped to its layout rectangle unless the format says otherwise or the rectangle has no extent
// (which GDI+ takes as "unbounded").
static bool ClipsToLayout(const RectF& layout, const GfxStringFormat* format) {
    if (layout.Width <= 0 || layout.Height <= 0) return false;
    INT flags = 0;
    if (format && format->GetHandle()) GdipGetStringFormatFlags(format->GetHandle(), &flags);
    return !(flags & StringFormatFlagsNoClip);
}

bool GfxGraphics::DrawString(std::string_view text, const GfxFont& font, const GfxBrush& brush,
                             const RectF& layout, const GfxStringFormat* format) {
    std::wstring wide = WideFromText(text);
    // GDI+ on Windows clips the lines that do not fit to the layout rectangle; Wine draws them whole below it
    // when drawing into an image. An explicit clip gives the same result on both.
    GpRegion* saved_clip = nullptr;
    if (handle_ && ClipsToLayout(layout, format) && GdipCreateRegion(&saved_clip) == Ok) {
        if (GdipGetClip(handle_, saved_clip) == Ok) {
            GdipSetClipRect(handle_, layout.X, layout.Y, layout.Width, layout.Height, CombineModeIntersect);
        } else {
            GdipDeleteRegion(std::exchange(saved_clip, nullptr));
        }
    }
    Status status =
        GdipDrawString(handle_, StringOrNull(wide), static_cast<INT>(wide.size()), font.GetHandle(), &layout,
                       format ? format->GetHandle() : nullptr, brush.GetHandle());
    if (saved_clip) {
        GdipSetClipRegion(handle_, saved_clip, CombineModeReplace);
        GdipDeleteRegion(saved_clip);
    }
    return RecordStatus(status);
}

bool GfxGraphics::MeasureString(std::string_view text, const GfxFont& font, const RectF& layout,
                                RectF& bounds, const GfxStringFormat* format) {
    std::wstring wide = WideFromText(text);
    return RecordStatus(GdipMeasureString(handle_, StringOrNull(wide), static_cast<INT>(wide.size()),
                                          font.GetHandle(), &layout, format ? format->GetHandle() : nullptr,
                                          &bounds, nullptr, nullptr));
}

bool GfxGraphics::DrawImage(const GfxImage& image, REAL x, REAL y) {
    return RecordStatus(GdipDrawImage(handle_, image.GetHandle(), x, y));
}

bool GfxGraphics::DrawImageRectRect(const GfxImage& image, REAL x, REAL y, REAL width, REAL height,
                                    Unit unit) {
    return RecordStatus(GdipDrawImageRectRect(
        handle_, image.GetHandle(), x, y, width, height, 0, 0, static_cast<REAL>(image.GetImageWidth()),
        static_cast<REAL>(image.GetImageHeight()), unit, nullptr, nullptr, nullptr));
}

bool GfxGraphics::SetClipPath(const GfxPath& path, CombineMode mode) {
    return RecordStatus(GdipSetClipPath(handle_, path.GetHandle(), mode));
}

bool GfxGraphics::SetClipRect(REAL x, REAL y, REAL width, REAL height, CombineMode mode) {
    return RecordStatus(GdipSetClipRect(handle_, x, y, width, height, mode));
}

bool GfxGraphics::ResetClip() {
    return RecordStatus(GdipResetClip(handle_));
}
