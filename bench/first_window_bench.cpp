// Time from starting the program to its main window being on screen, over several starts.
// Usage: first_window_bench PROGRAM FORUM_URL [STARTS]
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_util.h"
#include "runtime/win_handles.h"
#include "tests/support/process_window.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: first_window_bench PROGRAM FORUM_URL [STARTS]\n");
        return 2;
    }
    const int starts = argc > 3 ? std::atoi(argv[3]) : 5;
    std::string command = std::string("\"") + argv[1] + "\" --forum " + argv[2];
    std::vector<double> times;
    for (int i = 0; i < starts; ++i) {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        double start = NowSeconds();
        if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process)) {
            std::fprintf(stderr, "cannot start %s\n", argv[1]);
            return 1;
        }
        const UniqueHandle process_handle(process.hProcess), thread_handle(process.hThread);
        HWND window = nullptr;
        while (!(window = VisibleWindowOf(process.dwProcessId)) && NowSeconds() - start < 30) Sleep(1);
        times.push_back(NowSeconds() - start);
        if (window) PostMessageA(window, WM_CLOSE, 0, 0);
        WaitForSingleObject(process.hProcess, 10000);
    }
    std::printf("time to first window: median %.0f ms over %d starts\n", Median(times) * 1000, starts);
    return 0;
}
