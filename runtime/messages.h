// Private messages of the program's windows, each with what its parameters carry.
#pragma once

#include <windows.h>

enum PrivateMessage : UINT {
    // Runs a call on the window's thread. Sent, never posted, by RunOnWindowThread.
    // wParam: 0. lParam: std::function<void()>* owned by the sender. Result: 0.
    WM_QM_INVOKE = WM_APP + 1,
};
