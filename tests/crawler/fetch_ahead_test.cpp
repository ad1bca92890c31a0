// Fetch-ahead: pages in step order whatever order they arrive in, a bound on what is held, and a stop that
// does not wait for the network.
#include "crawler/fetch_ahead.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <random>
#include <thread>

namespace {

using namespace std::chrono_literals;

FetchedPage Page(std::string text) {
    return {.outcome = FetchOutcome::kAnswered, .status = 200, .text = std::move(text)};
}

// Counts fetches in flight and how far beyond the steps asked for a fetch starts; `asked` is raised before
// each Next(), so a fetch never runs more than the connections ahead of it.
struct FetchWatch {
    std::atomic<int> in_flight{0}, most_in_flight{0};
    std::atomic<int64_t> asked{0}, most_ahead{0};

    void Started(int64_t step) {
        int now = ++in_flight;
        for (int most = most_in_flight; now > most && !most_in_flight.compare_exchange_weak(most, now);) {
        }
        int64_t ahead = step - asked + 1;
        for (int64_t most = most_ahead; ahead > most && !most_ahead.compare_exchange_weak(most, ahead);) {
        }
    }
};

TEST(FetchAhead, PagesComeInStepOrderWithNoMoreThanTheConnectionsAhead) {
    for (int connections : {1, 4, 16}) {
        FetchWatch watch;
        std::mt19937 random(static_cast<unsigned>(connections));
        std::vector<int> delays(300);
        for (int& delay : delays) delay = static_cast<int>(random() % 4);
        FetchAhead pages(
            [&](int64_t step) {
                watch.Started(step);
                std::this_thread::sleep_for(std::chrono::milliseconds(delays[static_cast<size_t>(step)]));
                --watch.in_flight;
                return Page("page " + std::to_string(step));
            },
            static_cast<int64_t>(delays.size()), connections);
        for (size_t step = 0; step < delays.size(); ++step) {
            ++watch.asked;
            std::optional<FetchedPage> page = pages.Next();
            ASSERT_TRUE(page) << step;
            EXPECT_EQ(page->text, "page " + std::to_string(step));
        }
        EXPECT_FALSE(pages.Next());
        EXPECT_LE(watch.most_in_flight, connections);
        EXPECT_LE(watch.most_ahead, connections);
        if (connections > 1) {
            EXPECT_GT(watch.most_in_flight, 1);
        }
    }
}

TEST(FetchAhead, StopReturnsAtOnceWhileFetchesHangAndNothingOfThemIsTaken) {
    std::promise<void> network_answers;
    std::shared_future<void> answer = network_answers.get_future().share();
    std::atomic<int> finished{0};
    auto pages = std::make_unique<FetchAhead>(
        [answer, &finished](int64_t step) {
            if (step > 0) answer.wait();  // the first page arrives, the rest hang
            ++finished;
            return Page("page");
        },
        10, 3);
    ASSERT_EQ(pages->Next().value_or(FetchedPage{}).text, "page");

    std::thread stopper([&] {
        std::this_thread::sleep_for(50ms);
        pages->Stop();
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(pages->Next());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    stopper.join();
    pages.reset();  // the run is gone while its fetchers still wait

    network_answers.set_value();
    for (int wait = 0; wait < 200 && finished < 4; ++wait) std::this_thread::sleep_for(10ms);
    // The hanging fetches end on their own and start no new ones.
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(finished, 4);
}

TEST(FetchAhead, NoStepsGiveNoPage) {
    FetchAhead pages(
        [](int64_t) -> FetchedPage {
            ADD_FAILURE() << "nothing to fetch";
            return {};
        },
        0, 4);
    EXPECT_FALSE(pages.Next());
}

}  // namespace
