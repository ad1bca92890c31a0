// What the black-box tests read from the desktop besides the program's window: pictures of the screen and the
// clipboard.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A part of the screen as 32-bit pixels (0x00RRGGBB), rows from the top.
struct ScreenImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// The pixels of `area` (screen coordinates) as the screen shows them now.
ScreenImage CaptureScreen(const RECT& area);
ScreenImage CaptureWholeScreen();
// Writes the image as a 24-bit BMP file; false when the file cannot be written.
bool SaveBitmap(const ScreenImage& image, const std::string& path);

// For each text line of a popup menu, top to bottom, whether it is drawn greyed: a line whose darkest pixel
// is still light grey. Separators, being thin lines, are left out.
std::vector<bool> GreyedMenuLines(const ScreenImage& menu);

// The clipboard's CF_TEXT, empty when there is none; and putting text there, to tell later whether a copy
// replaced it.
std::string ClipboardText();
bool PutOnClipboard(std::string_view text);
