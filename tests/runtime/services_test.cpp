// The runtime's services under Wine: the Chinese code page, INI keys in a file with a Chinese name, the
// clipboard, worker threads and property calls made from them.
#include "runtime/services.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "runtime/window.h"

namespace {

constexpr ControlName kEdit{"编辑框1"};

TEST(TestBed, RunsWithTheChineseAnsiCodePage) {
    EXPECT_EQ(GetACP(), 936u);
}

TEST(IniKeys, RoundTripThroughAFileWithAChineseName) {
    const std::string file = ProgramDirectory() + "\\临时文件.ini";
    DeleteFileA(file.c_str());
    WriteIniKey(file, "配置", "总数", "3");
    WriteIniKey(file, "100", "标题", "  “引号”与&amp;实体  ");
    EXPECT_EQ(GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES, true);
    EXPECT_EQ(ReadIniKey(file, "配置", "总数"), "3");
    EXPECT_EQ(ReadIniKey(file, "\t 配置", " 总数"), "3");  // leading control characters and blanks skipped
    EXPECT_EQ(ReadIniKey(file, "100", "标题"), "“引号”与&amp;实体");  // the system trims the value
    EXPECT_EQ(ReadIniKey(file, "100", "UID"), "");
    EXPECT_EQ(ReadIniKey(file, " ", "总数"), "");
    EXPECT_EQ(ReadIniKey(ProgramDirectory() + "\\没有这个文件.ini", "配置", "总数"), "");
    EXPECT_TRUE(DeleteFileA(file.c_str()));
}

TEST(IniKeys, LongValuesComeBackCutTo10239Bytes) {
    const std::string file = ProgramDirectory() + "\\长值.ini";
    WriteIniKey(file, "s", "k", std::string(20000, 'x'));
    EXPECT_EQ(ReadIniKey(file, "s", "k"), std::string(10239, 'x'));
    DeleteFileA(file.c_str());
}

// The clipboard's CF_TEXT as bytes; "<none>" when it cannot be read.
std::string ClipboardText() {
    if (!OpenClipboard(nullptr)) return "<none>";
    std::string text = "<none>";
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        text = static_cast<const char*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

TEST(Clipboard, HoldsTheGbkBytesOfTheText) {
    ASSERT_TRUE(SetClipboardText("复制标题"));
    EXPECT_EQ(ClipboardText(), "复制标题");
}

TEST(Clipboard, ACopyWaitsForAnotherHolderToLetGoForAMoment) {
    std::atomic<bool> held{false};
    std::thread holder([&] {
        HWND window =
            CreateWindowExA(0, "Static", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        if (OpenClipboard(window)) {
            held = true;
            Sleep(50);
            CloseClipboard();
        }
        held = true;
        DestroyWindow(window);
    });
    while (!held) Sleep(1);
    EXPECT_TRUE(SetClipboardText("等一下"));
    holder.join();
    EXPECT_EQ(ClipboardText(), "等一下");
}

TEST(Workers, ChangeControlsOnlyThroughTheWindowThread) {
    FormWindow form(FormDescription{"t",
                                    10,
                                    10,
                                    300,
                                    200,
                                    {-12, FW_NORMAL, GB2312_CHARSET, ""},
                                    {{kEdit, ControlKind::Edit, 5, 5, 100, 20, "", {}, {}, {}}},
                                    {},
                                    {}});
    ASSERT_TRUE(form.Create(nullptr, SW_SHOWNORMAL));
    Control edit = form[kEdit];
    std::atomic<DWORD> ran_on{0};
    std::atomic<bool> done{false};
    ASSERT_TRUE(StartWorker([&] {
        edit.SetText("来自工作线程");
        RunOnWindowThread(edit.hwnd(), [&] { ran_on = GetCurrentThreadId(); });
        done = true;
    }));
    MSG message;
    for (DWORD start = GetTickCount(); !done && GetTickCount() - start < 5000;) {
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        Sleep(1);
    }
    ASSERT_TRUE(done);
    EXPECT_EQ(ran_on.load(), GetCurrentThreadId());
    EXPECT_EQ(edit.Text(), "来自工作线程");
    EXPECT_EQ(form[ControlName{"没有这个控件"}].hwnd(), nullptr);
}

}  // namespace
