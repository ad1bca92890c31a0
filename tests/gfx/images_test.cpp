// Images and bitmaps: PNG encoding into memory and decoding back, files, icons, GDI bitmaps and flips.
#include <gtest/gtest.h>

#include <string>

#include "gfx/brushes.h"
#include "gfx/images.h"
#include "runtime/win_handles.h"
#include "tests/gfx/canvas.h"

using namespace Gdiplus;

namespace {

constexpr const char* kPngFormat = "{B96B3CAF-0728-11D3-9D7B-0000F81EF32E}";
const std::string kPngSignature("\x89PNG\r\n\x1A\n", 8);

// A 16 x 8 picture: four opaque colour bands, a translucent corner and a transparent one.
void Paint(Canvas& canvas) {
    GfxSolidBrush brush;
    const ARGB bands[] = {kRed, kGreen, kBlue, 0xFF123456};
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(brush.CreateSolidFill(bands[i]));
        ASSERT_TRUE(canvas.graphics.FillRectangle(brush, static_cast<REAL>(i * 4), 0, 4, 8));
    }
    ASSERT_TRUE(brush.CreateSolidFill(0x80402010));
    ASSERT_TRUE(canvas.graphics.SetClipRect(0, 0, 2, 2));
    ASSERT_TRUE(canvas.graphics.GraphicsClear(0x80402010));
    ASSERT_TRUE(canvas.graphics.SetClipRect(14, 6, 2, 2));
    ASSERT_TRUE(canvas.graphics.GraphicsClear(kTransparent));
    ASSERT_TRUE(canvas.graphics.ResetClip());
}

void ExpectSamePixels(const GfxBitmap& actual, const GfxBitmap& expected) {
    ASSERT_EQ(actual.GetImageWidth(), expected.GetImageWidth());
    ASSERT_EQ(actual.GetImageHeight(), expected.GetImageHeight());
    for (INT y = 0; y < static_cast<INT>(expected.GetImageHeight()); ++y) {
        for (INT x = 0; x < static_cast<INT>(expected.GetImageWidth()); ++x) {
            ASSERT_EQ(actual.BitmapGetPixel(x, y), expected.BitmapGetPixel(x, y)) << "at " << x << ", " << y;
        }
    }
}

TEST(GfxImages, PngRoundTripThroughMemoryKeepsEveryPixel) {
    Canvas canvas(16, 8);
    Paint(canvas);
    std::string png = canvas.bitmap.SaveToMemory(kPngFormat);
    ASSERT_GT(png.size(), kPngSignature.size());
    EXPECT_EQ(png.substr(0, 8), kPngSignature);
    // Nothing follows the closing IEND chunk and its checksum.
    EXPECT_EQ(png.substr(png.size() - 8, 4), "IEND");

    for (bool use_icm : {false, true}) {
        GfxBitmap decoded;
        std::string bytes = png;
        ASSERT_TRUE(decoded.LoadFromMemory(bytes, use_icm));
        // The caller's bytes may go away: the bitmap keeps its own.
        bytes.assign(bytes.size(), '\0');
        bytes.clear();
        bytes.shrink_to_fit();
        ExpectSamePixels(decoded, canvas.bitmap);
    }
}

TEST(GfxImages, ImageLoadedFromMemoryStaysDrawable) {
    Canvas canvas(16, 8);
    Paint(canvas);
    GfxImage image;
    {
        std::string png = canvas.bitmap.SaveToMemory(kPngFormat);
        ASSERT_TRUE(image.LoadFromMemory(png));
    }
    EXPECT_EQ(image.GetImageWidth(), 16u);
    EXPECT_EQ(image.GetImageHeight(), 8u);

    Canvas copy(16, 8);
    ASSERT_TRUE(copy.graphics.DrawImageRectRect(image, 0, 0, 16, 8));
    EXPECT_EQ(copy.Pixel(1, 4), kRed);
    EXPECT_EQ(copy.Pixel(13, 1), 0xFF123456);

    // Without a format the image is encoded in the format it was decoded from.
    std::string again = image.SaveToMemory();
    EXPECT_EQ(again.substr(0, 8), kPngSignature);
}

TEST(GfxImages, UnknownFormatsAndBadBytesFail) {
    Canvas canvas(4, 4);
    EXPECT_EQ(canvas.bitmap.SaveToMemory("{00000000-1111-2222-3333-444444444444}"), "");
    EXPECT_NE(LastStatus, Ok);
    EXPECT_EQ(canvas.bitmap.SaveToMemory("PNG"), "");
    EXPECT_NE(LastStatus, Ok);
    // A bitmap made in memory has no encoder of its own format.
    EXPECT_EQ(canvas.bitmap.SaveToMemory(), "");
    EXPECT_NE(LastStatus, Ok);

    GfxImage image;
    EXPECT_FALSE(image.LoadFromMemory("not an image at all"));
    EXPECT_EQ(image.GetHandle(), nullptr);
    EXPECT_FALSE(image.LoadFromMemory(""));
    GfxBitmap bitmap;
    std::string truncated = canvas.bitmap.SaveToMemory(kPngFormat).substr(0, 20);
    EXPECT_FALSE(bitmap.LoadFromMemory(truncated));
    EXPECT_EQ(bitmap.GetHandle(), nullptr);
    EXPECT_EQ(GfxImage().SaveToMemory(kPngFormat), "");
}

