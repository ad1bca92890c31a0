// GDI+ object wrappers: one owning class per kind of GDI+ object, and the library's start-up and shutdown.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <span>
#include <string>
#include <string_view>
#include <utility>

// Status of the latest flat-API call made through a wrapper member that reports one; Ok (0) is success.
// One unsynchronised value: the wrappers are used on the user-interface thread only.
extern Gdiplus::Status LastStatus;

// Token of the running library; 0 while GDI+ is not started.
extern ULONG_PTR GdiplusToken;

// Starts GDI+ and returns its token (0 when start-up fails). While the library runs, the running token is
// returned and nothing is started again, so no token is lost.
ULONG_PTR StartGdiplus(UINT32 version = 1);

// Shuts GDI+ down. Without a token, or with the program's own, the program's token is taken and cleared, so a
// second call does nothing.
void StopGdiplus(ULONG_PTR token = 0);

// Stores a flat call's status in LastStatus; true when it is Ok.
inline bool RecordStatus(Gdiplus::Status status) {
    LastStatus = status;
    return status == Gdiplus::Ok;
}

// Common shape of the wrappers: each owns one native object (0 when empty), deleted with `Delete` when the
// wrapper goes away or is assigned over. Wrappers move but never copy, so exactly one deletes the object.
// Only the members report to LastStatus: destruction and replacement release quietly, so a status a caller is
// about to read is never overwritten by a temporary going out of scope.
template <typename Native, Gdiplus::Status(WINGDIPAPI* Delete)(Native*)>
class GfxObject {
  public:
    GfxObject() = default;
    GfxObject(const GfxObject&) = delete;
    GfxObject& operator=(const GfxObject&) = delete;
    GfxObject(GfxObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    GfxObject& operator=(GfxObject&& other) noexcept {
        if (this != &other) {
            Release();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    ~GfxObject() { Release(); }

    Native* GetHandle() const { return handle_; }

  protected:
    void Release() {
        if (handle_) Delete(std::exchange(handle_, nullptr));
    }

    // The delete members: an empty wrapper reports false and leaves LastStatus alone.
    bool DeleteHandle() {
        if (!handle_) return false;
        return RecordStatus(Delete(std::exchange(handle_, nullptr)));
    }

    // Create members release what the wrapper holds first, so creating twice leaks nothing. On failure the
    // wrapper stays empty.
    template <typename Created, typename Call>
    bool Create(Call call) {
        Release();
        Created* created = nullptr;
        bool ok = RecordStatus(call(&created));
        handle_ = ok ? created : nullptr;
        return ok;
    }

    Native* handle_ = nullptr;
};

class GfxPath : public GfxObject<Gdiplus::GpPath, Gdiplus::DllExports::GdipDeletePath> {
  public:
    bool CreatePath(Gdiplus::FillMode mode = Gdiplus::FillModeAlternate);
    bool DeletePath() { return DeleteHandle(); }
    bool ResetPath();
    bool AddPathLine(Gdiplus::REAL x1, Gdiplus::REAL y1, Gdiplus::REAL x2, Gdiplus::REAL y2);
    // An arc of the ellipse in the rectangle, from `start` degrees through `sweep` degrees, clockwise.
    bool AddPathArc(Gdiplus::REAL x, Gdiplus::REAL y, Gdiplus::REAL width, Gdiplus::REAL height,
                    Gdiplus::REAL start, Gdiplus::REAL sweep);
    bool AddPathRectangle(Gdiplus::REAL x, Gdiplus::REAL y, Gdiplus::REAL width, Gdiplus::REAL height);
    bool AddPathEllipse(Gdiplus::REAL x, Gdiplus::REAL y, Gdiplus::REAL width, Gdiplus::REAL height);
    // Closes the current figure; what is added next starts a new one.
    bool ClosePathFigure();
};

// The brush every fill and brush pen takes: a solid, linear-gradient or path-gradient brush.
class GfxBrush : public GfxObject<Gdiplus::GpBrush, Gdiplus::DllExports::GdipDeleteBrush> {
  public:
    bool DeleteBrush() { return DeleteHandle(); }

  protected:
    GfxBrush() = default;
};

class GfxSolidBrush : public GfxBrush {
  public:
    bool CreateSolidFill(Gdiplus::ARGB colour);
};

class GfxLinearBrush : public GfxBrush {
  public:
    // Gradient from colour1 at point1 to colour2 at point2, tiled beyond them.
    bool CreateLineBrush(const Gdiplus::PointF& point1, const Gdiplus::PointF& point2, Gdiplus::ARGB colour1,
                         Gdiplus::ARGB colour2);
    // One colour per position (0.0 to 1.0 along the gradient); lists of unequal length are refused with
    // InvalidParameter.
    bool SetLinePresetBlend(std::span<const Gdiplus::ARGB> colours, std::span<const Gdiplus::REAL> positions);
    bool SetLineLinearBlend(Gdiplus::REAL focus, Gdiplus::REAL scale);

  private:
    Gdiplus::GpLineGradient* Line() const { return static_cast<Gdiplus::GpLineGradient*>(handle_); }
};

class GfxPathGradientBrush : public GfxBrush {
  public:
    bool CreatePathGradientFromPath(const GfxPath& path);
    bool SetPathGradientCenterColor(Gdiplus::ARGB colour);
    // Colours for the path's points in order; the last one repeats for the points beyond the list.
    bool SetPathGradientSurroundColorsWithCount(std::span<const Gdiplus::ARGB> colours);

  private:
    Gdiplus::GpPathGradient* Gradient() const { return static_cast<Gdiplus::GpPathGradient*>(handle_); }
};

class GfxPen : public GfxObject<Gdiplus::GpPen, Gdiplus::DllExports::GdipDeletePen> {
  public:
    bool CreatePen1(Gdiplus::ARGB colour, Gdiplus::REAL width, Gdiplus::Unit unit = Gdiplus::UnitWorld);
    // A pen that strokes with the brush's colours (the brush may be deleted afterwards).
    bool CreatePen2(const GfxBrush& brush, Gdiplus::REAL width, Gdiplus::Unit unit = Gdiplus::UnitWorld);
    bool SetPenWidth(Gdiplus::REAL width);
    bool DeletePen() { return DeleteHandle(); }
};

class GfxFontFamily : public GfxObject<Gdiplus::GpFontFamily, Gdiplus::DllExports::GdipDeleteFontFamily> {
  public:
    // `name` is GBK text; families are looked up among the installed fonts.
    bool CreateFontFamilyFromName(std::string_view name);
    // The family's name as GBK text; empty when it cannot be read.
    std::string GetFamilyName() const;
    bool DeleteFontFamily() { return DeleteHandle(); }

  private:
    friend class GfxFont;
};

class GfxFont : public GfxObject<Gdiplus::GpFont, Gdiplus::DllExports::GdipDeleteFont> {
  public:
    // A font of the named family (GBK text); `style` holds Gdiplus::FontStyle bits.
    bool CreateFromName(std::string_view family_name, Gdiplus::REAL size,
                        INT style = Gdiplus::FontStyleRegular, Gdiplus::Unit unit = Gdiplus::UnitWorld);
    // The GDI font `font` (or the one selected into `dc` when none is given) as a GDI+ font.
    bool CreateFromDC(HDC dc, HFONT font = nullptr);
    // Hands the font's family to `family`, which then owns it.
    bool GetFamily(GfxFontFamily& family) const;
    INT GetFontStyle() const;
    Gdiplus::REAL GetFontSize() const;
    bool DeleteFont() { return DeleteHandle(); }
};

class GfxStringFormat
    : public GfxObject<Gdiplus::GpStringFormat, Gdiplus::DllExports::GdipDeleteStringFormat> {
  public:
    bool CreateStringFormat(INT flags = 0, LANGID language = 0);
    bool SetStringFormatAlign(Gdiplus::StringAlignment align);
    bool SetStringFormatLineAlign(Gdiplus::StringAlignment align);
    bool SetStringFormatTrimming(Gdiplus::StringTrimming trimming);
    bool DeleteStringFormat() { return DeleteHandle(); }
};

// An IStream over a global memory block: what an image loaded from memory reads from, or what an image is
// encoded into. The block belongs to the stream and is freed with the stream's last reference.
class GfxMemoryStream {
  public:
    GfxMemoryStream() = default;
    GfxMemoryStream(const GfxMemoryStream&) = delete;
    GfxMemoryStream& operator=(const GfxMemoryStream&) = delete;
    GfxMemoryStream(GfxMemoryStream&& other) noexcept : stream_(std::exchange(other.stream_, nullptr)) {}
    GfxMemoryStream& operator=(GfxMemoryStream&& other) noexcept;
    ~GfxMemoryStream() { Release(); }

    // Releases what is held and opens a stream holding a copy of `bytes`; nullptr on failure.
    IStream* Open(std::string_view bytes);
    void Release();
    IStream* Stream() const { return stream_; }
    // Everything written to the stream (its size, not the possibly larger block's).
    std::string ReadAll() const;

  private:
    IStream* stream_ = nullptr;
};

class GfxImage : public GfxObject<Gdiplus::GpImage, Gdiplus::DllExports::GdipDisposeImage> {
  public:
    GfxImage() = default;
    GfxImage(GfxImage&&) noexcept = default;
    GfxImage& operator=(GfxImage&& other) noexcept;
    ~GfxImage() { ReleaseImage(); }

    // `name` is a GBK file name.
    bool LoadImageFromFile(std::string_view name, bool use_icm = false);
    // Decodes encoded image bytes (PNG, JPEG, …). The wrapper keeps its own copy of the bytes for as long as
    // the image lives, because GDI+ may decode from them on demand.
    bool LoadFromMemory(std::string_view bytes, bool use_icm = false);
    UINT GetImageWidth() const;
    UINT GetImageHeight() const;
    bool ImageRotateFlip(Gdiplus::RotateFlipType type);
    // Disposes the image first, then the bytes it may read from.
    bool DisposeImage();
    // The image encoded in `format`, a GDI+ image format GUID in registry form such as
    // "{B96B3CAF-0728-11D3-9D7B-0000F81EF32E}" (PNG); without one, in the image's own format. Empty when no
    // encoder serves the format or the encoding fails.
    std::string SaveToMemory(std::string_view format = {}) const;

  protected:
    // Quiet form of DisposeImage, in the same order.
    void ReleaseImage() {
        Release();
        stream_.Release();
    }

    GfxMemoryStream stream_;
};

class GfxBitmap : public GfxImage {
  public:
    // `format` is a Gdiplus PixelFormat; the pixels live in memory GDI+ manages.
    bool CreateBitmapFromScan0(INT width, INT height, Gdiplus::PixelFormat format = PixelFormat32bppARGB);
    bool CreateBitmapFromHICON(HICON icon);
    // `name` is a GBK file name.
    bool CreateBitmapFromFile(std::string_view name, bool use_icm = false);
    // As GfxImage::LoadFromMemory, giving a bitmap.
    bool LoadFromMemory(std::string_view bytes, bool use_icm = false);
    // A new GDI bitmap of the image over `background`; the caller deletes it. 0 on failure.
    HBITMAP CreateHBITMAPFromBitmap(Gdiplus::ARGB background) const;
    // 0 when the pixel cannot be read.
    Gdiplus::ARGB BitmapGetPixel(INT x, INT y) const;

  private:
    Gdiplus::GpBitmap* Bitmap() const { return static_cast<Gdiplus::GpBitmap*>(handle_); }
};

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
