// Owning holders for the kernel handles, GDI objects and menus the runtime creates; each frees in one place.
#pragma once

#include <windows.h>

#include <utility>

// Owns a handle and frees it with `Free` when it goes; movable, never copied.
template <class Handle, auto Free, auto Empty = Handle{}>
class Owned {
  public:
    Owned() = default;
    explicit Owned(Handle handle) : handle_(handle) {}
    Owned(Owned&& other) noexcept : handle_(std::exchange(other.handle_, Empty)) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.handle_, Empty));
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    ~Owned() { Reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Empty; }
    void Reset(Handle handle = Empty) {
        if (handle_ != Empty) Free(handle_);
        handle_ = handle;
    }

  private:
    Handle handle_ = Empty;
};

inline void CloseKernelHandle(HANDLE h) {
    CloseHandle(h);
}
inline void DeleteGdiObject(HGDIOBJ h) {
    DeleteObject(h);
}
inline void DestroyMenuHandle(HMENU h) {
    DestroyMenu(h);
}

using UniqueHandle = Owned<HANDLE, CloseKernelHandle>;
using FontHandle = Owned<HFONT, DeleteGdiObject>;
using BrushHandle = Owned<HBRUSH, DeleteGdiObject>;
using MenuHandle = Owned<HMENU, DestroyMenuHandle>;
