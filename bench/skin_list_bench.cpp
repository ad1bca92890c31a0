// The skinned result list and progress bar on the real main window: medians of a WM_PAINT of the whole list
// with rows on screen and of a page of scrolling through 100,000 rows to the screen, beside the same list
// unskinned; then progress steps and page scrolls, with the GDI objects, windows and private memory they
// leave behind. Usage: skin_list_bench [ROWS [STEPS [SCROLLS]]] (100,000 rows, 20,000 progress steps and
// 5,000 page scrolls by default; steps a multiple of 1,000 and scrolls of 100 end where they began)
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/main_controls.h"
#include "app/main_window.h"
#include "bench/skin_measures.h"
#include "gfx/startup.h"
#include "skin/skin_engine.h"

namespace {

const char kForum[] = "http://127.0.0.1:9/";  // never answers: the caption's fetch fails at once

std::vector<SharedListRow> Rows(int count) {
    std::vector<ListRow> rows;
    rows.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const std::string id = std::to_string(1000 + i);
        rows.push_back({id, "示例主题 " + id + "：本地论坛的日常讨论", std::to_string(1100 + i / 10),
                        "会员" + std::to_string(1100 + i / 10),
                        std::string(kForum) + "thread-" + id + "-1-1.html"});
    }
    return ShareRows(std::move(rows));
}

// The list's WM_PAINT with all of its client area to paint; the header keeps its face.
void PaintList(HWND list) {
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN | RDW_UPDATENOW);
}

// A key as the keyboard gives it, and the list's repaint that follows, to the screen.
void Press(HWND list, WPARAM key) {
    SendMessageA(list, WM_KEYDOWN, key, 1);
    SendMessageA(list, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001));
    UpdateWindow(list);
}

struct ListTimes {
    double paint_ms, page_ms;
};

// The list filled with `rows` rows, the focus in the middle of them.
HWND FillList(MainWindow& window, int rows) {
    Control list = window.form()[kResultList];
    list.AppendRows(Rows(rows));
    SetFocus(list.hwnd());
    list.SetSelection(rows / 2);
    SendMessageA(list.hwnd(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(rows / 2), FALSE);
    DispatchQueued();
    return list.hwnd();
}

ListTimes MeasureList(MainWindow& window, int rows) {
    HWND list = FillList(window, rows);
    return {MedianMs(DispatchQueued, [&] { PaintList(list); }),
            MedianMs(DispatchQueued, [&] { Press(list, VK_NEXT); })};
}

}  // namespace

int main(int argc, char** argv) {
    const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int steps = argc > 2 ? std::atoi(argv[2]) : 20000;
    const int scrolls = argc > 3 ? std::atoi(argv[3]) : 5000;

    ListTimes plain{};
    {
        MainWindow window({.address = kForum});
        if (!window.Create(nullptr, SW_SHOWNORMAL)) return 1;
        plain = MeasureList(window, rows);
    }
    // GDI+ outlives the skin object, and the skin object the window.
    GdiplusSession gdiplus;
    SkinEngine skin;
    MainWindow window({.address = kForum}, &skin);
    if (!window.Create(nullptr, SW_SHOWNORMAL) || !skin.table().RecordOf(window.form().hwnd())) {
        std::fprintf(stderr, "skin_list_bench: cannot create the skinned main window\n");
        return 1;
    }
    RECT client;
    GetClientRect(window.form()[kResultList].hwnd(), &client);
    std::printf("skin: the result list's client area is %ld x %ld, %d rows; medians of %d repetitions\n",
                client.right, client.bottom, rows, kRepetitions);
    const ListTimes skinned = MeasureList(window, rows);
    PrintMedian("WM_PAINT of the whole list", skinned.paint_ms, 15);
    std::printf("skin: WM_PAINT of the whole list unskinned: median %.2f ms\n", plain.paint_ms);
    PrintMedian("a page down, to the screen", skinned.page_ms, 30);
    std::printf("skin: a page down unskinned: median %.2f ms\n", plain.page_ms);

    // Each cycle ends where its warm-up left the control, so the screen shows the same after as before.
    HWND list = window.form()[kResultList].hwnd();
    MeasureControlCycles("page scrolls", scrolls, list, [&, n = 0]() mutable {
        Press(list, (n++ / 50) % 2 ? VK_PRIOR : VK_NEXT);
        DispatchQueued();
    });
    Control bar = window.form()[kProgressBar], label = window.form()[kProgressLabel];
    bar.SetMaximum(1000);
    MeasureControlCycles("progress steps", steps, bar.hwnd(), [&, n = 0]() mutable {
        // A step of a run: the bar and the label over it.
        const int position = n++ % 1000;
        bar.SetPosition(position);
        label.SetText(std::to_string(position) + "/1000");
        DispatchQueued();
    });
    return 0;
}
