// GDI+ start-up and shutdown.
#include "gfx/startup.h"

#include <utility>

using namespace Gdiplus;

ULONG_PTR GdiplusToken = 0;

ULONG_PTR StartGdiplus(UINT32 version) {
    if (GdiplusToken) return GdiplusToken;
    GdiplusStartupInput input;
    input.GdiplusVersion = version;
    input.DebugEventCallback = nullptr;
    input.SuppressBackgroundThread = FALSE;
    input.SuppressExternalCodecs = FALSE;
    ULONG_PTR token = 0;
    if (GdiplusStartup(&token, &input, nullptr) != Ok) token = 0;
    GdiplusToken = token;
    return token;
}

void StopGdiplus(ULONG_PTR token) {
    if (!token || token == GdiplusToken) token = std::exchange(GdiplusToken, 0);
    if (token) GdiplusShutdown(token);
}
