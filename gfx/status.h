// The status every GDI+ wrapper reports its latest call to, and the shape all the wrappers share.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <utility>

// Status of the latest flat-API call made through a wrapper member that reports one; Ok (0) is success.
// One unsynchronised value: the wrappers are used on the user-interface thread only.
extern Gdiplus::Status LastStatus;

// Stores a flat call's status in LastStatus; true when it is Ok.
inline bool RecordStatus(Gdiplus::Status status) {
    LastStatus = status;
    return status == Gdiplus::Ok;
}

// Common shape of the wrappers: each owns one native object (0 when empty), deleted with `Delete` when the
// wrapper goes away or is assigned over. Wrappers move but never copy, so exactly one deletes the object.
// Only the members report to LastStatus: destruction and replacement release quietly, so a status a caller is
// about to read is never overwritten by a temporary going out of scope.
template <typename Native, Gdiplus::Status(WINGDIPAPI* Delete)(Native*)>
class GfxObject {
  public:
    GfxObject() = default;
    GfxObject(const GfxObject&) = delete;
    GfxObject& operator=(const GfxObject&) = delete;
    GfxObject(GfxObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    GfxObject& operator=(GfxObject&& other) noexcept {
        if (this != &other) {
            Release();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    ~GfxObject() { Release(); }

    Native* GetHandle() const { return handle_; }

  protected:
    void Release() {
        if (handle_) Delete(std::exchange(handle_, nullptr));
    }

    // The delete members: an empty wrapper reports false and leaves LastStatus alone.
    bool DeleteHandle() {
        if (!handle_) return false;
        return RecordStatus(Delete(std::exchange(handle_, nullptr)));
    }

    // Create members release what the wrapper holds first, so creating twice leaks nothing. On failure the
    // wrapper stays empty.
    template <typename Created, typename Call>
    bool Create(Call call) {
        Release();
        Created* created = nullptr;
        bool ok = RecordStatus(call(&created));
        handle_ = ok ? created : nullptr;
        return ok;
    }

    Native* handle_ = nullptr;
};
