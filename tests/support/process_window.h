// Finding the window another process shows, for tests and benchmarks that start the program itself.
#pragma once

#include <windows.h>

// A visible top-level window of the process, or null when it shows none (yet).
inline HWND VisibleWindowOf(DWORD process_id) {
    struct Search {
        DWORD process;
        HWND found;
    } search{process_id, nullptr};
    EnumWindows(
        [](HWND hwnd, LPARAM parameter) CALLBACK -> BOOL {
            auto* search = reinterpret_cast<Search*>(parameter);
            DWORD process;
            GetWindowThreadProcessId(hwnd, &process);
            if (process != search->process || !IsWindowVisible(hwnd)) return TRUE;
            search->found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}