TEST(GfxImages, BitmapsDefaultTo32BitArgb) {
    GfxBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateBitmapFromScan0(3, 2));
    PixelFormat format = 0;
    ASSERT_EQ(DllExports::GdipGetImagePixelFormat(bitmap.GetHandle(), &format), Ok);
    EXPECT_EQ(format, static_cast<PixelFormat>(PixelFormat32bppARGB));
    EXPECT_EQ(bitmap.GetImageWidth(), 3u);
    EXPECT_EQ(bitmap.GetImageHeight(), 2u);

    ASSERT_TRUE(bitmap.CreateBitmapFromScan0(3, 2, PixelFormat24bppRGB));
    ASSERT_EQ(DllExports::GdipGetImagePixelFormat(bitmap.GetHandle(), &format), Ok);
    EXPECT_EQ(format, static_cast<PixelFormat>(PixelFormat24bppRGB));
}

TEST(GfxImages, GdiBitmapsAndIcons) {
    Canvas canvas(16, 8);
    Paint(canvas);
    BitmapHandle gdi(canvas.bitmap.CreateHBITMAPFromBitmap(0xFFFFFFFF));
    ASSERT_TRUE(gdi);
    BITMAP info{};
    ASSERT_TRUE(GetObjectA(gdi.get(), sizeof(info), &info));
    EXPECT_EQ(info.bmWidth, 16);
    EXPECT_EQ(info.bmHeight, 8);
    // Opaque pixels come through as they are, translucent ones laid over the background (here white).
    {
        MemoryDc dc(CreateCompatibleDC(nullptr));
        Selection selected(dc.get(), gdi.get());
        EXPECT_EQ(GetPixel(dc.get(), 1, 5), RGB(255, 0, 0));
        EXPECT_EQ(GetPixel(dc.get(), 9, 4), RGB(0, 0, 255));
        COLORREF blended = GetPixel(dc.get(), 1, 1);
        EXPECT_NEAR(GetRValue(blended), 0x9F, 2);
        EXPECT_NEAR(GetGValue(blended), 0x8F, 2);
        EXPECT_NEAR(GetBValue(blended), 0x87, 2);
    }

    GfxBitmap empty;
    EXPECT_EQ(empty.CreateHBITMAPFromBitmap(0), nullptr);

    HICON icon = LoadIconA(nullptr, MAKEINTRESOURCEA(32512));  // IDI_APPLICATION
    ASSERT_NE(icon, nullptr);
    GfxBitmap from_icon;
    ASSERT_TRUE(from_icon.CreateBitmapFromHICON(icon));
    EXPECT_EQ(from_icon.GetImageWidth(), static_cast<UINT>(GetSystemMetrics(SM_CXICON)));
}

TEST(GfxImages, RotateFlipMovesPixels) {
    Canvas canvas(16, 8);
    Paint(canvas);
    canvas.graphics.DeleteGraphics();
    ASSERT_TRUE(canvas.bitmap.ImageRotateFlip(RotateNoneFlipX));
    EXPECT_EQ(canvas.Pixel(15, 4), kRed);
    EXPECT_EQ(canvas.Pixel(0, 4), 0xFF123456);
    ASSERT_TRUE(canvas.bitmap.ImageRotateFlip(Rotate90FlipNone));
    EXPECT_EQ(canvas.bitmap.GetImageWidth(), 8u);
    EXPECT_EQ(canvas.bitmap.GetImageHeight(), 16u);
}

TEST(GfxImages, FilesWithChineseNames) {
    Canvas canvas(16, 8);
    Paint(canvas);
    std::string png = canvas.bitmap.SaveToMemory(kPngFormat);

    char folder[MAX_PATH] = {};
    ASSERT_GT(GetTempPathA(MAX_PATH, folder), 0u);
    std::string path = std::string(folder) + "图像测试.png";
    DWORD written = 0;
    {
        FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
        ASSERT_TRUE(file);
        WriteFile(file.get(), png.data(), static_cast<DWORD>(png.size()), &written, nullptr);
    }
    ASSERT_EQ(written, png.size());

    {
        GfxImage image;
        EXPECT_TRUE(image.LoadImageFromFile(path));
        EXPECT_EQ(image.GetImageWidth(), 16u);
        EXPECT_TRUE(image.LoadImageFromFile(path, true));
        EXPECT_EQ(image.GetImageHeight(), 8u);

        GfxBitmap bitmap;
        EXPECT_TRUE(bitmap.CreateBitmapFromFile(path));
        ExpectSamePixels(bitmap, canvas.bitmap);
        EXPECT_TRUE(bitmap.CreateBitmapFromFile(path, true));
        EXPECT_FALSE(bitmap.CreateBitmapFromFile(path + ".missing"));
        EXPECT_EQ(bitmap.GetHandle(), nullptr);
    }
    // Disposed images no longer hold the file.
    EXPECT_TRUE(DeleteFileA(path.c_str()));
}

}  // namespace
