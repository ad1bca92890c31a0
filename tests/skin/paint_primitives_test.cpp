// The shared painting pieces: colours with alpha, see-through backgrounds, titles cut to fit.
#include "skin/paint_primitives.h"

#include <gtest/gtest.h>

#include "runtime/win_handles.h"

namespace {

TEST(MakeArgb, SwapsRedAndBlueAndTakesTheAlphaOnlyWhenAsked) {
    EXPECT_EQ(MakeArgb(0xDDCA22, 120), 0x7822CADDu);
    EXPECT_EQ(MakeArgb(0xDDCA22, 120, false), 0xFF22CADDu);
}

// A memory DC showing a known picture: red left half, blue right half.
struct Picture {
    MemoryDc dc{CreateCompatibleDC(nullptr)};
    BitmapHandle bitmap;
    HGDIOBJ original = nullptr;
    Picture() {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), 40, -20, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        bitmap.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        original = SelectObject(dc.get(), bitmap.get());
        BrushHandle red(CreateSolidBrush(RGB(255, 0, 0))), blue(CreateSolidBrush(RGB(0, 0, 255)));
        RECT left{0, 0, 20, 20}, right{20, 0, 40, 20};
        FillRect(dc.get(), &left, red.get());
        FillRect(dc.get(), &right, blue.get());
    }
    ~Picture() { SelectObject(dc.get(), original); }
};

COLORREF PixelOf(HBITMAP bitmap, int x, int y) {
    MemoryDc dc(CreateCompatibleDC(nullptr));
    Selection selected(dc.get(), bitmap);
    return GetPixel(dc.get(), x, y);
}

TEST(SeeThroughBackground, HoldsWhatLiesUnderTheControlUnderAVeil) {
    Picture frame;
    const RECT place{15, 5, 25, 15};  // across the border of the two halves
    BitmapHandle clear = SeeThroughBackground(frame.dc.get(), place, 0);
    ASSERT_TRUE(clear);
    EXPECT_EQ(PixelOf(clear.get(), 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(PixelOf(clear.get(), 9, 9), RGB(0, 0, 255));

    BitmapHandle veiled = SeeThroughBackground(frame.dc.get(), place, 128);
    COLORREF pink = PixelOf(veiled.get(), 0, 0);
    EXPECT_EQ(GetRValue(pink), 255);
    EXPECT_NEAR(GetGValue(pink), 128, 3);
    EXPECT_NEAR(GetBValue(pink), 128, 3);
}

class FitTextTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(bitmap_.CreateBitmapFromScan0(10, 10));
        ASSERT_TRUE(graphics_.FromImage(bitmap_));
        LOGFONTA gui{};
        GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui);
        ASSERT_TRUE(font_.CreateFromName(gui.lfFaceName, 12, Gdiplus::FontStyleBold, Gdiplus::UnitPixel));
        ASSERT_TRUE(format_.CreateStringFormat(Gdiplus::StringFormatFlagsNoWrap));
    }
    float Width(const std::string& text) {
        Gdiplus::RectF bounds;
        graphics_.MeasureString(text, font_, {0, 0, 100000, 1000}, bounds, &format_);
        return bounds.Width;
    }
    GfxBitmap bitmap_;
    GfxGraphics graphics_;
    GfxFont font_;
    GfxStringFormat format_;
};

TEST_F(FitTextTest, ALongTitleIsCutAtACharacterAndEndsInAnEllipsis) {
    const std::string title = "Quillmoor 标题遍历器V1.0 <Brenwick> 当前帖子数：12345";
    EXPECT_EQ(FitTextToWidth(graphics_, title, font_, format_, 10000), title);

    const std::string cut = FitTextToWidth(graphics_, title, font_, format_, 120);
    ASSERT_GE(cut.size(), 2u);
    EXPECT_LT(cut.size(), title.size());
    EXPECT_EQ(cut.substr(cut.size() - 2), "…");
    EXPECT_LE(Width(cut), 120);
    const std::string kept = cut.substr(0, cut.size() - 2);
    EXPECT_EQ(title.compare(0, kept.size(), kept), 0);
    // Never half of a two-byte character: what is kept ends where a character of the title ends.
    size_t pos = 0;
    while (pos < kept.size()) pos += static_cast<unsigned char>(title[pos]) >= 0x80 ? 2 : 1;
    EXPECT_EQ(pos, kept.size());
    // The longest that fits: one more character would not.
    const size_t next = pos + (static_cast<unsigned char>(title[pos]) >= 0x80 ? 2 : 1);
    EXPECT_GT(Width(title.substr(0, next) + "…"), 120);
}

}  // namespace
