// Fetch-ahead threads that share one state with the run taking their pages.
#include "crawler/fetch_ahead.h"

#include <algorithm>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

struct FetchAhead::State {
    Fetch fetch;
    int64_t steps;
    int64_t window;
    std::mutex mutex;
    std::condition_variable page_arrived;  // wakes the taker
    std::condition_variable step_taken;    // wakes the fetchers
    int64_t next_fetch = 0;
    int64_t next_take = 0;
    std::map<int64_t, FetchedPage> fetched;  // pages not yet taken, by step
    bool stopped = false;

    static void Fetcher(const std::shared_ptr<State>& state) {
        State& s = *state;
        std::unique_lock lock(s.mutex);
        for (;;) {
            s.step_taken.wait(lock, [&] {
                return s.stopped || s.next_fetch >= s.steps || s.next_fetch < s.next_take + s.window;
            });
            if (s.stopped || s.next_fetch >= s.steps) return;
            const int64_t step = s.next_fetch++;
            lock.unlock();
            FetchedPage page = s.fetch(step);
            lock.lock();
            if (s.stopped) return;
            s.fetched.emplace(step, std::move(page));
            s.page_arrived.notify_one();  // the one taker
        }
    }
};

FetchAhead::FetchAhead(Fetch fetch, int64_t steps, int window, int threads) : state_(std::make_shared<State>()) {
    state_->fetch = std::move(fetch);
    state_->steps = steps < 0 ? 0 : steps;
    state_->window = window < 1 ? 1 : window;
    const int64_t fetchers = threads < 1 ? state_->window : std::min<int64_t>(threads, state_->window);
    for (int64_t thread = 0; thread < fetchers && thread < state_->steps; ++thread) {
        std::thread([state = state_] { State::Fetcher(state); }).detach();
    }
}

FetchAhead::~FetchAhead() {
    Stop();
}

std::optional<FetchedPage> FetchAhead::Next(const std::function<void()>& waiting,
                                            std::chrono::milliseconds interval) {
    State& s = *state_;
    std::unique_lock lock(s.mutex);
    if (s.next_take >= s.steps) return std::nullopt;
    while (!s.page_arrived.wait_for(lock, interval,
                                    [&] { return s.stopped || s.fetched.contains(s.next_take); })) {
        if (!waiting) continue;
        lock.unlock();
        waiting();
        lock.lock();
    }
    if (s.stopped) return std::nullopt;
    auto page = s.fetched.extract(s.next_take++);
    s.step_taken.notify_one();  // a step taken makes room for one more
    return std::move(page.mapped());
}

void FetchAhead::Stop() {
    std::lock_guard lock(state_->mutex);
    state_->stopped = true;
    state_->fetched.clear();
    state_->page_arrived.notify_all();
    state_->step_taken.notify_all();
}
