// Fetching a run's pages from a forum that defends itself: what fails for a while is tried again later, and
// the pages go no faster than the user allows and the forum bears.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

#include "net/fetched_page.h"

// Whether an answer, or its absence, is worth another try: no connection, a time-out, a reset, 408, 429 and
// 5xx. A page the forum answered with any other status is its answer.
bool IsTransient(const FetchedPage& page);

// Shared by the threads that fetch the pages of one run. At most `connections` pages are in flight, and their
// starts are spaced to `pages_per_second` (0: no limit). When the forum refuses (429 or 503) a third of what
// it is asked, the pages in flight are halved, down to 1, and the pace falls to about what it let through;
// after a stretch of good answers both grow back, never beyond the user's limits. Every wait ends at once on
// Stop().
class PoliteFetch {
  public:
    using Clock = std::chrono::steady_clock;
    using Download = std::function<FetchedPage()>;

    struct Options {
        int connections = 4;
        int pages_per_second = 0;
        int retries = 3;                                    // further tries of a transient failure
        Clock::duration first_retry = std::chrono::seconds(1);  // then twice that, then four times, ± 20 %
        Clock::duration longest_retry_after = std::chrono::seconds(60);
    };

    explicit PoliteFetch(Options options);
    ~PoliteFetch();
    PoliteFetch(const PoliteFetch&) = delete;
    PoliteFetch& operator=(const PoliteFetch&) = delete;

    // What `download` gets after as many tries as it takes and the options allow: the last answer, or why
    // there was none. After Stop() it returns at once, and a page fetched then is of no use to anyone.
    FetchedPage Fetch(const Download& download);
    void Stop();

    // What was asked of the forum so far, for measures: requests sent and how many it refused (429 or 503).
    struct Counts {
        int64_t requests = 0, refused = 0;
    };
    Counts counts() const;

  private:
    struct State;
    std::unique_ptr<State> state_;
};
