// The program refuses a forum address it cannot walk: a message box says what is wrong, the exit code is 2,
// and no main window opens.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "runtime/win_handles.h"
#include "tests/support/process_window.h"
#include "tests/support/window_pump.h"

namespace {

std::string ClassOf(HWND hwnd) {
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

TEST(CommandLine, ABadForumAddressIsRefusedWithExitCode2) {
    const char* program = std::getenv("QM_PROGRAM");
    ASSERT_NE(program, nullptr) << "QM_PROGRAM names the built program";
    std::string command = std::string("\"") + program + "\" --forum ftp://bbs.example/";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process));
    const UniqueHandle process_handle(process.hProcess), thread_handle(process.hThread);

    HWND shown = nullptr;
    EXPECT_TRUE(PumpUntil([&] { return (shown = VisibleWindowOf(process.dwProcessId)) != nullptr; }, 30000));
    if (shown) {
        EXPECT_EQ(ClassOf(shown), "#32770");  // the message box, not the main window
        char text[512] = {};
        GetDlgItemTextA(shown, 0xFFFF, text, sizeof text);  // the message box's text
        EXPECT_NE(std::string(text).find("ftp://bbs.example/"), std::string::npos) << text;
        PostMessageA(shown, WM_COMMAND, IDOK, 0);
    }
    ASSERT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
    DWORD exit_code = 0;
    GetExitCodeProcess(process.hProcess, &exit_code);
    EXPECT_EQ(exit_code, 2u);
}

}  // namespace
