// Retries with growing waits, and a pace that follows what the forum lets through.
#include "crawler/polite_fetch.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <random>

namespace {

using Clock = PoliteFetch::Clock;
using Seconds = std::chrono::duration<double>;

bool IsRefusal(const FetchedPage& page) {
    return page.Answered() && (page.status == 429 || page.status == 503);
}

}  // namespace

bool IsTransient(const FetchedPage& page) {
    switch (page.outcome) {
        case FetchOutcome::kNoConnection:
        case FetchOutcome::kTimedOut:
        case FetchOutcome::kReset: return true;
        case FetchOutcome::kAnswered: return page.status == 408 || page.status == 429 || page.status >= 500;
        case FetchOutcome::kTooLarge:
        case FetchOutcome::kRefused:
        case FetchOutcome::kFailed: break;
    }
    return false;
}

struct PoliteFetch::State {
    Options options;
    std::mutex mutex;
    // Each thread waiting to start waits on a condition of its own, woken only when its turn may go: many
    // threads may wait, and waking them all at every change would cost more than the pages (under Wine each
    // wake is a call to the server). A wait before a retry ends only with its time or a stop.
    std::map<uint64_t, std::condition_variable*> waiting_turns;
    std::condition_variable stopped_changed;
    bool stopped = false;
    int in_flight = 0;
    int limit;                      // pages in flight at the most, 1 … connections
    Clock::duration user_interval;  // between starts, as the user allows; zero for no limit
    Clock::duration interval;       // between starts now, never shorter than the user's
    Clock::time_point next_start = Clock::now();
    std::optional<Clock::time_point> first_start;
    // Raised at every slow-down: a refusal of a request started before it says nothing new.
    uint64_t epoch = 0;
    // Turns to start, in the order asked, so pages go out in about the order the run needs them.
    uint64_t next_turn = 0, turn_now = 0;
    int good_since_limit = 0, good_since_pace = 0;
    std::deque<std::pair<Clock::time_point, bool>> last_second;  // answers: when, and whether refused
    Counts counts;
    std::mt19937 random{std::random_device{}()};

    explicit State(Options o)
        : options(o),
          limit(std::max(1, o.connections)),
          user_interval(o.pages_per_second > 0 ? std::chrono::duration_cast<Clock::duration>(
                                                     Seconds(1.0 / o.pages_per_second))
                                               : Clock::duration::zero()),
          interval(user_interval) {}

    // Waits for a place in flight and the pace; none after a stop.
    std::optional<uint64_t> Start(std::unique_lock<std::mutex>& lock) {
        const uint64_t turn = next_turn++;
        std::condition_variable mine;
        waiting_turns[turn] = &mine;
        for (;;) {
            if (stopped) {
                waiting_turns.erase(turn);
                return std::nullopt;
            }
            const Clock::time_point now = Clock::now();
            if (turn == turn_now && in_flight < limit && now >= next_start) {
                waiting_turns.erase(turn);
                ++turn_now;
                ++in_flight;
                ++counts.requests;
                if (!first_start) first_start = now;
                next_start = std::max(now, next_start) + interval;
                WakeTurn();  // the next turn may go at once
                return epoch;
            }
            if (turn == turn_now && in_flight < limit) {
                mine.wait_until(lock, next_start);
            } else {
                mine.wait(lock);
            }
        }
    }

    void WakeTurn() {
        if (auto waiting = waiting_turns.find(turn_now); waiting != waiting_turns.end()) waiting->second->notify_one();
    }

    void Finish(uint64_t started_in, const FetchedPage& page) {
        --in_flight;
        const Clock::time_point now = Clock::now();
        const bool refused = IsRefusal(page);
        last_second.emplace_back(now, refused);
        while (!last_second.empty() && now - last_second.front().first > std::chrono::seconds(1))
            last_second.pop_front();
        if (refused) {
            ++counts.refused;
            if (started_in == epoch && Overloaded()) SlowDown(now);
        } else if (!IsTransient(page)) {
            GrowBack();
        }
        WakeTurn();
    }

