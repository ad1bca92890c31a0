// The skinned main window in each of its states, as the screen shows it, against its stored picture in
// docs/states: a change of painting that makes a state look otherwise fails with a picture of where. With
// QM_PICTURES_WRITE set, the pictures are taken anew instead (make pictures).
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "app/main_controls.h"
#include "app/main_window.h"
#include "app/settings_controls.h"
#include "gfx/images.h"
#include "gfx/startup.h"
#include "runtime/services.h"
#include "tests/support/loopback_server.h"
#include "tests/support/thread_page.h"
#include "tests/support/window_pump.h"

namespace {

// The forum the pictures show, on a port of its own so the caption reads the same every time.
constexpr int kForumPort = 8452;
const std::string kStates = QM_PICTURE_STATES;  // docs/states of the source tree
const std::string kWork = QM_PICTURE_WORK;      // where a mismatch leaves its pictures

// A picture of a screen area: 0x00RRGGBB pixels, rows from the top.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
};

// The screen's pixels, or with `window` what that window's surface holds now (`area` in its window coordinates):
// under Wine the screen follows a window's surface a little later.
Picture Capture(const RECT& area, HWND window = nullptr) {
    Picture picture{area.right - area.left, area.bottom - area.top, {}};
    HDC screen = window ? GetWindowDC(window) : GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), picture.width, -picture.height, 1, 32, BI_RGB};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, picture.width, picture.height, screen, area.left, area.top, SRCCOPY);
    const auto* pixels = static_cast<const uint32_t*>(bits);
    picture.pixels.assign(pixels, pixels + static_cast<size_t>(picture.width) * picture.height);
    for (uint32_t& pixel : picture.pixels) pixel &= 0xFFFFFF;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, screen);
    return picture;
}

// PNG bytes of a picture, and a picture of PNG bytes (empty when they are none).
std::string Encoded(Picture picture) {
    for (uint32_t& pixel : picture.pixels) pixel |= 0xFF000000;
    GfxBitmap bitmap;
    bitmap.CreateBitmapFromScan0(picture.width, picture.height, picture.width * 4, PixelFormat32bppARGB,
                                 reinterpret_cast<BYTE*>(picture.pixels.data()));
    return bitmap.SaveToMemory("{B96B3CAF-0728-11D3-9D7B-0000F81EF32E}");
}

Picture Decoded(const std::string& bytes) {
    GfxBitmap bitmap;
    if (bytes.empty() || !bitmap.LoadFromMemory(bytes)) return {};
    Picture picture{static_cast<int>(bitmap.GetImageWidth()), static_cast<int>(bitmap.GetImageHeight()), {}};
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) picture.pixels.push_back(bitmap.BitmapGetPixel(x, y) & 0xFFFFFF);
    }
    return picture;
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Two pixels look the same when no channel differs by more than this: what the same fonts and GDI+ give
// from one machine to another.
constexpr int kChannelTolerance = 24;

bool Alike(uint32_t a, uint32_t b) {
    for (int shift : {0, 8, 16}) {
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > kChannelTolerance)
            return false;
    }
    return true;
}

