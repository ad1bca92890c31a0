// Bare fetch loop: downloads consecutive thread pages with the program's HTTP request and reports pages/s.
// Usage: fetch_bench FORUM_URL [PAGES] [ROUNDS]
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/forum.h"
#include "bench/bench_util.h"
#include "net/http_request.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: fetch_bench FORUM_URL [PAGES] [ROUNDS]\n");
        return 2;
    }
    const std::string forum = argv[1];
    const int pages = argc > 2 ? std::atoi(argv[2]) : 2000;
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 3;
    std::vector<double> rates;
    size_t bytes = 0;
    for (int round = 0; round < rounds; ++round) {
        double start = NowSeconds();
        for (int id = 1000; id < 1000 + pages; ++id) bytes += HttpGet(ThreadAddress(forum, id)).size();
        rates.push_back(pages / (NowSeconds() - start));
    }
    std::printf("bare fetch loop: %d pages x %d rounds, median %.0f pages/s (%.1f KB/page)\n", pages, rounds,
                Median(rates), bytes / 1024.0 / (static_cast<double>(pages) * rounds));
    return 0;
}
