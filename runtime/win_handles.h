// Owning holders for kernel handles, device contexts, GDI objects, selections and menus; each frees in one place.
#pragma once

#include <windows.h>

#include <utility>

// The empty values of a handle type: most have one (0); a file handle has two, since CreateFile fails with
// INVALID_HANDLE_VALUE where other calls give 0.
template <class Handle>
constexpr bool IsNullHandle(Handle handle) {
    return handle == Handle{};
}
inline bool IsNullOrInvalidHandle(HANDLE handle) {
    return handle == nullptr || handle == INVALID_HANDLE_VALUE;
}

// Owns a handle and frees it with `Free` when it goes, unless `IsEmpty` says it holds none; movable, never
// copied. An empty holder holds 0.
template <class Handle, auto Free, auto IsEmpty = &IsNullHandle<Handle>>
class Owned {
  public:
    Owned() = default;
    explicit Owned(Handle handle) : handle_(handle) {}
    Owned(Owned&& other) noexcept : handle_(other.Release()) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    ~Owned() { Reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return !IsEmpty(handle_); }
    void Reset(Handle handle = Handle{}) {
        if (!IsEmpty(handle_)) Free(handle_);
        handle_ = handle;
    }
    // Gives the handle up without freeing it: the caller (or whoever it hands it to) frees it now.
    [[nodiscard]] Handle Release() { return std::exchange(handle_, Handle{}); }

  private:
    Handle handle_{};
};

inline void CloseKernelHandle(HANDLE h) {
    CloseHandle(h);
}
inline void DeleteGdiObject(HGDIOBJ h) {
    DeleteObject(h);
}
inline void DeleteMemoryDc(HDC dc) {
    DeleteDC(dc);
}
inline void DestroyMenuHandle(HMENU h) {
    DestroyMenu(h);
}

// Threads, events, processes: handles whose calls give 0 on failure.
using UniqueHandle = Owned<HANDLE, CloseKernelHandle>;
// Files from CreateFile, which gives INVALID_HANDLE_VALUE on failure.
using FileHandle = Owned<HANDLE, CloseKernelHandle, &IsNullOrInvalidHandle>;
// A device context of CreateCompatibleDC or CreateDC.
using MemoryDc = Owned<HDC, DeleteMemoryDc>;
// GDI objects, any kind or one kind.
using GdiObject = Owned<HGDIOBJ, DeleteGdiObject>;
using BitmapHandle = Owned<HBITMAP, DeleteGdiObject>;
using BrushHandle = Owned<HBRUSH, DeleteGdiObject>;
using PenHandle = Owned<HPEN, DeleteGdiObject>;
using RegionHandle = Owned<HRGN, DeleteGdiObject>;
using FontHandle = Owned<HFONT, DeleteGdiObject>;
using MenuHandle = Owned<HMENU, DestroyMenuHandle>;

// The device context of a window's client area (GetDC), or with `whole` of the whole window, frame included
// (GetWindowDC); given back to that window (ReleaseDC) when the holder goes.
class WindowDc {
  public:
    explicit WindowDc(HWND window, bool whole = false)
        : window_(window), dc_(whole ? GetWindowDC(window) : GetDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_) ReleaseDC(window_, dc_);
    }

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

  private:
    HWND window_;
    HDC dc_;
};

// Selects a bitmap, brush, pen or font into a device context and selects back what it replaced when the holder
// goes, so the object can be deleted afterwards. Not for regions: SelectObject answers those with no object
// to restore.
class Selection {
  public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    ~Selection() {
        if (*this) SelectObject(dc_, previous_);
    }

    explicit operator bool() const { return previous_ != nullptr && previous_ != HGDI_ERROR; }

  private:
    HDC dc_;
    HGDIOBJ previous_;
};