// The stored picture of `state` against `taken`: true when they look alike (at most 1 pixel in 1,000
// otherwise). Else the taken picture and one of where they differ (red over a faded copy) are left in the
// work folder, and the failure names them.
void ExpectLooksAsStored(const std::string& state, const Picture& taken) {
    // make pictures takes them with the 64-bit build; Wine's 32-bit GDI+ is not known to smooth edges alike.
    if constexpr (sizeof(void*) == 4) GTEST_SKIP() << "the stored pictures are the 64-bit build's";
    const std::string stored_path = kStates + "/" + state + ".png";
    if (std::getenv("QM_PICTURES_WRITE")) {
        WriteFile(stored_path, Encoded(taken));
        std::printf("wrote %s\n", stored_path.c_str());
        return;
    }
    const Picture stored = Decoded(ReadFile(stored_path));
    ASSERT_EQ(stored.width, taken.width) << stored_path << " (make pictures takes it anew)";
    ASSERT_EQ(stored.height, taken.height) << stored_path;
    Picture difference = taken;
    size_t differing = 0;
    for (size_t i = 0; i < taken.pixels.size(); ++i) {
        const bool same = Alike(stored.pixels[i], taken.pixels[i]);
        differing += !same;
        const uint32_t faded = ((taken.pixels[i] >> 2) & 0x3F3F3F) + 0xC0C0C0;
        difference.pixels[i] = same ? faded : 0xFF0000;
    }
    if (differing * 1000 <= taken.pixels.size()) return;
    const std::string actual = kWork + "/" + state + "-actual.png", marked = kWork + "/" + state + "-difference.png";
    WriteFile(actual, Encoded(taken));
    WriteFile(marked, Encoded(difference));
    ADD_FAILURE() << state << ": " << differing << " of " << taken.pixels.size() << " pixels differ from "
                  << stored_path << "; taken: " << actual << ", differences in red: " << marked;
}

// A forum whose threads from 1020 on answer once the test lets them, and whose thread 1105 keeps failing.
class PictureForum {
  public:
    PictureForum()
        : server_([this](const ReceivedRequest& request) { return Answer(request); }, kForumPort) {}
    ~PictureForum() { released_ = true; }
    std::string Url() const { return server_.Url("/"); }
    void Release() { released_ = true; }

  private:
    Reply Answer(const ReceivedRequest& request) {
        if (request.target == "/")
            return {.body = "<p><em>1</em><span class=\"pipe\">|</span>会员: <em>12,345</em><span class=\"pipe\">|"};
        const size_t id_end = request.target.find('-', 8);
        if (request.target.rfind("/thread-", 0) != 0 || id_end == std::string::npos) return {.status = "404 Not Found"};
        const std::string id = request.target.substr(8, id_end - 8);
        if (id == "1105") return {.status = "503 Service Unavailable", .headers = "Retry-After: 0\r\n"};
        for (int waited = 0; std::atoi(id.c_str()) >= 1020 && std::atoi(id.c_str()) < 1100 && !released_ && waited < 30000;
             waited += 10)
            Sleep(10);
        const std::string uid = std::to_string(std::atoi(id.c_str()) % 97 + 1000);
        return {.body = ThreadPage(Url(), "示例主题 " + id + "：本地论坛的日常讨论", uid, "会员" + uid)};
    }

    std::atomic<bool> released_{false};
    LoopbackServer server_;
};

// Moves the screen's cursor to a point the way a hand does, so the window under it sees the mouse.
void MoveCursor(POINT at) {
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = (at.x * 65535 + width / 2) / (width - 1);
    input.mi.dy = (at.y * 65535 + height / 2) / (height - 1);
    input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    SendInput(1, &input, sizeof input);
}

class WindowStates : public testing::Test {
  protected:
    void SetUp() override {
        MoveCursor({1270, 1010});  // over no window
        DeleteFileA((ProgramDirectory() + "\\临时文件.ini").c_str());
        window_ = std::make_unique<MainWindow>(ForumSettings{.address = forum_.Url()}, &skin_);
        ASSERT_TRUE(window_->Create(nullptr, SW_SHOWNORMAL));
        SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        // The list holds the focus, so no caret blinks in a picture.
        SetFocus((*this)[kResultList].hwnd());
        ASSERT_TRUE(PumpUntil([&] { return window_->form().Window().Text().ends_with("12,345"); }, 10000));
        Settle();
    }
    void TearDown() override {
        forum_.Release();
        window_.reset();
    }

    HWND hwnd() { return window_->form().hwnd(); }
    Control operator[](ControlName name) { return window_->form()[name]; }
    RECT Area() {
        RECT area;
        GetWindowRect(hwnd(), &area);
        return area;
    }
    // Lets every paint, fade and late row reach the screen.
    static void Settle() { PumpUntil([] { return false; }, 700); }

