// Test windows for the skin: a plain top-level window like the program's, skinned by a skin object of the
// test's own, with the messages it saw counted, and what the screen shows of it.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <map>
#include <thread>
#include <vector>

#include "skin/frame.h"
#include "skin/paint_primitives.h"
#include "skin/skin_engine.h"
#include "skin/skin_images.h"
#include "tests/support/window_pump.h"

// What the window's own procedure (the one the skin forwards to) saw.
struct SeenMessages {
    std::map<WPARAM, int> system_commands;  // by command
    int button_clicks = 0;                  // BN_CLICKED from any child
    bool properties_gone_at_ncdestroy = false;
    bool timer_gone_at_ncdestroy = false;
};

inline SeenMessages* seen_messages = nullptr;

inline LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (seen_messages && message == WM_SYSCOMMAND) ++seen_messages->system_commands[wparam & 0xFFF0];
    if (seen_messages && message == WM_COMMAND && HIWORD(wparam) == BN_CLICKED) ++seen_messages->button_clicks;
    if (seen_messages && message == WM_NCDESTROY) {
        seen_messages->properties_gone_at_ncdestroy = !GetPropA(window, kRecordIndexProperty) &&
                                                      !GetPropA(window, kPreviousProcedureProperty);
        seen_messages->timer_gone_at_ncdestroy = !KillTimer(window, reinterpret_cast<UINT_PTR>(window));
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

// A top-level window without a system frame, shown at (left, top) in width × height.
inline HWND MakePlainWindow(int left, int top, int width, int height,
                            DWORD style = WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
                            const char* title = "Skin test window") {
    static const ATOM registered = [] {
        WNDCLASSEXA window_class{sizeof window_class};
        window_class.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
        window_class.lpfnWndProc = PlainWindowProc;
        window_class.hInstance = GetModuleHandleA(nullptr);
        window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        window_class.lpszClassName = "SkinTestWindow";
        return RegisterClassExA(&window_class);
    }();
    (void)registered;
    return CreateWindowExA(WS_EX_APPWINDOW, "SkinTestWindow", title, style, left, top, width, height, nullptr,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
}

// A solid square icon of one colour, to find in the caption.
inline HICON MakeSolidIcon(COLORREF colour) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 16, -16, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP colour_bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* pixels = static_cast<DWORD*>(bits);
    for (int i = 0; i < 16 * 16; ++i) pixels[i] = 0xFF000000 | GetRValue(colour) << 16 | GetGValue(colour) << 8 | GetBValue(colour);
    HBITMAP mask = CreateBitmap(16, 16, 1, 1, nullptr);
    ICONINFO icon{TRUE, 0, 0, mask, colour_bitmap};
    HICON made = CreateIconIndirect(&icon);
    DeleteObject(mask);
    DeleteObject(colour_bitmap);
    return made;
}

inline COLORREF ScreenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return colour;
}

// A pixel of the window's client area as the screen shows it.
inline COLORREF WindowPixel(HWND window, int x, int y) {
    POINT at{x, y};
    ClientToScreen(window, &at);
    return ScreenPixel(at.x, at.y);
}

// What the skin painted into the window's frame surface.
inline COLORREF FramePixel(const WindowRecord& record, int x, int y) {
    return GetPixel(record.frame.dc(), x, y);
}

// The screen's pixels of `area` (screen coordinates) read at once, top row first.
inline std::vector<DWORD> ScreenPixels(const RECT& area) {
    const int width = area.right - area.left, height = area.bottom - area.top;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    BitmapHandle copy(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    MemoryDc dc(CreateCompatibleDC(nullptr));
    WindowDc screen(nullptr);
    if (!copy || !dc) return {};
    Selection selected(dc.get(), copy.get());
    BitBlt(dc.get(), 0, 0, width, height, screen.get(), area.left, area.top, SRCCOPY);
    GdiFlush();
    const auto* first = static_cast<const DWORD*>(bits);
    return {first, first + static_cast<size_t>(width) * static_cast<size_t>(height)};
}

// The pixels of `area` once the painting has settled: two looks in a row, this thread's messages dispatched
// between them, agree.
inline std::vector<DWORD> SettledScreenPixels(const RECT& area) {
    std::vector<DWORD> before = ScreenPixels(area), now = before;
    for (int look = 0; look < 40; ++look) {
        PumpUntil([] { return false; }, 50);
        now = ScreenPixels(area);
        if (now == before) break;
        before = now;
    }
    return now;
}

inline size_t CountDiffering(const std::vector<DWORD>& a, const std::vector<DWORD>& b) {
    if (a.size() != b.size()) return a.size() + b.size();
    size_t differing = 0;
    for (size_t i = 0; i < a.size(); ++i) differing += a[i] != b[i];
    return differing;
}

// The screen's pixels of a rectangle of the window's client area, row by row.
inline std::vector<COLORREF> WindowPixels(HWND window, const RECT& area) {
    std::vector<COLORREF> pixels;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) pixels.push_back(WindowPixel(window, x, y));
    return pixels;
}

