// The GDI+ graphics wrapper: drawing lines, shapes, text and images on a device context or into an image.
#pragma once

#include <string_view>

#include "gfx/brushes.h"
#include "gfx/fonts.h"
#include "gfx/images.h"
#include "gfx/paths.h"
#include "gfx/status.h"

class GfxGraphics : public GfxObject<Gdiplus::GpGraphics, Gdiplus::DllExports::GdipDeleteGraphics> {
  public:
    GfxGraphics() = default;
    GfxGraphics(GfxGraphics&& other) noexcept
        : GfxObject(std::move(other)), device_context_(std::exchange(other.device_context_, nullptr)) {}
    GfxGraphics& operator=(GfxGraphics&& other) noexcept;
    ~GfxGraphics() { ReleaseGraphics(); }

    // Drawing on a device context; with `device`, on that device's coordinates (GdipCreateFromHDC2).
    bool CreateFromHDC(HDC dc, HANDLE device = nullptr);
    // Drawing into an image.
    bool FromImage(const GfxImage& image);
    // A GDI device context over the graphics; GDI+ calls fail until ReleaseDC (DeleteGraphics releases it).
    HDC GetDC();
    bool ReleaseDC();
    bool DeleteGraphics();

    bool SetCompositingQuality(Gdiplus::CompositingQuality quality);
    bool SetInterpolationMode(Gdiplus::InterpolationMode mode);
    Gdiplus::InterpolationMode GetInterpolationMode() const;
    bool SetSmoothingMode(Gdiplus::SmoothingMode mode);
    bool SetPixelOffsetMode(Gdiplus::PixelOffsetMode mode);

    bool DrawLine(const GfxPen& pen, Gdiplus::REAL x1, Gdiplus::REAL y1, Gdiplus::REAL x2, Gdiplus::REAL y2);
    bool DrawRectangle(const GfxPen& pen, Gdiplus::REAL x, Gdiplus::REAL y, Gdiplus::REAL width,
                       Gdiplus::REAL height);
    bool DrawPath(const GfxPen& pen, const GfxPath& path);
    bool GraphicsClear(Gdiplus::ARGB colour = 0);
    bool FillRectangle(const GfxBrush& brush, Gdiplus::REAL x, Gdiplus::REAL y, Gdiplus::REAL width,
                       Gdiplus::REAL height);
    bool FillPath(const GfxBrush& brush, const GfxPath& path);

    // `text` is GBK. An empty text draws nothing and is refused by GDI+ (InvalidParameter).
    bool DrawString(std::string_view text, const GfxFont& font, const GfxBrush& brush,
                    const Gdiplus::RectF& layout, const GfxStringFormat* format = nullptr);
    // The rectangle `text` occupies when drawn in `layout` goes to `bounds`.
    bool MeasureString(std::string_view text, const GfxFont& font, const Gdiplus::RectF& layout,
                       Gdiplus::RectF& bounds, const GfxStringFormat* format = nullptr);

    // The image at (x, y) in its physical size (its resolution against the graphics' resolution).
    bool DrawImage(const GfxImage& image, Gdiplus::REAL x, Gdiplus::REAL y);
    // The whole image, measured in `unit`, scaled into the destination rectangle.
    bool DrawImageRectRect(const GfxImage& image, Gdiplus::REAL x, Gdiplus::REAL y, Gdiplus::REAL width,
                           Gdiplus::REAL height, Gdiplus::Unit unit = Gdiplus::UnitPixel);

    bool SetClipPath(const GfxPath& path, Gdiplus::CombineMode mode = Gdiplus::CombineModeReplace);
    bool SetClipRect(Gdiplus::REAL x, Gdiplus::REAL y, Gdiplus::REAL width, Gdiplus::REAL height,
                     Gdiplus::CombineMode mode = Gdiplus::CombineModeReplace);
    bool ResetClip();

  private:
    // Quiet form of DeleteGraphics.
    void ReleaseGraphics();

    HDC device_context_ = nullptr;
};