    void Run(const char* first, const char* count) {
        (*this)[kFirstIdEdit].SetText(first);
        (*this)[kCountEdit].SetText(count);
        SendMessageA((*this)[kStartButton].hwnd(), BM_CLICK, 0, 0);
    }
    bool RunEnds() {
        return PumpUntil([&] { return (*this)[kStartButton].Text() == "开始"; }, 30000);
    }
    void Hover(ControlName name) {
        RECT place;
        GetWindowRect((*this)[name].hwnd(), &place);
        MoveCursor({(place.left + place.right) / 2, (place.top + place.bottom) / 2});
        Settle();
    }

    GdiplusSession gdiplus_;
    SkinEngine skin_;
    PictureForum forum_;
    std::unique_ptr<MainWindow> window_;
};

TEST_F(WindowStates, Idle) {
    ExpectLooksAsStored("idle", Capture(Area()));
}

TEST_F(WindowStates, EachControlUnderTheMouse) {
    const struct {
        ControlName control;
        const char* state;
    } controls[] = {{kStartButton, "hover-start"},    {kEmptyTitleFilter, "hover-check-box"},
                    {kFirstIdEdit, "hover-edit-box"}, {kSearchColumn, "hover-combo-box"},
                    {kSearchEdit, "hover-search-box"}, {kResultList, "hover-list"}};
    for (const auto& [control, state] : controls) {
        SCOPED_TRACE(state);
        Hover(control);
        ExpectLooksAsStored(state, Capture(Area()));
    }
}

TEST_F(WindowStates, ARunGoingAndAFilteredList) {
    Run("1000", "49");
    ASSERT_TRUE(PumpUntil([&] { return (*this)[kResultList].RowCount() == 20 && (*this)[kProgressLabel].Text() == "20/49"; },
                          20000));
    Settle();
    ExpectLooksAsStored("running", Capture(Area()));
    forum_.Release();
    ASSERT_TRUE(RunEnds());
    (*this)[kSearchEdit].SetText("101");
    ASSERT_TRUE(PumpUntil([&] { return (*this)[kResultList].RowCount() == 10; }, 10000));
    Settle();
    ExpectLooksAsStored("filtered", Capture(Area()));
}

