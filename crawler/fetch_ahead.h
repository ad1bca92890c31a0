// The pages of a run fetched ahead on a few threads and handed out one at a time in step order.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "net/fetched_page.h"

// Fetches steps 0 … steps − 1 on `threads` threads of its own (as many as the window when 0), never more than
// `window` steps beyond the last one taken, so at most that many pages are held or being fetched (the fetch
// itself may hold some back, to pace them or to try them again). Stop() may come from any
// thread and takes effect at once: Next() returns, pages not taken are dropped, and a thread still waiting on
// the network finishes on its own without touching anything but the state it shares.
class FetchAhead {
  public:
    using Fetch = std::function<FetchedPage(int64_t step)>;

    FetchAhead(Fetch fetch, int64_t steps, int window, int threads = 0);
    ~FetchAhead();  // stops
    FetchAhead(const FetchAhead&) = delete;
    FetchAhead& operator=(const FetchAhead&) = delete;

    // The page of the next step, waiting for it; none when every step has been taken or after a stop. While
    // it waits, `waiting` is called every `interval`.
    std::optional<FetchedPage> Next(const std::function<void()>& waiting = {},
                                    std::chrono::milliseconds interval = std::chrono::milliseconds(250));
    void Stop();

  private:
    struct State;
    std::shared_ptr<State> state_;
};
