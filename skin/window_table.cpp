// The window table: records of skinned windows, their surfaces and the index properties.
#include "skin/window_table.h"

#include <utility>

size_t IndexProperty(HWND window, const char* name) {
    return reinterpret_cast<size_t>(GetPropA(window, name));
}

void SetIndexProperty(HWND window, const char* name, size_t index) {
    SetPropA(window, name, reinterpret_cast<HANDLE>(index));
}

WNDPROC PreviousProcedure(HWND window) {
    return reinterpret_cast<WNDPROC>(GetPropA(window, kPreviousProcedureProperty));
}

void RemoveSkinProperties(HWND window) {
    for (const char* name : {kPreviousProcedureProperty, kRecordIndexProperty, kOwnerIndexProperty}) {
        RemovePropA(window, name);
    }
}

LRESULT CallPreviousProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    WNDPROC previous = PreviousProcedure(window);
    return previous ? CallWindowProcA(previous, window, message, wparam, lparam)
                    : DefWindowProcA(window, message, wparam, lparam);
}

bool Surface::Resize(int width, int height) {
    if (bitmap_ && width == width_ && height == height_) return true;
    Free();
    if (width <= 0 || height <= 0) return false;
    dc_.Reset(CreateCompatibleDC(nullptr));
    // A top-down 32-bit DIB: GDI+ draws into it with alpha, and BitBlt copies it to any screen.
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    bitmap_.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dc_ || !bitmap_) {
        Free();
        return false;
    }
    original_ = SelectObject(dc_.get(), bitmap_.get());
    pixels_ = static_cast<BYTE*>(bits);
    width_ = width;
    height_ = height;
    return true;
}

void Surface::Free() {
    if (dc_ && original_) SelectObject(dc_.get(), original_);
    original_ = nullptr;
    pixels_ = nullptr;
    bitmap_.Reset();
    dc_.Reset();
    width_ = height_ = 0;
}

bool WindowRecord::EnterHover(HWND child) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, child, 0};
    TrackMouseEvent(&track);
    return std::exchange(hot_child, child) != child;
}

void WindowRecord::LeaveHover(HWND child) {
    if (hot_child == child) hot_child = nullptr;
}

void WindowRecord::ForgetChild(HWND child) {
    LeaveHover(child);
    std::erase_if(child_backgrounds, [&](const ChildBackground& background) { return background.control == child; });
}

void WindowRecord::ForgetBackgroundsWithin(HWND ancestor) {
    std::erase_if(child_backgrounds,
                  [&](const ChildBackground& background) { return IsChild(ancestor, background.control); });
}

const ContainerRecord* WindowRecord::Container(HWND window) const {
    for (const ContainerRecord& container : containers) {
        if (container.control.window == window) return &container;
    }
    return nullptr;
}

const PaintedLayer* WindowRecord::Layer(HWND window) const {
    for (const PaintedLayer& layer : layers) {
        if (layer.window == window) return &layer;
    }
    return nullptr;
}

size_t WindowTable::Find(HWND window) const {
    for (size_t i = 0; i < records_.size(); ++i) {
        if (records_[i]->window == window) return i + 1;
    }
    return 0;
}

WindowRecord* WindowTable::At(size_t index) const {
    return index >= 1 && index <= records_.size() ? records_[index - 1].get() : nullptr;
}

WindowRecord* WindowTable::RecordOf(HWND window) const {
    return At(Find(window));
}

size_t WindowTable::Add(std::unique_ptr<WindowRecord> record) {
    records_.push_back(std::move(record));
    return records_.size();
}

void WindowTable::Remove(size_t index) {
    if (!At(index)) return;
    records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(index - 1));
    for (size_t i = index - 1; i < records_.size(); ++i) {
        WindowRecord& record = *records_[i];
        SetIndexProperty(record.window, kRecordIndexProperty, i + 1);
        for (const auto& list : record.children) {
            for (const ControlRecord& child : list) SetIndexProperty(child.window, kOwnerIndexProperty, i + 1);
        }
        for (const ContainerRecord& container : record.containers)
            SetIndexProperty(container.control.window, kOwnerIndexProperty, i + 1);
        for (const RegisteredWindow& registered : record.registered)
            SetIndexProperty(registered.window, kRegisteredOwnerProperty, i + 1);
    }
}
