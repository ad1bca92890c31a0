// Memory streams, the image and bitmap wrappers, and encoding images into bytes.
#include "gfx/images.h"

#include <cstring>
#include <vector>

#include "gfx/wide_text.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

GfxMemoryStream& GfxMemoryStream::operator=(GfxMemoryStream&& other) noexcept {
    if (this != &other) {
        Release();
        stream_ = std::exchange(other.stream_, nullptr);
    }
    return *this;
}

IStream* GfxMemoryStream::Open(std::string_view bytes) {
    Release();
    HGLOBAL block = nullptr;
    if (!bytes.empty()) {
        block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        void* data = block ? GlobalLock(block) : nullptr;
        if (!data) {
            if (block) GlobalFree(block);
            return nullptr;
        }
        std::memcpy(data, bytes.data(), bytes.size());
        GlobalUnlock(block);
    }
    // The stream frees the block on its last release, which may be GDI+'s rather than ours. Without a block
    // the stream allocates one of its own.
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream_))) {
        stream_ = nullptr;
        if (block) GlobalFree(block);
    }
    return stream_;
}

void GfxMemoryStream::Release() {
    if (stream_) std::exchange(stream_, nullptr)->Release();
}

std::string GfxMemoryStream::ReadAll() const {
    STATSTG stat{};
    HGLOBAL block = nullptr;
    if (!stream_ || FAILED(stream_->Stat(&stat, STATFLAG_NONAME)) ||
        FAILED(GetHGlobalFromStream(stream_, &block)))
        return {};
    // The block may be larger than what was written to it.
    size_t size = static_cast<size_t>(std::min<ULONGLONG>(stat.cbSize.QuadPart, GlobalSize(block)));
    const void* data = size ? GlobalLock(block) : nullptr;
    if (!data) return {};
    std::string bytes(static_cast<const char*>(data), size);
    GlobalUnlock(block);
    return bytes;
}

GfxImage& GfxImage::operator=(GfxImage&& other) noexcept {
    if (this != &other) {
        ReleaseImage();
        GfxObject::operator=(std::move(other));
        stream_ = std::move(other.stream_);
    }
    return *this;
}

bool GfxImage::LoadImageFromFile(std::string_view name, bool use_icm) {
    ReleaseImage();
    std::wstring wide = WideFromText(name);
    return Create<GpImage>([&](GpImage** out) {
        return use_icm ? GdipLoadImageFromFileICM(wide.c_str(), out)
                       : GdipLoadImageFromFile(wide.c_str(), out);
    });
}

bool GfxImage::LoadFromMemory(std::string_view bytes, bool use_icm) {
    ReleaseImage();
    IStream* stream = stream_.Open(bytes);
    if (!stream) return RecordStatus(OutOfMemory);
    bool ok = Create<GpImage>([&](GpImage** out) {
        return use_icm ? GdipLoadImageFromStreamICM(stream, out) : GdipLoadImageFromStream(stream, out);
    });
    if (!ok) stream_.Release();
    return ok;
}

UINT GfxImage::GetImageWidth() const {
    UINT width = 0;
    return RecordStatus(GdipGetImageWidth(handle_, &width)) ? width : 0;
}

UINT GfxImage::GetImageHeight() const {
    UINT height = 0;
    return RecordStatus(GdipGetImageHeight(handle_, &height)) ? height : 0;
}

bool GfxImage::ImageRotateFlip(RotateFlipType type) {
    return RecordStatus(GdipImageRotateFlip(handle_, type));
}

bool GfxImage::DisposeImage() {
    // The image goes before the bytes it may still read from.
    bool ok = DeleteHandle();
    stream_.Release();
    return ok;
}

// The class id of the first installed encoder for the format; all zeros (which GDI+ refuses) when none serves
// it.
static CLSID EncoderFor(const GUID& format) {
    CLSID encoder{};
    UINT count = 0;
    UINT size = 0;
    if (GdipGetImageEncodersSize(&count, &size) != Ok || !count) return encoder;
    std::vector<ImageCodecInfo> codecs(size / sizeof(ImageCodecInfo) + 1);
    if (GdipGetImageEncoders(count, size, codecs.data()) != Ok) return encoder;
    for (UINT i = 0; i < count; ++i) {
        if (codecs[i].FormatID == format) return codecs[i].Clsid;
    }
    return encoder;
}

std::string GfxImage::SaveToMemory(std::string_view format) const {
    GUID format_id{};
    if (format.empty()) {
        if (!RecordStatus(GdipGetImageRawFormat(handle_, &format_id))) return {};
    } else {
        // Text that is no GUID matches no encoder.
        std::wstring wide = WideFromText(format);
        if (FAILED(IIDFromString(wide.c_str(), &format_id))) format_id = GUID{};
    }
    CLSID encoder = EncoderFor(format_id);
    GfxMemoryStream encoded;
    if (!encoded.Open({})) {
        RecordStatus(OutOfMemory);
        return {};
    }
    if (!RecordStatus(GdipSaveImageToStream(handle_, encoded.Stream(), &encoder, nullptr))) return {};
    return encoded.ReadAll();
}

bool GfxBitmap::CreateBitmapFromScan0(INT width, INT height, PixelFormat format) {
    ReleaseImage();
    return Create<GpBitmap>(
        [&](GpBitmap** out) { return GdipCreateBitmapFromScan0(width, height, 0, format, nullptr, out); });
}

bool GfxBitmap::CreateBitmapFromScan0(INT width, INT height, INT stride, PixelFormat format, BYTE* scan0) {
    ReleaseImage();
    return Create<GpBitmap>(
        [&](GpBitmap** out) { return GdipCreateBitmapFromScan0(width, height, stride, format, scan0, out); });
}

bool GfxBitmap::CreateBitmapFromHICON(HICON icon) {
    ReleaseImage();
    return Create<GpBitmap>([&](GpBitmap** out) { return GdipCreateBitmapFromHICON(icon, out); });
}

bool GfxBitmap::CreateBitmapFromFile(std::string_view name, bool use_icm) {
    ReleaseImage();
    std::wstring wide = WideFromText(name);
    return Create<GpBitmap>([&](GpBitmap** out) {
        return use_icm ? GdipCreateBitmapFromFileICM(wide.c_str(), out)
                       : GdipCreateBitmapFromFile(wide.c_str(), out);
    });
}

bool GfxBitmap::LoadFromMemory(std::string_view bytes, bool use_icm) {
    ReleaseImage();
    IStream* stream = stream_.Open(bytes);
    if (!stream) return RecordStatus(OutOfMemory);
    bool ok = Create<GpBitmap>([&](GpBitmap** out) {
        return use_icm ? GdipCreateBitmapFromStreamICM(stream, out) : GdipCreateBitmapFromStream(stream, out);
    });
    if (!ok) stream_.Release();
    return ok;
}

HBITMAP GfxBitmap::CreateHBITMAPFromBitmap(ARGB background) const {
    HBITMAP bitmap = nullptr;
    return RecordStatus(GdipCreateHBITMAPFromBitmap(Bitmap(), &bitmap, background)) ? bitmap : nullptr;
}

ARGB GfxBitmap::BitmapGetPixel(INT x, INT y) const {
    ARGB colour = 0;
    return RecordStatus(GdipBitmapGetPixel(Bitmap(), x, y, &colour)) ? colour : 0;
}
