// Starts a program as a double-click does (no arguments, its own folder as the working folder), waits for its
// main window, prints the window's caption in UTF-8, closes it and waits for the program to end. Run under Wine
// by tools/check-release.sh: start-probe.exe PROGRAM.EXE; exit status 0 when the window showed and the program
// ended when asked to.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr DWORD kWindowWaitMs = 120000;  // Wine's first start in a fresh session can take long on a busy machine
constexpr DWORD kEndWaitMs = 60000;
constexpr DWORD kPollMs = 100;

std::string Utf8(const std::wstring& text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(size > 0 ? size - 1 : 0, '\0');
    if (size > 1) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(), size, nullptr, nullptr);
    return bytes;
}

void Say(const std::string& line) {
    std::string text = "start-probe: " + line + "\n";
    DWORD written;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

std::wstring TextOf(HWND hwnd) {
    wchar_t text[1024] = {};
    GetWindowTextW(hwnd, text, 1024);
    return text;
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[256] = {};
    GetClassNameW(hwnd, name, 256);
    return name;
}

// A visible top-level window of the process with a size of its own, or null.
HWND ShownWindowOf(DWORD process_id) {
    struct Search {
        DWORD process;
        HWND found;
    } search{process_id, nullptr};
    EnumWindows(
        [](HWND hwnd, LPARAM parameter) CALLBACK -> BOOL {
            auto* search = reinterpret_cast<Search*>(parameter);
            DWORD process = 0;
            GetWindowThreadProcessId(hwnd, &process);
            RECT rect{};
            if (process != search->process || !IsWindowVisible(hwnd) || !GetWindowRect(hwnd, &rect) ||
                rect.right <= rect.left || rect.bottom <= rect.top)
                return TRUE;
            search->found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The text of a message box: its static control's text.
std::wstring MessageOf(HWND box) {
    std::wstring text;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) == L"Static" && GetWindowTextLengthW(child) > 0) text += TextOf(child) + L" ";
    }
    return text;
}

int Probe(const std::wstring& program) {
    std::wstring folder = program.substr(0, program.find_last_of(L"\\/"));
    std::wstring command = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &process)) {
        Say("could not start " + Utf8(program) + " (error " + std::to_string(GetLastError()) + ")");
        return 1;
    }
    CloseHandle(process.hThread);
    auto finish = [&](int status) {
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, kEndWaitMs);
        CloseHandle(process.hProcess);
        return status;
    };

    HWND window = nullptr;
    const ULONGLONG deadline = GetTickCount64() + kWindowWaitMs;
    while (!(window = ShownWindowOf(process.dwProcessId))) {
        if (WaitForSingleObject(process.hProcess, kPollMs) == WAIT_OBJECT_0) {
            DWORD code = 0;
            GetExitCodeProcess(process.hProcess, &code);
            Say("the program ended with status " + std::to_string(code) + " before it showed a window");
            return finish(1);
        }
        if (GetTickCount64() > deadline) {
            Say("the program showed no window within " + std::to_string(kWindowWaitMs / 1000) + " seconds");
            return finish(1);
        }
    }
    if (ClassOf(window) == L"#32770") {
        Say("the program showed a message instead of its window: " + Utf8(TextOf(window) + L": " + MessageOf(window)));
        return finish(1);
    }
    RECT rect{};
    GetWindowRect(window, &rect);
    Say("window " + std::to_string(rect.right - rect.left) + "x" + std::to_string(rect.bottom - rect.top) +
        ", caption: " + Utf8(TextOf(window)));

    PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, kEndWaitMs) != WAIT_OBJECT_0) {
        Say("the program did not end within " + std::to_string(kEndWaitMs / 1000) + " seconds of closing its window");
        return finish(1);
    }
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    if (code != 0) {
        Say("the program ended with status " + std::to_string(code) + " after its window was closed");
        return finish(1);
    }
    return finish(0);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        Say("usage: start-probe.exe PROGRAM.EXE");
        return 2;
    }
    return Probe(argv[1]);
}
