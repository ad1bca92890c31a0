// Polite fetching: which failures are tried again and after how long, a stop that ends every wait, the pace
// the user sets, and a forum that refuses beyond its limit yet gets every page through.
#include "crawler/polite_fetch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = PoliteFetch::Clock;

FetchedPage Answer(int status, int retry_after = -1) {
    return {.outcome = FetchOutcome::kAnswered, .status = status, .retry_after = retry_after, .text = "page"};
}

PoliteFetch::Options Quick(int connections = 4) {
    return {.connections = connections, .first_retry = 20ms, .longest_retry_after = 200ms};
}

TEST(PoliteFetch, TriesWhatIsTransientAgainAndTakesEveryOtherAnswerAsItIs) {
    for (const FetchedPage& transient :
         {FetchedPage{.outcome = FetchOutcome::kNoConnection}, FetchedPage{.outcome = FetchOutcome::kTimedOut},
          FetchedPage{.outcome = FetchOutcome::kReset}, Answer(408), Answer(429), Answer(500), Answer(503)}) {
        EXPECT_TRUE(IsTransient(transient)) << transient.status;
        PoliteFetch polite(Quick());
        int tries = 0;
        const FetchedPage page = polite.Fetch([&] { return ++tries < 3 ? transient : Answer(200); });
        EXPECT_EQ(page.status, 200);
        EXPECT_EQ(tries, 3);
    }
    for (const FetchedPage& final : {Answer(200), Answer(404), Answer(403), FetchedPage{.outcome = FetchOutcome::kTooLarge},
                                     FetchedPage{.outcome = FetchOutcome::kRefused}}) {
        EXPECT_FALSE(IsTransient(final));
        PoliteFetch polite(Quick());
        int tries = 0;
        polite.Fetch([&] {
            ++tries;
            return final;
        });
        EXPECT_EQ(tries, 1);
    }
}

TEST(PoliteFetch, GivesUpAfterThreeMoreTriesWaitingLongerEachTime) {
    PoliteFetch polite(Quick());
    std::vector<Clock::time_point> tried;
    const FetchedPage page = polite.Fetch([&] {
        tried.push_back(Clock::now());
        return Answer(502);
    });
    EXPECT_EQ(page.status, 502);
    ASSERT_EQ(tried.size(), 4u);
    // 20, 40 and 80 ms, less a fifth at the most.
    EXPECT_GE(tried[1] - tried[0], 16ms);
    EXPECT_GE(tried[2] - tried[1], 32ms);
    EXPECT_GE(tried[3] - tried[2], 64ms);
    EXPECT_EQ(polite.counts().requests, 4);
}

TEST(PoliteFetch, WaitsAsLongAsTheForumAsksUpToALimit) {
    PoliteFetch polite(Quick());
    std::vector<Clock::time_point> tried;
    polite.Fetch([&] {
        tried.push_back(Clock::now());
        return tried.size() == 1 ? Answer(429, 0) : tried.size() == 2 ? Answer(503, 3600) : Answer(200);
    });
    ASSERT_EQ(tried.size(), 3u);
    EXPECT_GE(tried[2] - tried[1], 200ms);  // an hour asked, the limit waited
}

TEST(PoliteFetch, AStopEndsEveryWaitAtOnce) {
    PoliteFetch polite({.connections = 1, .longest_retry_after = 1h});
    std::atomic<int> returned{0};
    std::vector<std::thread> fetchers;
    for (int i = 0; i < 3; ++i) {
        // The first waits out a Retry-After of an hour; the others wait for the one connection.
        fetchers.emplace_back([&] {
            polite.Fetch([] {
                std::this_thread::sleep_for(10ms);
                return Answer(429, 3600);
            });
            ++returned;
        });
    }
    std::this_thread::sleep_for(100ms);
    const Clock::time_point stopped = Clock::now();
    polite.Stop();
    for (std::thread& fetcher : fetchers) fetcher.join();
    EXPECT_EQ(returned, 3);
    EXPECT_LT(Clock::now() - stopped, 5s);  // the waits were an hour long
}

TEST(PoliteFetch, KeepsToTheUsersPaceAndConnections) {
    PoliteFetch polite({.connections = 2, .pages_per_second = 50});
    std::atomic<int> in_flight{0}, most{0};
    std::vector<std::thread> fetchers;
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < 6; ++i) {
        fetchers.emplace_back([&] {
            for (int page = 0; page < 4; ++page) {
                polite.Fetch([&] {
                    const int now = ++in_flight;
                    for (int seen = most; now > seen && !most.compare_exchange_weak(seen, now);) {
                    }
                    std::this_thread::sleep_for(5ms);
                    --in_flight;
                    return Answer(200);
                });
            }
        });
    }
    for (std::thread& fetcher : fetchers) fetcher.join();
    // 24 pages started 20 ms apart at the least.
    EXPECT_GE(Clock::now() - start, 23 * 20ms * 9 / 10);
    EXPECT_LE(most, 2);
}

// A forum that lets `per_second` pages a second through (a bucket of as many, filled as time goes) and
// answers the rest with 429, `latency` late.
class LimitedForum {
  public:
    LimitedForum(int per_second, Clock::duration latency) : per_second_(per_second), latency_(latency) {}

    FetchedPage Answer() {
        std::this_thread::sleep_for(latency_);
        std::lock_guard lock(mutex_);
        const Clock::time_point now = Clock::now();
        tokens_ = std::min<double>(per_second_, tokens_ + per_second_ * std::chrono::duration<double>(now - filled_).count());
        filled_ = now;
        ++requests_;
        if (tokens_ < 1) {
            ++refused_;
            return ::Answer(429, 1);
        }
        tokens_ -= 1;
        return ::Answer(200);
    }
    int requests() const { return requests_; }
    int refused() const { return refused_; }

  private:
    const int per_second_;
    const Clock::duration latency_;
    std::mutex mutex_;
    double tokens_ = per_second_;
    Clock::time_point filled_ = Clock::now();
    std::atomic<int> requests_{0}, refused_{0};
};

TEST(PoliteFetch, AForumThatRefusesBeyondItsLimitGetsEveryPageThroughAndFewRefusals) {
    // 150 pages from a forum that allows 50 a second, 20 ms away, over 8 connections: it refuses for a
    // moment, then the pace follows it.
    LimitedForum forum(50, 20ms);
    PoliteFetch polite({.connections = 8});
    std::atomic<int> next{0}, good{0};
    std::vector<std::thread> fetchers;
    for (int i = 0; i < 16; ++i) {
        fetchers.emplace_back([&] {
            while (next++ < 150) good += polite.Fetch([&] { return forum.Answer(); }).status == 200;
        });
    }
    for (std::thread& fetcher : fetchers) fetcher.join();
    EXPECT_EQ(good, 150);
    EXPECT_LE(forum.refused() * 4, forum.requests()) << forum.refused() << " of " << forum.requests();
    EXPECT_EQ(polite.counts().requests, forum.requests());
    EXPECT_EQ(polite.counts().refused, forum.refused());
}

}  // namespace
