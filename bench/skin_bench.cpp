// The skin on the real main window: medians of a full frame repaint, of a WM_PAINT that only copies the frame,
// of a fade tick of the close button, of each skinned control's paint and of typing into the search box; then
// resize, caption hover, control hover and check-box toggle cycles, with the GDI objects, windows and private
// memory they leave behind and whether the window still paints the same. Usage:
// skin_bench FORUM_URL [CYCLES [FRAME_CYCLES]] (20,000 toggle cycles by default and a quarter of that of hover
// cycles per control; as many resize and caption hover cycles as CYCLES unless FRAME_CYCLES is given)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/forum.h"
#include "app/main_controls.h"
#include "app/main_window.h"
#include "bench/bench_util.h"
#include "bench/skin_measures.h"
#include "gfx/startup.h"
#include "skin/frame.h"
#include "skin/skin_engine.h"

namespace {

constexpr SIZE kLarge{975, 696}, kSmall{700, 500};
constexpr int kMaxTicks = 100;  // a fade that has not ended after this many ticks never will

void Resize(HWND window, SIZE size) {
    SetWindowPos(window, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    UpdateWindow(window);
}

// The WM_PAINT of the top-level window alone: the children are neither invalidated nor repainted.
void PaintTopLevel(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN | RDW_UPDATENOW);
}

// The frame surface's pixels, copied out through a DIB section of its size, top row first.
std::vector<DWORD> SurfacePixels(const Surface& surface) {
    BITMAPINFO info{};
    info.bmiHeader = {
        sizeof(BITMAPINFOHEADER), surface.width(), -surface.height(), 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    BitmapHandle copy(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    MemoryDc dc(CreateCompatibleDC(surface.dc()));
    if (!copy || !dc) return {};
    Selection selected(dc.get(), copy.get());
    BitBlt(dc.get(), 0, 0, surface.width(), surface.height(), surface.dc(), 0, 0, SRCCOPY);
    GdiFlush();
    const auto* first = static_cast<const DWORD*>(bits);
    return {first, first + static_cast<size_t>(surface.width()) * static_cast<size_t>(surface.height())};
}

// The frame repainted whole at the large size with every caption button at rest, then its pixels.
std::vector<DWORD> CleanFramePixels(HWND window, WindowRecord& record) {
    Resize(window, kLarge);
    record.repaint_pending = true;
    PaintTopLevel(window);
    DispatchQueued();
    return SurfacePixels(record.frame);
}

void PrintSameFrame(const char* after, const std::vector<DWORD>& before, const std::vector<DWORD>& now) {
    if (before.empty() || before.size() != now.size()) {
        std::printf("skin: after the %s: the frame surface cannot be compared (%zu pixels before, %zu now)\n",
                    after, before.size(), now.size());
        return;
    }
    size_t differing = 0;
    for (size_t i = 0; i < before.size(); ++i) differing += before[i] != now[i];
    if (!differing)
        std::printf("skin: after the %s: the frame paints as before\n", after);
    else
        std::printf("skin: after the %s: %zu frame pixels differ from before\n", after, differing);
}

// Sends the fade timer's ticks until no caption button is fading; false when the fades never end.
bool FinishFades(HWND window, const WindowRecord& record) {
    for (int tick = 0; tick < kMaxTicks && (record.fading_in || record.fading_out); ++tick)
        SendMessageA(window, WM_TIMER, reinterpret_cast<WPARAM>(window), 0);
    return !record.fading_in && !record.fading_out;
}

void MeasurePaints(const SkinEngine& skin, HWND window, WindowRecord& record) {
    Resize(window, kLarge);
    RECT client;
    GetClientRect(window, &client);
    std::printf("skin: the main window's frame is %ld x %ld; medians of %d repetitions\n", client.right,
                client.bottom, kRepetitions);
    // Painting with a target invalidates the see-through children; they repaint untimed between repetitions.
    PrintMedian("full repaint into the frame surface",
                MedianMs(DispatchQueued, [&] { Frame(skin, record).Paint(nullptr); }), 25);
    {
        WindowDc dc(window);
        PrintMedian("full repaint onto a window DC",
                    MedianMs(DispatchQueued, [&] { Frame(skin, record).Paint(dc.get()); }), 25);
    }
    PrintMedian("WM_PAINT with a repaint pending",
                MedianMs(
                    [&] {
                        DispatchQueued();
                        record.repaint_pending = true;
                    },
                    [&] { PaintTopLevel(window); }),
                25);

    const unsigned generation = record.frame_generation;
    PrintMedian("WM_PAINT that copies the frame (top-level window only)",
                MedianMs(DispatchQueued, [&] { PaintTopLevel(window); }), 3);
    const double with_children = MedianMs(DispatchQueued, [&] {
        InvalidateRect(window, nullptr, FALSE);
        UpdateWindow(window);
    });
    std::printf("skin: WM_PAINT that copies the frame, the children repainting too: median %.2f ms\n",
                with_children);
    if (record.frame_generation != generation)
        std::printf("skin: the copying WM_PAINTs repainted the frame %u times\n",
                    record.frame_generation - generation);

    const int close = static_cast<int>(record.buttons.size());
    std::vector<double> ticks;
    for (int i = 0; i < kWarmUp + kRepetitions; ++i) {
        for (int step = 1; step <= 8; ++step) {
            const double start = NowSeconds();
            Frame(skin, record).DrawButton(close, FadeIntensity(step));
            if (i >= kWarmUp) ticks.push_back((NowSeconds() - start) * 1000);
        }
    }
    Frame(skin, record).DrawButton(close, 0);
    PrintMedian("fade tick of the close button (intensities 30 to 240)", Median(ticks), 2);
}

// `cycles` runs of `cycle` after a warm-up: the time they took, what they left behind, and the frame after
// them.
template <class Cycle>
void MeasureCycles(const char* name, int cycles, HWND window, WindowRecord& record, Cycle cycle) {
    for (int i = 0; i < kWarmUp; ++i) cycle();
    const std::vector<DWORD> clean = CleanFramePixels(window, record);
    const Resources before = CountResources();
    const double start = NowSeconds();
    for (int i = 0; i < cycles; ++i) cycle();
    const double took = NowSeconds() - start;
    // Counted before the second copy of the pixels is made, which would count as grown memory.
    const Resources after = CountResources();
    const std::vector<DWORD> now = CleanFramePixels(window, record);
    std::printf("skin: %d %s in %.0f s (%.2f ms a cycle)\n", cycles, name, took, took * 1000 / cycles);
    PrintGrowth(name, before, after);
    PrintSameFrame(name, clean, now);
}

// A character typed into the search box, until the box shows it; the filter it starts runs on a worker.
void MeasureTyping(HWND search) {
    SetFocus(search);
    PrintMedian("a character typed into the search box, until it shows",
                MedianMs(
                    [&] {
                        DispatchQueued();
                        if (GetWindowTextLengthA(search) > 30) SetWindowTextA(search, "");
                        DispatchQueued();
                    },
                    [&] {
                        SendMessageA(search, WM_CHAR, 'a', 1);
                        UpdateWindow(search);
                    }),
                5);
    SetWindowTextA(search, "");
    DispatchQueued();
}

void MeasureControls(FormWindow& form, int cycles) {
    const std::vector<NamedControl> controls = {
        {"the start button", form[kStartButton].hwnd()}, {"the check box", form[kEmptyTitleFilter].hwnd()},
        {"an edit box", form[kFirstIdEdit].hwnd()},       {"the search box", form[kSearchEdit].hwnd()},
        {"the combo box", form[kSearchColumn].hwnd()},
    };
    MeasureControlPaints(controls);
    MeasureTyping(form[kSearchEdit].hwnd());
    SetFocus(form.hwnd());
    for (const NamedControl& control : controls) {
        const std::string name = std::string("hover cycles on ") + control.what;
        MeasureControlCycles(name.c_str(), cycles / 4, control.hwnd, [&] {
            SendMessageA(control.hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
            SendMessageA(control.hwnd, WM_MOUSELEAVE, 0, 0);
        });
    }
    HWND box = form[kEmptyTitleFilter].hwnd();
    MeasureControlCycles("check-box toggles", cycles, box, [&] {
        SendMessageA(box, BM_SETCHECK, SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0);
    });
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: skin_bench FORUM_URL [CYCLES [FRAME_CYCLES]]\n");
        return 2;
    }
    const std::string forum = argv[1];
    const int cycles = argc > 2 ? std::atoi(argv[2]) : 20000;
    // A resize cycle repaints the whole window twice: a run of the controls' cycles alone can make them few.
    const int frame_cycles = argc > 3 ? std::atoi(argv[3]) : cycles;

    // GDI+ outlives the skin object, and the skin object the window.
    GdiplusSession gdiplus;
    SkinEngine skin;
    MainWindow main_window({.address = forum}, &skin);
    if (!main_window.Create(nullptr, SW_SHOWNORMAL)) {
        std::fprintf(stderr, "skin_bench: cannot create the main window\n");
        return 1;
    }
    const HWND window = main_window.form().hwnd();
    WindowRecord* record = skin.table().RecordOf(window);
    if (!record || record->buttons.empty()) {
        std::fprintf(stderr, "skin_bench: the main window is not skinned\n");
        return 1;
    }
    // The caption gets the forum's member count from a worker: the frame is measured with its final title.
    const std::string first_caption = ForumCaptionWithCount(forum, "");
    const double opened = NowSeconds();
    PumpUntil(
        [&] { return main_window.form().Window().Text() != first_caption || NowSeconds() - opened > 5; }, 10);

    MeasurePaints(skin, window, *record);
    MeasureControls(main_window.form(), cycles);

    MeasureCycles("resize cycles", frame_cycles, window, *record, [&] {
        Resize(window, kSmall);
        Resize(window, kLarge);
        DispatchQueued();
    });

    const FloatRect& button = record->buttons.back().rect;
    const LPARAM on_close = MAKELPARAM(static_cast<int>(button.x + button.width / 2),
                                       static_cast<int>(button.y + button.height / 2));
    int missed_hovers = 0, endless_fades = 0;
    MeasureCycles("hover cycles", frame_cycles, window, *record, [&] {
        SendMessageA(window, WM_MOUSEMOVE, 0, on_close);
        missed_hovers += record->hot_button != static_cast<int>(record->buttons.size());
        endless_fades += !FinishFades(window, *record);
        SendMessageA(window, WM_MOUSELEAVE, 0, 0);
        endless_fades += !FinishFades(window, *record);
        DispatchQueued();
    });
    if (missed_hovers)
        std::printf("skin: the close button was not hot after %d of the moves onto it\n", missed_hovers);
    if (endless_fades) std::printf("skin: %d fades did not end\n", endless_fades);
    return 0;
}
