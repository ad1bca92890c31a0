// The queue that keeps list work apart: one job at a time, in posting order, and only the newest waiting filter.
#include "runtime/serial_work.h"

#include <gtest/gtest.h>

#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

class Journal {
public:
    void Add(const std::string& entry) {
        std::lock_guard lock(mutex_);
        entries_.push_back(entry);
    }
    std::vector<std::string> Entries() {
        std::lock_guard lock(mutex_);
        return entries_;
    }

private:
    std::mutex mutex_;
    std::vector<std::string> entries_;
};

TEST(SerialWork, RunsJobsOneAtATimeInPostingOrder) {
    SerialWork work;
    Journal journal;
    std::promise<void> all_done;
    std::atomic<int> running{0}, most_at_once{0};
    for (int i = 0; i < 50; ++i) {
        work.Post([&, i] {
            most_at_once = std::max(most_at_once.load(), ++running);
            journal.Add(std::to_string(i));
            std::this_thread::yield();
            --running;
        });
    }
    work.Post([&] { all_done.set_value(); });
    all_done.get_future().wait();
    std::vector<std::string> expected;
    for (int i = 0; i < 50; ++i) expected.push_back(std::to_string(i));
    EXPECT_EQ(journal.Entries(), expected);
    EXPECT_EQ(most_at_once.load(), 1);
}

TEST(SerialWork, AWaitingFilterGivesWayToANewerOne) {
    SerialWork work;
    Journal journal;
    std::promise<void> release, done;
    std::shared_future<void> released = release.get_future().share();
    work.Post([&] {
        released.wait();  // holds the queue while the rest is posted
        journal.Add("run");
    });
    work.PostFilter([&] { journal.Add("filter 1"); });
    work.Post([&] { journal.Add("load"); });
    work.PostFilter([&] { journal.Add("filter 2"); });
    work.PostFilter([&] { journal.Add("filter 3"); });
    work.Post([&] { done.set_value(); });
    release.set_value();
    done.get_future().wait();
    EXPECT_EQ(journal.Entries(), (std::vector<std::string>{"run", "load", "filter 3"}));
}

TEST(SerialWork, JobsLeftRunAfterTheQueueOwnerIsGone) {
    std::promise<void> release, done;
    std::shared_future<void> released = release.get_future().share();
    {
        SerialWork work;
        work.Post([released] { released.wait(); });
        work.Post([&] { done.set_value(); });
    }
    release.set_value();
    EXPECT_EQ(done.get_future().wait_for(std::chrono::seconds(10)), std::future_status::ready);
}

}  // namespace