// How far a colour leans to blue, the skin's theme here, against red.
inline int Blueness(COLORREF colour) {
    return GetBValue(colour) - GetRValue(colour);
}

// The frame's pixel with the control alpha's white veil over it.
inline COLORREF Veiled(COLORREF c, int alpha) {
    auto veil = [&](int channel) { return channel + (255 - channel) * alpha / 255; };
    return RGB(veil(GetRValue(c)), veil(GetGValue(c)), veil(GetBValue(c)));
}

// The control alpha the program gives its main window, and the test form too.
inline constexpr int kProgramControlAlpha = 25;

// What the skin painted into `record`'s window under `screen`, under the see-through children's veil.
inline COLORREF VeiledFrameAt(const WindowRecord& record, POINT screen) {
    ScreenToClient(record.window, &screen);
    return Veiled(FramePixel(record, screen.x, screen.y), kProgramControlAlpha);
}

inline bool Near(COLORREF a, COLORREF b, int tolerance = 4) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

inline int Brightness(COLORREF colour) {
    return (GetRValue(colour) + GetGValue(colour) + GetBValue(colour)) / 3;
}

// Waits (dispatching messages) until the screen shows what `holds` wants: the window's surface reaches the
// screen when the system gets round to it.
inline bool ScreenShows(const std::function<bool()>& holds, DWORD timeout_ms = 5000) {
    return PumpUntil(holds, timeout_ms);
}

// Puts the real cursor in the screen's corner, over no test window, so only the messages a test sends move
// the mouse over its window (the cursor stays where an earlier test's drag left it).
inline void ParkCursor() {
    SetCursorPos(5, 5);
}

inline LPARAM ClientPoint(int x, int y) {
    return MAKELPARAM(x, y);
}

// The centre of caption button `n` (1-based) in client coordinates.
inline POINT ButtonCentre(const WindowRecord& record, size_t n) {
    const FloatRect& r = record.buttons[n - 1].rect;
    return {static_cast<LONG>(r.x + r.width / 2), static_cast<LONG>(r.y + r.height / 2)};
}

// A click the way the mouse makes one: press and release at a client point.
inline void ClickAt(HWND window, POINT at) {
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(at.x, at.y));
    SendMessageA(window, WM_LBUTTONUP, 0, ClientPoint(at.x, at.y));
}

// Lets the skin's 20 ms fade timer run until both fades are over.
inline bool FadesEnd(const WindowRecord& record) {
    return PumpUntil([&] { return !record.timer_running; }, 3000);
}

// Presses the left button at one screen point, moves to another in steps and releases there, as a user
// dragging does, while this thread's windows answer. The moves come only once the window's move or size loop
// has taken the mouse, as a hand's would: input is routed to the window under it when it arrives.
inline void DragOnScreen(POINT from, POINT to) {
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    auto send = [=](POINT at, DWORD flags) {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dx = (at.x * 65535 + width / 2) / (width - 1);
        input.mi.dy = (at.y * 65535 + height / 2) / (height - 1);
        input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | flags;
        SendInput(1, &input, sizeof input);
    };
    const DWORD window_thread = GetCurrentThreadId();
    std::atomic<bool> released{false};
    send(from, 0);
    send(from, MOUSEEVENTF_LEFTDOWN);
    std::thread hand([&] {
        GUITHREADINFO info{sizeof info};
        for (int waited = 0; waited < 5000; waited += 5) {
            if (GetGUIThreadInfo(window_thread, &info) && (info.flags & GUI_INMOVESIZE)) break;
            Sleep(5);
        }
        for (int step = 1; step <= 10; ++step) {
            send({from.x + (to.x - from.x) * step / 10, from.y + (to.y - from.y) * step / 10}, 0);
            Sleep(5);
        }
        send(to, MOUSEEVENTF_LEFTUP);
        released = true;
    });
    GUITHREADINFO info{sizeof info};
    PumpUntil([&] { return released && GetGUIThreadInfo(window_thread, &info) && !(info.flags & GUI_INMOVESIZE); },
              10000);
    hand.join();
}

