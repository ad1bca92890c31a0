// Keeps a Wine desktop in use for a whole test session. Wine closes a desktop a second after its last program
// has left it and makes a new one for the next program; each test is a program of its own, so a test starting
// a moment late would start while the desktop and its explorer are being torn down. This program holds an
// invisible window there until the session ends.
#include <windows.h>

#include <cstdio>

int main() {
    HWND window = CreateWindowExA(0, "STATIC", "desktop keeper", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    if (!window) return 1;
    std::puts("ready");  // the session script waits for this line
    std::fflush(stdout);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    return 0;
}
