// Brush and pen wrappers.
#include "gfx/brushes.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

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
