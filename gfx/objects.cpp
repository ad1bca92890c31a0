// GDI+ start-up and shutdown, and the graphics, path, brush and pen wrappers.
#include "gfx/objects.h"

#include "gfx/wide_text.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

Status LastStatus = Ok;
ULONG_PTR GdiplusToken = 0;

ULONG_PTR StartGdiplus(UINT32 version) {
    if (GdiplusToken) return GdiplusToken;
    GdiplusStartupInput input;
    input.GdiplusVersion = version;
    input.DebugEventCallback = nullptr;
    input.SuppressBackgroundThread = FALSE;
    input.SuppressExternalCodecs = FALSE;
    ULONG_PTR token = 0;
    if (GdiplusStartup(&token, &input, nullptr) != Ok) token = 0;
    GdiplusToken = token;
    return token;
}

void StopGdiplus(ULONG_PTR token) {
    if (!token || token == GdiplusToken) token = std::exchange(GdiplusToken, 0);
    if (token) GdiplusShutdown(token);
}

bool GfxPath::CreatePath(FillMode mode) {
    return Create<GpPath>([&](GpPath** out) { return GdipCreatePath(mode, out); });
}

bool GfxPath::ResetPath() {
    return RecordStatus(GdipResetPath(handle_));
}

bool GfxPath::AddPathLine(REAL x1, REAL y1, REAL x2, REAL y2) {
    return RecordStatus(GdipAddPathLine(handle_, x1, y1, x2, y2));
}

bool GfxPath::AddPathArc(REAL x, REAL y, REAL width, REAL height, REAL start, REAL sweep) {
    return RecordStatus(GdipAddPathArc(handle_, x, y, width, height, start, sweep));
}

bool GfxPath::AddPathRectangle(REAL x, REAL y, REAL width, REAL height) {
    return RecordStatus(GdipAddPathRectangle(handle_, x, y, width, height));
}

bool GfxPath::AddPathEllipse(REAL x, REAL y, REAL width, REAL height) {
    return RecordStatus(GdipAddPathEllipse(handle_, x, y, width, height));
}

bool GfxPath::ClosePathFigure() {
    return RecordStatus(GdipClosePathFigure(handle_));
}

bool GfxSolidBrush::CreateSolidFill(ARGB colour) {
    return Create<GpSolidFill>([&](GpSolidFill** out) { return GdipCreateSolidFill(colour, out); });
}

bool GfxLinearBrush::CreateLineBrush(const PointF& point1, const PointF& point2, ARGB colour1, ARGB colour2) {
    return Create<GpLineGradient>([&](GpLineGradient** out) {
        return GdipCreateLineBrush(&point1, &point2, colour1, colour2, WrapModeTile, out);
    });
}

bool GfxLinearBrush::SetLinePresetBlend(std::span<const ARGB> colours, std::span<const REAL> positions) {
    // GDI+ reads as many positions as there are colours.
    if (colours.size() != positions.size()) return RecordStatus(InvalidParameter);
    return RecordStatus(
        GdipSetLinePresetBlend(Line(), colours.data(), positions.data(), static_cast<INT>(colours.size())));
}

bool GfxLinearBrush::SetLineLinearBlend(REAL focus, REAL scale) {
    return RecordStatus(GdipSetLineLinearBlend(Line(), focus, scale));
}

bool GfxPathGradientBrush::CreatePathGradientFromPath(const GfxPath& path) {
    return Create<GpPathGradient>(
        [&](GpPathGradient** out) { return GdipCreatePathGradientFromPath(path.GetHandle(), out); });
}

bool GfxPathGradientBrush::SetPathGradientCenterColor(ARGB colour) {
    return RecordStatus(GdipSetPathGradientCenterColor(Gradient(), colour));
}

bool GfxPathGradientBrush::SetPathGradientSurroundColorsWithCount(std::span<const ARGB> colours) {
    INT count = static_cast<INT>(colours.size());
    return RecordStatus(GdipSetPathGradientSurroundColorsWithCount(Gradient(), colours.data(), &count));
}

bool GfxPen::CreatePen1(ARGB colour, REAL width, Unit unit) {
    return Create<GpPen>([&](GpPen** out) { return GdipCreatePen1(colour, width, unit, out); });
}

bool GfxPen::CreatePen2(const GfxBrush& brush, REAL width, Unit unit) {
    return Create<GpPen>([&](GpPen** out) { return GdipCreatePen2(brush.GetHandle(), width, unit, out); });
}

bool GfxPen::SetPenWidth(REAL width) {
    return RecordStatus(GdipSetPenWidth(handle_, width));
}

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
