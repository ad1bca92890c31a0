// Owning holder for WinInet handles (root, connection, request), closed when the holder goes away.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <memory>
#include <type_traits>

struct InternetHandleCloser {
    void operator()(HINTERNET handle) const { InternetCloseHandle(handle); }
};

// Declare the root first, then the connection, then the request: locals are destroyed in reverse order, so
// the request is closed before its connection and the connection before the root.
using InternetHandle = std::unique_ptr<std::remove_pointer_t<HINTERNET>, InternetHandleCloser>;