// The bottom of the window while a run changes the status line and the progress label many times a second:
// what the screen shows there at any moment is what a fresh paint of it shows (never two texts over each
// other, nor a blank), and the window's bottom border stays whole under the status line.
TEST_F(WindowStates, TheLabelsOfARunNeverShowTwoTextsOrABlank) {
    forum_.Release();
    // The strip from above the progress bar down to the window's bottom edge, in window and client coordinates.
    RECT bar;
    GetWindowRect((*this)[kProgressBar].hwnd(), &bar);
    const RECT window = Area();
    const RECT strip{0, bar.top - 4 - window.top, window.right - window.left, window.bottom - window.top};
    RECT strip_in_client = strip;
    OffsetRect(&strip_in_client, window.left, window.top);
    MapWindowPoints(HWND_DESKTOP, hwnd(), reinterpret_cast<POINT*>(&strip_in_client), 2);
    const auto border_whole = [&](const Picture& seen) {
        for (int x = 8; x < seen.width - 8; ++x) {
            const uint32_t outer = seen.pixels[static_cast<size_t>(seen.height - 1) * seen.width + x];
            if (((outer >> 16) & 0xFF) + ((outer >> 8) & 0xFF) + (outer & 0xFF) > 3 * 110) return false;
        }
        return true;
    };
    int taken = 0;
    for (int first = 1200; taken < 200; first += 3000) {
        Run(std::to_string(first).c_str(), "3000");
        while (taken < 200 && (*this)[kStartButton].Text() == "停止") {
            PumpUntil([] { return false; }, 10 + taken % 7);
            const Picture seen = Capture(strip, hwnd());
            RedrawWindow(hwnd(), &strip_in_client, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            const Picture fresh = Capture(strip, hwnd());
            ++taken;
            size_t differing = 0;
            for (size_t i = 0; i < seen.pixels.size(); ++i) differing += !Alike(seen.pixels[i], fresh.pixels[i]);
            if (differing == 0 && border_whole(seen)) continue;
            WriteFile(kWork + "/smear-seen.png", Encoded(seen));
            WriteFile(kWork + "/smear-fresh.png", Encoded(fresh));
            FAIL() << "screenshot " << taken << ": " << differing << " pixels differ from a fresh paint, border "
                   << (border_whole(seen) ? "whole" : "broken") << "; pictures: " << kWork << "/smear-*.png";
        }
        if ((*this)[kStartButton].Text() == "停止") SendMessageA((*this)[kStartButton].hwnd(), BM_CLICK, 0, 0);
        ASSERT_TRUE(RunEnds());
    }
}

TEST_F(WindowStates, AListWithAFailedRowAndItsSummary) {
    Run("1100", "9");
    ASSERT_TRUE(RunEnds());
    Settle();
    ExpectLooksAsStored("failed-row", Capture(Area()));
}

TEST_F(WindowStates, ThePopupMenuOpen) {
    forum_.Release();
    Run("1000", "19");
    ASSERT_TRUE(RunEnds());
    // As a right click leaves it: the list has the focus (the start button took it) and the row is selected.
    SetFocus((*this)[kResultList].hwnd());
    (*this)[kResultList].SetSelection(3);
    Settle();
    // The menu runs a loop of its own on this thread: another thread takes the picture and closes it.
    std::atomic<bool> taken{false};
    Picture menu;
    std::thread photographer([&] {
        HWND popup = nullptr;
        for (int waited = 0; waited < 10000 && !(popup = FindWindowA("#32768", nullptr)); waited += 20) Sleep(20);
        Sleep(500);
        menu = Capture(Area());
        taken = true;
        if (popup) PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0);
        keybd_event(VK_ESCAPE, 0, 0, 0);
        keybd_event(VK_ESCAPE, 0, KEYEVENTF_KEYUP, 0);
    });
    RECT row{LVIR_BOUNDS};
    SendMessageA((*this)[kResultList].hwnd(), LVM_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&row));
    POINT at{row.left + 200, (row.top + row.bottom) / 2};
    ClientToScreen((*this)[kResultList].hwnd(), &at);
    MoveCursor(at);
    Settle();  // the menu opens where the cursor is
    NMHDR click{(*this)[kResultList].hwnd(), static_cast<UINT_PTR>(GetDlgCtrlID((*this)[kResultList].hwnd())),
                static_cast<UINT>(NM_RCLICK)};
    SendMessageA(hwnd(), WM_NOTIFY, click.idFrom, reinterpret_cast<LPARAM>(&click));
    PumpUntil([&] { return taken.load(); }, 15000);
    photographer.join();
    ExpectLooksAsStored("menu", menu);
}

TEST_F(WindowStates, TheSettingsWindow) {
    window_->OpenSettings();
    ASSERT_TRUE(window_->settings_window() && window_->settings_window()->IsOpen());
    SetFocus(window_->settings_window()->form()[kCheckButton].hwnd());
    Settle();
    ExpectLooksAsStored("settings", Capture(Area()));
}

TEST_F(WindowStates, AMessageBox) {
    std::thread asker([] { ShowMessage("没有选中文件", "信息：", MB_ICONHAND); });
    HWND box = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (box = FindWindowA("#32770", "信息：")) != nullptr; }, 10000));
    Settle();
    const Picture taken = Capture(Area());
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    asker.join();
    ExpectLooksAsStored("message-box", taken);
}

}  // namespace
