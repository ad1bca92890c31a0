// What the skin benchmarks measure alike: medians of a paint, and cycles of what a user does to a control with
// the GDI objects, windows and private memory they leave behind.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_util.h"
#include "runtime/win_handles.h"
#include "tests/support/resource_counters.h"

inline constexpr int kWarmUp = 10;
inline constexpr int kRepetitions = 100;
inline constexpr size_t kHeapStep = 64 * 1024;  // the heap grows in steps of this; less is no leak

// Median in milliseconds of `act` over the repetitions after a warm-up; `before` runs untimed ahead of each.
template <class Before, class Act>
double MedianMs(Before before, Act act) {
    std::vector<double> times;
    for (int i = 0; i < kWarmUp + kRepetitions; ++i) {
        before();
        const double start = NowSeconds();
        act();
        if (i >= kWarmUp) times.push_back((NowSeconds() - start) * 1000);
    }
    return Median(times);
}

inline void PrintMedian(const char* what, double ms, double target_ms) {
    std::printf("skin: %s: median %.2f ms (target within %.0f ms: %s)\n", what, ms, target_ms,
                ms <= target_ms ? "met" : "MISSED");
}

struct Resources {
    long gdi_left;
    int windows;
    size_t private_bytes;
};

inline Resources CountResources() {
    return {GdiObjectsLeft(), ThreadWindowCount(), PrivateBytes()};
}

inline void PrintGrowth(const char* cycles, const char* what, long long grown, long long unit,
                        const char* unit_name) {
    if (grown <= 0)
        std::printf("skin: %s: %s flat\n", cycles, what);
    else
        std::printf("skin: %s: %s grew by %lld%s\n", cycles, what, grown / unit, unit_name);
}

inline void PrintGrowth(const char* cycles, const Resources& before, const Resources& after) {
    PrintGrowth(cycles, "GDI objects", before.gdi_left - after.gdi_left, 1, "");
    PrintGrowth(cycles, "windows of the thread", after.windows - before.windows, 1, "");
    const long long bytes =
        static_cast<long long>(after.private_bytes) - static_cast<long long>(before.private_bytes);
    PrintGrowth(cycles, "private memory", bytes > static_cast<long long>(kHeapStep) ? bytes : 0, 1024,
                " KiB");
}

// The screen's pixels of a control, row by row.
inline std::vector<COLORREF> ControlPixels(HWND control) {
    RECT place;
    GetWindowRect(control, &place);
    WindowDc screen(nullptr);
    std::vector<COLORREF> pixels;
    for (int y = place.top; y < place.bottom; ++y)
        for (int x = place.left; x < place.right; ++x) pixels.push_back(GetPixel(screen.get(), x, y));
    return pixels;
}

struct NamedControl {
    const char* what;
    HWND hwnd;
};

// The median of a full repaint of each control, frame included.
inline void MeasureControlPaints(const std::vector<NamedControl>& controls) {
    for (const NamedControl& control : controls) {
        const std::string what = std::string("paint of ") + control.what;
        PrintMedian(what.c_str(), MedianMs(DispatchQueued, [&] {
                        RedrawWindow(control.hwnd, nullptr, nullptr,
                                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
                    }),
                    2);
    }
}

// `cycles` runs of `cycle` after a warm-up: the time they took, what they left behind, and the control on the
// screen after them against before.
template <class Cycle>
void MeasureControlCycles(const char* name, int cycles, HWND control, Cycle cycle) {
    for (int i = 0; i < kWarmUp; ++i) cycle();
    DispatchQueued();
    const std::vector<COLORREF> before_pixels = ControlPixels(control);
    const Resources before = CountResources();
    const double start = NowSeconds();
    for (int i = 0; i < cycles; ++i) cycle();
    DispatchQueued();
    const double took = NowSeconds() - start;
    const Resources after = CountResources();
    std::printf("skin: %d %s in %.0f s (%.2f ms a cycle)\n", cycles, name, took, took * 1000 / cycles);
    PrintGrowth(name, before, after);
    if (ControlPixels(control) == before_pixels)
        std::printf("skin: after the %s: the control paints as before\n", name);
    else
        std::printf("skin: after the %s: the control paints differently from before\n", name);
}
