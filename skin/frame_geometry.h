// Where things are on a skinned window's frame: the resize zones, the caption-button strip and its buttons.
#pragma once

#include <cstddef>
#include <vector>

// The zones a press resizes the window from, in the order they are tested (the first that matches wins).
enum class FrameZone { None, Left, Right, Top, Bottom, TopLeft, TopRight, BottomLeft, BottomRight };

// The zone under client point (x, y) of a window whose client area is width × height; `margin` is the width
// of the edge zones. Corners are 10 × 10; the edges start 11 pixels from a corner.
FrameZone ZoneAt(int x, int y, int width, int height, int margin);

// The WM_SYSCOMMAND that resizes from `zone` (SC_SIZE plus the zone's WMSZ_ number); 0 for none.
unsigned SizeCommand(FrameZone zone);

// Kinds of caption button, as the skin numbers them.
enum class CaptionKind { Close = 0, Maximise = 1, Minimise = 2, Menu = 3, Help = 4, Custom = 5 };

struct FloatRect {
    float x = 0, y = 0, width = 0, height = 0;
};

// The strip of caption buttons at the top right, in client coordinates; `height` is the hit area's.
struct ButtonStrip {
    int left = 0, top = 0, width = 0, height = 0;
};

// Width a button of `kind` reserves in the strip: the close button sits in the window's rounded corner and
// keeps clear of the double border.
int ReservedWidth(CaptionKind kind);

// The strip for buttons of `kinds` (display order) on a client area whose right edge is `client_right`.
ButtonStrip StripFor(const std::vector<CaptionKind>& kinds, int client_right);

// Layout rectangles of the buttons of `kinds` in `strip`: 26 pixels apart, 18 high, the close button 40 wide.
std::vector<FloatRect> LayOutButtons(const std::vector<CaptionKind>& kinds, const ButtonStrip& strip);

// 1-based number of the button whose rectangle strictly contains (x, y) (a point on a border is in none);
// 0 when none does or the point is outside the strip.
int HitButton(const std::vector<FloatRect>& buttons, const ButtonStrip& strip, int x, int y);

// Whether the point lies where the caption buttons answer the mouse: a press there is not a move or a
// resize, a double click there is not the caption's.
bool InButtonStrip(const ButtonStrip& strip, int x, int y);