inline int Width(const RECT& r) {
    return r.right - r.left;
}
inline int Height(const RECT& r) {
    return r.bottom - r.top;
}

// A test form: a plain window at a place of the test's own with children made by the test, skinned as the
// program skins its window (its background stretched, see-through children, an azure theme), on top of all.
class SkinnedForm : public testing::Test {
  protected:
    SkinnedForm(int left, int top, int width, int height) : left_(left), top_(top), width_(width), height_(height) {}
    explicit SkinnedForm(const RECT& place) : SkinnedForm(place.left, place.top, Width(place), Height(place)) {}

    void SetUp() override {
        ParkCursor();
        INITCOMMONCONTROLSEX classes{sizeof classes, ICC_UPDOWN_CLASS | ICC_BAR_CLASSES | ICC_TAB_CLASSES |
                                                          ICC_PROGRESS_CLASS | ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
        InitCommonControlsEx(&classes);
        seen_messages = &seen_;
        skin_.SetProgramSkin(EmbeddedImage(SkinImage::Background), RGB(25, 0, 0), RGB(0, 0x88, 0xFF),
                             BackgroundMode::Stretched);
        skin_.SetOptions(true, kProgramControlAlpha);
        window_ = MakePlainWindow(left_, top_, width_, height_);
        SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        font_.Reset(CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, GB2312_CHARSET, 0, 0, 0, 0, "宋体"));
    }
    void TearDown() override {
        DestroyWindow(window_);
        seen_messages = nullptr;
    }

    // A child of `parent` (the form when not given) in the form's font.
    HWND Child(const char* kind, const char* text, DWORD style, const RECT& place, DWORD ex_style = 0,
               HWND parent = nullptr) {
        HWND child = CreateWindowExA(ex_style, kind, text, WS_CHILD | WS_VISIBLE | style, place.left, place.top,
                                     Width(place), Height(place), parent ? parent : window_, nullptr, nullptr, nullptr);
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
        return child;
    }
    HWND Child(const char* kind, DWORD style, const RECT& place) { return Child(kind, "", style, place); }

    // Skins the form with the children made so far and waits until the screen shows it.
    void SkinAndShow(const WindowSkinOptions& options = {}) {
        skin_.SkinWindow(window_, options);
        ShowWindow(window_, SW_SHOW);
        UpdateWindow(window_);
        record_ = skin_.table().RecordOf(window_);
        ASSERT_NE(record_, nullptr);
        // A point near the right edge, where no test puts a control.
        const int x = width_ - 15, y = height_ / 2;
        ASSERT_TRUE(ScreenShows([&] { return WindowPixel(window_, x, y) == FramePixel(*record_, x, y); }));
        Settle();
    }

    // Lets every pending paint reach the screen.
    void Settle() {
        PumpUntil([] { return false; }, 100);
    }

    // A pixel of a control as the screen shows it, at (x, y) of the control's place in the form, or of its
    // window.
    COLORREF Pixel(const RECT& control, int x, int y) { return WindowPixel(window_, control.left + x, control.top + y); }
    COLORREF Pixel(HWND control, int x, int y) {
        const RECT area = WindowArea(control);
        return ScreenPixel(area.left + x, area.top + y);
    }

    // The painted frame under (x, y) of a control's window, veiled as see-through children show it.
    COLORREF VeiledFrameUnder(HWND control, int x, int y) const {
        const RECT area = WindowArea(control);
        return VeiledFrameAt(*record_, {area.left + x, area.top + y});
    }

    int left_, top_, width_, height_;
    SkinEngine skin_;
    SeenMessages seen_;
    FontHandle font_;
    HWND window_ = nullptr;
    WindowRecord* record_ = nullptr;
};
