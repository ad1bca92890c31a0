// GDI+ start-up and shutdown, and a holder that keeps the library running for its scope.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

// Token of the running library; 0 while GDI+ is not started.
extern ULONG_PTR GdiplusToken;

// Starts GDI+ and returns its token (0 when start-up fails). While the library runs, the running token is
// returned and nothing is started again, so no token is lost.
ULONG_PTR StartGdiplus(UINT32 version = 1);

// Shuts GDI+ down. Without a token, or with the program's own, the program's token is taken and cleared, so a
// second call does nothing.
void StopGdiplus(ULONG_PTR token = 0);

// Starts GDI+ when made and stops it when it goes; started() is false when start-up failed. Stops only what it
// started itself and only while that still runs: a holder made while the library already runs leaves it
// running, and one whose library was stopped meanwhile (at WM_QUIT, say) does not shut it down twice.
class GdiplusSession {
  public:
    GdiplusSession() : token_(GdiplusToken ? 0 : StartGdiplus()) {}
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    ~GdiplusSession() {
        if (token_ && token_ == GdiplusToken) StopGdiplus(token_);
    }

    bool started() const { return GdiplusToken != 0; }

  private:
    ULONG_PTR token_;
};
