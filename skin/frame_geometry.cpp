// Resize zones and caption-button geometry of a skinned frame.
#include "skin/frame_geometry.h"

#include <cstddef>
#include <numeric>

namespace {

constexpr int kCorner = 10;      // corner zones are kCorner × kCorner
constexpr int kStripHeight = 22;  // hit height of the button strip
constexpr int kButtonPitch = 26;
constexpr int kButtonHeight = 18;
constexpr int kCloseFaceWidth = 40;
constexpr double kTolerance = 1e-7;

}  // namespace

FrameZone ZoneAt(int x, int y, int width, int height, int margin) {
    const int right = width, bottom = height;
    if (x <= margin && y > kCorner && y < bottom - kCorner) return FrameZone::Left;
    if (x >= right - margin && y > kCorner && y < bottom - kCorner) return FrameZone::Right;
    if (x > kCorner && y <= margin && x < right - kCorner) return FrameZone::Top;
    if (x > kCorner && y >= bottom - margin && x < right - kCorner) return FrameZone::Bottom;
    if (x <= kCorner && y <= kCorner) return FrameZone::TopLeft;
    if (x >= right - kCorner && y <= kCorner) return FrameZone::TopRight;
    if (x <= kCorner && y >= bottom - kCorner) return FrameZone::BottomLeft;
    if (x >= right - kCorner && y >= bottom - kCorner) return FrameZone::BottomRight;
    return FrameZone::None;
}

unsigned SizeCommand(FrameZone zone) {
    constexpr unsigned kSize = 0xF000;  // SC_SIZE
    switch (zone) {
        case FrameZone::Left: return kSize + 1;
        case FrameZone::Right: return kSize + 2;
        case FrameZone::Top: return kSize + 3;
        case FrameZone::TopLeft: return kSize + 4;
        case FrameZone::TopRight: return kSize + 5;
        case FrameZone::Bottom: return kSize + 6;
        case FrameZone::BottomLeft: return kSize + 7;
        case FrameZone::BottomRight: return kSize + 8;
        case FrameZone::None: break;
    }
    return 0;
}

int ReservedWidth(CaptionKind kind) {
    switch (kind) {
        // Its 40-pixel face then ends inside the window's two border columns; 38 would put it 4 pixels past
        // the window's edge, over the border.
        case CaptionKind::Close: return 44;
        case CaptionKind::Custom: return kButtonPitch + 1;  // a pixel apart from the button before it
        default: return kButtonPitch;
    }
}

ButtonStrip StripFor(const std::vector<CaptionKind>& kinds, int client_right) {
    int width = std::accumulate(kinds.begin(), kinds.end(), 0,
                                [](int sum, CaptionKind kind) { return sum + ReservedWidth(kind); });
    return {client_right - width + 1, 0, width, kStripHeight};
}

std::vector<FloatRect> LayOutButtons(const std::vector<CaptionKind>& kinds, const ButtonStrip& strip) {
    std::vector<FloatRect> rects;
    const int x0 = strip.left + 2, y0 = strip.top + 1;
    for (std::size_t n = 0; n < kinds.size(); ++n) {
        float width = kinds[n] == CaptionKind::Close ? kCloseFaceWidth : kButtonPitch;
        rects.push_back({static_cast<float>(x0 + static_cast<int>(n) * kButtonPitch), static_cast<float>(y0),
                         width, static_cast<float>(kButtonHeight)});
    }
    return rects;
}

int HitButton(const std::vector<FloatRect>& buttons, const ButtonStrip& strip, int x, int y) {
    if (x < strip.left || y < strip.top || y > strip.top + strip.height) return 0;
    for (std::size_t n = 0; n < buttons.size(); ++n) {
        const FloatRect& r = buttons[n];
        if (x - r.x > kTolerance && r.x + r.width - x > kTolerance && y - r.y > kTolerance &&
            r.y + r.height - y > kTolerance)
            return static_cast<int>(n) + 1;
    }
    return 0;
}

bool InButtonStrip(const ButtonStrip& strip, int x, int y) {
    // The top three rows stay the top edge's, so the window can be resized from above its buttons.
    return x >= strip.left && x <= strip.left + strip.width && y >= strip.top + 3 && y <= strip.top + strip.height;
}
