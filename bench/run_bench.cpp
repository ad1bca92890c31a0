// Traversal runs in the real main window against the sample forum, beside a bare one-page-at-a-time fetch
// loop over the same pages: total time, first and last tenth of the steps, and the slowest answer of the
// window; at the default connection count skinned runs too, beside unskinned ones, for what the skin costs a
// run. Usage: run_bench FORUM_URL [IDS [CONNECTIONS...]] (one run per connection count; 1 and 4 by default)
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "app/main_controls.h"
#include "app/main_window.h"
#include "bench/bench_util.h"
#include "crawler/site_rules.h"
#include "gfx/startup.h"
#include "net/http_request.h"
#include "skin/skin_engine.h"
#include "state/result_row.h"

namespace {

constexpr int kFirstId = 1000;

// One run of `ids` ids with `connections` pages fetched at once, in a window skinned by `skin` when given;
// `kind` follows the connection count in its lines. Returns its time in seconds.
double TimeRun(const std::string& forum, int ids, int connections, double bare, SkinEngine* skin = nullptr,
               const char* kind = "") {
    MainWindow window({.address = forum, .connections = connections}, skin);
    window.Create(nullptr, SW_SHOWNORMAL);
    FormWindow& form = window.form();
    Control list = form[kResultList];
    form[kFirstIdEdit].SetText(std::to_string(kFirstId));
    form[kCountEdit].SetText(std::to_string(ids - 1));

    WindowProbe probe(form.hwnd(), 20);

    const double start = NowSeconds();
    SendMessageA(form[kStartButton].hwnd(), BM_CLICK, 0, 0);
    double at_first = 0, at_last = 0;
    const int part = std::max(1, ids / 10);  // the first and last tenth of the steps
    PumpUntil(
        [&] {
            int rows = list.RowCount();
            if (!at_first && rows >= part) at_first = NowSeconds();
            if (!at_last && rows >= ids - part) at_last = NowSeconds();
            return form[kStartButton].Text() == "开始" && rows == ids;
        },
        20);
    const double run = NowSeconds() - start;
    const double slowest = probe.Stop();

    std::printf("run, %d connection(s)%s: %d ids in %.1f s (%.0f ids/s), %.2f x the bare loop's time,"
                " %.2f x as fast\n",
                connections, kind, ids, run, ids / run, run / bare, bare / run);
    std::printf("run, %d connection(s)%s: first %d steps %.2f s, last %d steps %.2f s, ratio %.2f\n",
                connections, kind, part, at_first - start, part, run - (at_last - start),
                (run - (at_last - start)) / (at_first - start));
    std::printf("run, %d connection(s)%s: slowest answer of the window %.0f ms\n", connections, kind,
                slowest * 1000);
    return run;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: run_bench FORUM_URL [IDS [CONNECTIONS...]]\n");
        return 2;
    }
    const std::string forum = argv[1];
    const int ids = argc > 2 ? std::atoi(argv[2]) : 10000;
    std::vector<int> connections;
    for (int i = 3; i < argc; ++i) connections.push_back(std::atoi(argv[i]));
    if (connections.empty()) connections = {1, kDefaultConnections};

    const double start = NowSeconds();
    const ForumRule rule(DefaultRule(), forum);
    for (int id = kFirstId; id < kFirstId + ids; ++id) HttpGet(rule.ThreadAddress(id));
    const double bare = NowSeconds() - start;
    std::printf("bare fetch loop, one page at a time: %d pages in %.1f s (%.0f pages/s)\n", ids, bare,
                ids / bare);
    // GDI+ outlives the skin object, which the skinned window needs while it lives.
    GdiplusSession gdiplus;
    SkinEngine skin;
    for (int count : connections) {
        double plain = TimeRun(forum, ids, count, bare);
        if (count != kDefaultConnections) continue;
        // The shared machine's load swings a run by far more than the skin costs it: each kind runs twice, in
        // the order plain, skinned, skinned, plain so a drift in load falls on both alike, and the faster run
        // of each kind counts.
        double skinned = TimeRun(forum, ids, count, bare, &skin, ", skinned");
        skinned = std::min(skinned, TimeRun(forum, ids, count, bare, &skin, ", skinned, again"));
        plain = std::min(plain, TimeRun(forum, ids, count, bare, nullptr, ", again"));
        std::printf("run, %d connection(s): faster skinned / faster unskinned run %.3f (target at most 1.05:"
                    " %s), skinned / bare loop %.3f (target at most 1.3: %s)\n",
                    count, skinned / plain, skinned / plain <= 1.05 ? "met" : "MISSED", skinned / bare,
                    skinned / bare <= 1.3 ? "met" : "MISSED");
    }
    return 0;
}
