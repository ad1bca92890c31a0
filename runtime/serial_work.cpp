// A queue of jobs run one at a time on a worker thread started when work arrives.
#include "runtime/serial_work.h"

#include <algorithm>
#include <deque>
#include <mutex>
#include <thread>

struct SerialWork::Queue {
    struct Entry {
        Job job;
        bool is_filter;
    };

    std::mutex mutex;
    std::deque<Entry> waiting;
    bool worker_running = false;

    static void Add(const std::shared_ptr<Queue>& queue, Job job, bool is_filter) {
        std::lock_guard lock(queue->mutex);
        if (is_filter) std::erase_if(queue->waiting, [](const Entry& entry) { return entry.is_filter; });
        queue->waiting.push_back({std::move(job), is_filter});
        if (queue->worker_running) return;
        queue->worker_running = true;
        std::thread([queue] { queue->RunAll(); }).detach();
    }

    void RunAll() {
        for (;;) {
            Job job;
            {
                std::lock_guard lock(mutex);
                if (waiting.empty()) {
                    worker_running = false;
                    return;
                }
                job = std::move(waiting.front().job);
                waiting.pop_front();
            }
            job();
        }
    }
};

SerialWork::SerialWork() : queue_(std::make_shared<Queue>()) {}

void SerialWork::Post(Job job) {
    Queue::Add(queue_, std::move(job), false);
}

void SerialWork::PostFilter(Job job) {
    Queue::Add(queue_, std::move(job), true);
}
