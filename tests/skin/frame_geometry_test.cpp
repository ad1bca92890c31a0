// The frame's resize zones and caption-button geometry.
#include "skin/frame_geometry.h"

#include <gtest/gtest.h>

namespace {

constexpr int kWidth = 975, kHeight = 696, kMargin = 3;

TEST(FrameZones, CornersAreTenByTenAndEdgesStartBeyondThem) {
    EXPECT_EQ(ZoneAt(10, 10, kWidth, kHeight, kMargin), FrameZone::TopLeft);
    EXPECT_EQ(ZoneAt(3, 10, kWidth, kHeight, kMargin), FrameZone::TopLeft);
    EXPECT_EQ(ZoneAt(3, 11, kWidth, kHeight, kMargin), FrameZone::Left);
    EXPECT_EQ(ZoneAt(4, 11, kWidth, kHeight, kMargin), FrameZone::None);
    EXPECT_EQ(ZoneAt(11, 3, kWidth, kHeight, kMargin), FrameZone::Top);
    EXPECT_EQ(ZoneAt(kWidth - 3, 300, kWidth, kHeight, kMargin), FrameZone::Right);
    EXPECT_EQ(ZoneAt(500, kHeight - 3, kWidth, kHeight, kMargin), FrameZone::Bottom);
    EXPECT_EQ(ZoneAt(kWidth - 10, 10, kWidth, kHeight, kMargin), FrameZone::TopRight);
    EXPECT_EQ(ZoneAt(10, kHeight - 10, kWidth, kHeight, kMargin), FrameZone::BottomLeft);
    EXPECT_EQ(ZoneAt(kWidth - 10, kHeight - 10, kWidth, kHeight, kMargin), FrameZone::BottomRight);
    EXPECT_EQ(ZoneAt(500, 300, kWidth, kHeight, kMargin), FrameZone::None);
}

TEST(FrameZones, EachZoneSizesFromItsOwnSide) {
    EXPECT_EQ(SizeCommand(FrameZone::Left), 0xF001u);
    EXPECT_EQ(SizeCommand(FrameZone::Right), 0xF002u);
    EXPECT_EQ(SizeCommand(FrameZone::Top), 0xF003u);
    EXPECT_EQ(SizeCommand(FrameZone::TopLeft), 0xF004u);
    EXPECT_EQ(SizeCommand(FrameZone::TopRight), 0xF005u);
    EXPECT_EQ(SizeCommand(FrameZone::Bottom), 0xF006u);
    EXPECT_EQ(SizeCommand(FrameZone::BottomLeft), 0xF007u);
    EXPECT_EQ(SizeCommand(FrameZone::BottomRight), 0xF008u);
    EXPECT_EQ(SizeCommand(FrameZone::None), 0u);
}

const std::vector<CaptionKind> kUsual{CaptionKind::Minimise, CaptionKind::Maximise, CaptionKind::Close};

TEST(CaptionButtons, SitTwentySixApartWithTheCloseButtonFortyWideInsideTheBorder) {
    ButtonStrip strip = StripFor(kUsual, kWidth);
    EXPECT_EQ(strip.height, 22);
    std::vector<FloatRect> rects = LayOutButtons(kUsual, strip);
    ASSERT_EQ(rects.size(), 3u);
    EXPECT_EQ(rects[1].x - rects[0].x, 26);
    EXPECT_EQ(rects[2].x - rects[1].x, 26);
    EXPECT_EQ(rects[0].width, 26);
    EXPECT_EQ(rects[2].width, 40);
    for (const FloatRect& r : rects) EXPECT_EQ(r.height, 18);
    // The close face (one pixel left of its layout rectangle) ends before the two border columns.
    EXPECT_EQ(rects[2].x - 1 + rects[2].width, kWidth - 2);

    std::vector<CaptionKind> close_only{CaptionKind::Close};
    std::vector<FloatRect> alone = LayOutButtons(close_only, StripFor(close_only, kWidth));
    EXPECT_EQ(alone[0].x - 1 + alone[0].width, kWidth - 2);
}

TEST(CaptionButtons, AButtonOfTheProgramsOwnWidensTheStripBy27AndKeepsItsRightEdge) {
    std::vector<CaptionKind> with_own{CaptionKind::Custom};
    with_own.insert(with_own.end(), kUsual.begin(), kUsual.end());
    const ButtonStrip usual = StripFor(kUsual, kWidth), wider = StripFor(with_own, kWidth);
    EXPECT_EQ(wider.width, usual.width + 27);
    EXPECT_EQ(wider.left + wider.width, usual.left + usual.width);
    EXPECT_EQ(LayOutButtons(with_own, wider).size(), 4u);
}

TEST(CaptionButtons, APointOnAButtonsBorderIsInNoButton) {
    ButtonStrip strip = StripFor(kUsual, kWidth);
    std::vector<FloatRect> rects = LayOutButtons(kUsual, strip);
    const int x = static_cast<int>(rects[1].x), y = static_cast<int>(rects[1].y);
    EXPECT_EQ(HitButton(rects, strip, x + 1, y + 1), 2);
    EXPECT_EQ(HitButton(rects, strip, x + 25, y + 17), 2);
    EXPECT_EQ(HitButton(rects, strip, x, y + 5), 0);       // the left border, shared with the button before
    EXPECT_EQ(HitButton(rects, strip, x + 5, y), 0);       // the top border
    EXPECT_EQ(HitButton(rects, strip, x + 5, y + 18), 0);  // the bottom border
    EXPECT_EQ(HitButton(rects, strip, x + 5, y + 30), 0);  // below the strip
    EXPECT_EQ(HitButton(rects, strip, 100, 10), 0);        // the caption, left of the strip
}

TEST(CaptionButtons, TheStripIsNotTheCaptionButItsTopRowsStayTheTopEdge) {
    ButtonStrip strip = StripFor(kUsual, kWidth);
    EXPECT_TRUE(InButtonStrip(strip, strip.left + 10, 10));
    EXPECT_FALSE(InButtonStrip(strip, strip.left + 10, 2));
    EXPECT_FALSE(InButtonStrip(strip, strip.left - 1, 10));
    EXPECT_FALSE(InButtonStrip(strip, strip.left + 10, strip.height + 1));
}

}  // namespace
