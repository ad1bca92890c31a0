// A traversal run in the real main window against the sample forum, beside a bare fetch loop over the same
// pages: total time, first and last 1,000 steps, and the slowest answer of the window meanwhile.
// Usage: run_bench FORUM_URL [IDS]
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "app/main_controls.h"
#include "app/main_window.h"
#include "bench/bench_util.h"
#include "net/http_request.h"
#include "state/result_row.h"

namespace {

constexpr int kFirstId = 1000;

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: run_bench FORUM_URL [IDS]\n");
        return 2;
    }
    const std::string forum = argv[1];
    const int ids = argc > 2 ? std::atoi(argv[2]) : 10000;

    double start = NowSeconds();
    for (int id = kFirstId; id < kFirstId + ids; ++id) HttpGet(ThreadAddress(forum, id));
    const double bare = NowSeconds() - start;

    MainWindow window(forum);
    window.Create(nullptr, SW_SHOWNORMAL);
    FormWindow& form = window.form();
    Control list = form[kResultList];
    form[kFirstIdEdit].SetText(std::to_string(kFirstId));
    form[kCountEdit].SetText(std::to_string(ids - 1));

    WindowProbe probe(form.hwnd(), 20);

    start = NowSeconds();
    SendMessageA(form[kStartButton].hwnd(), BM_CLICK, 0, 0);
    double at_1000 = 0, at_last_1000 = 0;
    PumpUntil(
        [&] {
            int rows = list.RowCount();
            if (!at_1000 && rows >= 1000) at_1000 = NowSeconds();
            if (!at_last_1000 && rows >= ids - 1000) at_last_1000 = NowSeconds();
            return form[kStartButton].Text() == "开始" && rows == ids;
        },
        20);
    const double run = NowSeconds() - start;
    const double slowest = probe.Stop();

    std::printf("bare fetch loop: %d pages in %.1f s (%.0f pages/s)\n", ids, bare, ids / bare);
    std::printf("run: %d ids in %.1f s (%.0f ids/s), %.2f x the bare loop\n", ids, run, ids / run,
                run / bare);
    std::printf("run: first 1000 steps %.2f s, last 1000 steps %.2f s, ratio %.2f\n", at_1000 - start,
                run - (at_last_1000 - start), (run - (at_last_1000 - start)) / (at_1000 - start));
    std::printf("run: slowest answer of the window %.0f ms\n", slowest * 1000);
    return 0;
}