    // Whether the forum refuses enough of what it is asked to mean "too fast": a third of the answers of the
    // last second, and at least three. A forum that fails now and then (a flaky server behind it) is tried
    // again without slowing the run down.
    bool Overloaded() const {
        const auto refused = std::count_if(last_second.begin(), last_second.end(),
                                           [](const auto& answer) { return answer.second; });
        return refused >= 3 && 3 * refused >= static_cast<long>(last_second.size());
    }

    // Half the pages in flight, and a pace of half of what was asked of the forum the last second, or a little
    // under what it let through, whichever is faster (at least a page a second). Early in a run the second is
    // what there was of it.
    void SlowDown(Clock::time_point now) {
        ++epoch;
        good_since_limit = good_since_pace = 0;
        limit = std::max(1, limit / 2);
        const double window = std::clamp(Seconds(now - first_start.value_or(now)).count(), 0.05, 1.0);
        const auto let_through = std::count_if(last_second.begin(), last_second.end(),
                                               [](const auto& answer) { return !answer.second; });
        const double pages_per_second = std::max({1.0, 0.5 * static_cast<double>(last_second.size()) / window,
                                                  0.9 * static_cast<double>(let_through) / window});
        interval = std::max(interval, std::chrono::duration_cast<Clock::duration>(Seconds(1.0 / pages_per_second)));
    }

    // One more page in flight after as many good answers as are in flight; a pace a tenth faster after about
    // two seconds of them.
    void GrowBack() {
        if (++good_since_limit >= limit && limit < std::max(1, options.connections)) {
            ++limit;
            good_since_limit = 0;
        }
        if (interval == user_interval) return;
        const double per_second = 1.0 / std::chrono::duration_cast<Seconds>(interval).count();
        if (++good_since_pace < std::max(10.0, 2 * per_second)) return;
        good_since_pace = 0;
        interval = std::max(user_interval, interval * 9 / 10);
    }

    // How long to wait before the next try of what `page` tells: the forum's Retry-After when it names one,
    // else a doubling wait with a little jitter, so failed pages do not come back all at once.
    Clock::duration RetryWait(const FetchedPage& page, int tries) {
        if (page.Answered() && page.retry_after >= 0)
            return std::min<Clock::duration>(std::chrono::seconds(page.retry_after), options.longest_retry_after);
        std::uniform_real_distribution<double> jitter(0.8, 1.2);
        return std::chrono::duration_cast<Clock::duration>(options.first_retry * (1 << (tries - 1)) * jitter(random));
    }
};

PoliteFetch::PoliteFetch(Options options) : state_(std::make_unique<State>(options)) {}

PoliteFetch::~PoliteFetch() {
    Stop();
}

FetchedPage PoliteFetch::Fetch(const Download& download) {
    State& s = *state_;
    FetchedPage page;
    for (int tries = 1;; ++tries) {
        std::unique_lock lock(s.mutex);
        const std::optional<uint64_t> epoch = s.Start(lock);
        if (!epoch) return page;
        lock.unlock();
        page = download();
        lock.lock();
        s.Finish(*epoch, page);
        if (!IsTransient(page) || tries > s.options.retries) return page;
        const Clock::time_point retry_at = Clock::now() + s.RetryWait(page, tries);
        if (s.stopped_changed.wait_until(lock, retry_at, [&] { return s.stopped; })) return page;
    }
}

void PoliteFetch::Stop() {
    std::lock_guard lock(state_->mutex);
    state_->stopped = true;
    for (auto& [turn, waiting] : state_->waiting_turns) waiting->notify_one();
    state_->stopped_changed.notify_all();
}

PoliteFetch::Counts PoliteFetch::counts() const {
    std::lock_guard lock(state_->mutex);
    return state_->counts;
}
