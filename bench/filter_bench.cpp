// The row filters in the real main window over a temporary list file of 10,000 and 100,000 entries: time from
// the event to the filtered list on screen, memory, the slowest answer of the window meanwhile, and the time
// to save all rows to a list file; unskinned, then skinned. Usage: filter_bench
#include <windows.h>

#include <psapi.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "app/main_controls.h"
#include "app/main_window.h"
#include "bench/bench_util.h"
#include "gfx/startup.h"
#include "runtime/services.h"
#include "skin/skin_engine.h"
#include "state/list_file.h"

namespace {

const char kForum[] = "http://127.0.0.1:9/";  // never answers: the caption's fetch fails at once

double MegabytesInUse() {
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.WorkingSetSize / 1048576.0;
}

// A run's file of `entries` ids from 1 on: every tenth without a title.
void WriteTempFile(const std::string& path, int entries) {
    ListFileWriter file;
    file.Open(path, "1", entries);
    for (int id = 1; id <= entries; ++id) {
        std::string title = id % 10 == 7 ? "" : "示例主题 " + std::to_string(id) + "：本地论坛的日常讨论";
        file.Append(id, {std::to_string(id), title, std::to_string(100000 + id), "会员" + std::to_string(id)});
    }
}

// The filters over `entries` entries, in a window skinned by `skin` when given.
void Measure(int entries, SkinEngine* skin = nullptr) {
    const std::string path = ProgramDirectory() + "\\临时文件.ini";
    WriteTempFile(path, entries);
    MainWindow window({.address = kForum}, skin);
    window.Create(nullptr, SW_SHOWNORMAL);
    FormWindow& form = window.form();
    Control list = form[kResultList];

    WindowProbe probe(form.hwnd(), 5);

    // Each filter: the event, then until the list holds what the filter leaves.
    auto timed = [&](auto act, int rows_after) {
        double start = NowSeconds();
        act();
        PumpUntil([&] { return list.RowCount() == rows_after; }, 1);
        UpdateWindow(list.hwnd());
        return NowSeconds() - start;
    };
    const int titled = entries - entries / 10;
    const int holding_77 = [&] {
        int n = 0;
        for (int id = 1; id <= entries; ++id) n += std::to_string(id).find("77") != std::string::npos;
        return n;
    }();
    // The window reads the file ahead while the user reaches for the mouse: a second here.
    const double opened = NowSeconds();
    PumpUntil([&] { return NowSeconds() - opened > 1; }, 10);
    double first = timed([&] { SendMessageA(form[kEmptyTitleFilter].hwnd(), BM_CLICK, 0, 0); }, titled);
    double search = timed([&] { form[kSearchEdit].SetText("77"); }, holding_77);
    double search_all = timed([&] { form[kSearchEdit].SetText(""); }, entries);
    double memory = MegabytesInUse();
    const double slowest =
        probe.Stop();  // the save below runs on this thread, as no command of the window does
    const std::string saved = ProgramDirectory() + "\\保存的列表.ini";
    DeleteFileA(saved.c_str());
    double save_start = NowSeconds();
    SaveListFile(saved, list.Rows());
    double save = NowSeconds() - save_start;
    DeleteFileA(saved.c_str());

    std::printf(
        "filters over %d entries%s: empty titles %.0f ms, search \"77\" %.0f ms,"
        " search emptied %.0f ms; %.0f MB in use; slowest answer of the window %.0f ms;"
        " saving all rows %.0f ms\n",
        entries, skin ? ", skinned" : "", first * 1000, search * 1000, search_all * 1000, memory, slowest * 1000,
        save * 1000);
    DeleteFileA(path.c_str());
}

}  // namespace

int main() {
    Measure(10000);
    Measure(100000);
    // GDI+ outlives the skin object, and the skin object the windows.
    GdiplusSession gdiplus;
    SkinEngine skin;
    Measure(10000, &skin);
    Measure(100000, &skin);
    return 0;
}
