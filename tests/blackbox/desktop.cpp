// Screen pictures through GDI and the clipboard's text.
#include "tests/blackbox/desktop.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>

#include "tests/blackbox/program_driver.h"

namespace {

struct ScreenDcReleaser {
    void operator()(HDC dc) const { ReleaseDC(nullptr, dc); }
};
struct DcDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Keeps the clipboard open while it lives; other programs may hold it for a moment, so opening retries.
class OpenedClipboard {
  public:
    OpenedClipboard() : open_(WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, 2000)) {}
    ~OpenedClipboard() {
        if (open_) CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    explicit operator bool() const { return open_; }

  private:
    bool open_;
};

int Luminance(uint32_t pixel) {
    return static_cast<int>(((pixel >> 16) & 0xFF) * 299 + ((pixel >> 8) & 0xFF) * 587 +
                            (pixel & 0xFF) * 114) /
           1000;
}

template <class T>
void PutLittleEndian(std::vector<unsigned char>& out, T value) {
    for (size_t i = 0; i < sizeof value; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

}  // namespace

ScreenImage CaptureScreen(const RECT& area) {
    ScreenImage image;
    image.width = area.right - area.left;
    image.height = area.bottom - area.top;
    if (image.width <= 0 || image.height <= 0) return {};
    std::unique_ptr<HDC__, ScreenDcReleaser> screen(GetDC(nullptr));
    std::unique_ptr<HDC__, DcDeleter> memory(CreateCompatibleDC(screen.get()));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;  // rows from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    std::unique_ptr<void, GdiObjectDeleter> bitmap(
        CreateDIBSection(memory.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return {};
    HGDIOBJ previous = SelectObject(memory.get(), bitmap.get());
    BitBlt(memory.get(), 0, 0, image.width, image.height, screen.get(), area.left, area.top,
           SRCCOPY | CAPTUREBLT);
    GdiFlush();
    image.pixels.assign(static_cast<const uint32_t*>(bits),
                        static_cast<const uint32_t*>(bits) + static_cast<size_t>(image.width) * image.height);
    for (uint32_t& pixel : image.pixels) pixel &= 0xFFFFFF;
    SelectObject(memory.get(), previous);
    return image;
}

ScreenImage CaptureWholeScreen() {
    return CaptureScreen({0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
}

bool SaveBitmap(const ScreenImage& image, const std::string& path) {
    if (image.pixels.empty()) return false;
    const uint32_t row_bytes = (static_cast<uint32_t>(image.width) * 3 + 3) & ~3u;
    const uint32_t data_bytes = row_bytes * static_cast<uint32_t>(image.height);
    std::vector<unsigned char> out;
    out.push_back('B');
    out.push_back('M');
    PutLittleEndian<uint32_t>(out, 54 + data_bytes);
    PutLittleEndian<uint32_t>(out, 0);
    PutLittleEndian<uint32_t>(out, 54);
    PutLittleEndian<uint32_t>(out, 40);
    PutLittleEndian<int32_t>(out, image.width);
    PutLittleEndian<int32_t>(out, image.height);  // rows from the bottom
    PutLittleEndian<uint16_t>(out, 1);
    PutLittleEndian<uint16_t>(out, 24);
    for (int i = 0; i < 6; ++i) PutLittleEndian<uint32_t>(out, 0);
    for (int y = image.height - 1; y >= 0; --y) {
        const size_t start = out.size();
        for (int x = 0; x < image.width; ++x) {
            const uint32_t pixel = image.At(x, y);
            out.push_back(static_cast<unsigned char>(pixel));
            out.push_back(static_cast<unsigned char>(pixel >> 8));
            out.push_back(static_cast<unsigned char>(pixel >> 16));
        }
        out.resize(start + row_bytes, 0);
    }
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    return file && std::fwrite(out.data(), 1, out.size(), file.get()) == out.size();
}

std::vector<bool> GreyedMenuLines(const ScreenImage& menu) {
    if (menu.pixels.empty()) return {};
    // The menu's own colour covers most of it; the frame is left out by a margin on every side.
    std::map<uint32_t, size_t> counts;
    for (uint32_t pixel : menu.pixels) ++counts[pixel];
    const uint32_t background = std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) {
                                    return a.second < b.second;
                                })->first;
    constexpr int kMargin = 4;
    constexpr int kShortestText = 5;  // rows; separators are one or two
    constexpr int kDarkText = 0x60;   // enabled text is near black, greyed text light grey
    std::vector<bool> greyed;
    int line_top = -1;
    int darkest = 255;
    for (int y = kMargin; y <= menu.height - kMargin; ++y) {
        int row_darkest = 256;
        if (y < menu.height - kMargin) {
            for (int x = kMargin; x < menu.width - kMargin; ++x) {
                if (menu.At(x, y) != background)
                    row_darkest = std::min(row_darkest, Luminance(menu.At(x, y)));
            }
        }
        if (row_darkest <= 255) {
            if (line_top < 0) {
                line_top = y;
                darkest = 255;
            }
            darkest = std::min(darkest, row_darkest);
        } else if (line_top >= 0) {
            if (y - line_top >= kShortestText) greyed.push_back(darkest > kDarkText);
            line_top = -1;
        }
    }
    return greyed;
}

std::string ClipboardText() {
    OpenedClipboard clipboard;
    if (!clipboard) return {};
    HANDLE data = GetClipboardData(CF_TEXT);
    const char* text = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
    if (!text) return {};
    std::string copy(text, strnlen(text, GlobalSize(data)));
    GlobalUnlock(data);
    return copy;
}

bool PutOnClipboard(std::string_view text) {
    OpenedClipboard clipboard;
    if (!clipboard || !EmptyClipboard()) return false;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, text.size() + 1);
    if (!block) return false;
    std::memcpy(GlobalLock(block), text.data(), text.size());
    GlobalUnlock(block);
    if (SetClipboardData(CF_TEXT, block)) return true;
    GlobalFree(block);
    return false;
}
