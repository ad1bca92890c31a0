// GDI+ image and bitmap wrappers, the memory streams they load from and encode into.
#pragma once

#include <string>
#include <string_view>

#include "gfx/status.h"

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
    // A bitmap over pixels the caller keeps, `stride` bytes a row from `scan0`: drawing into it draws into
    // them. They must outlive the bitmap.
    bool CreateBitmapFromScan0(INT width, INT height, INT stride, Gdiplus::PixelFormat format, BYTE* scan0);
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
