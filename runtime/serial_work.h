// Work that changes the result list, run one job at a time in the order posted, so runs, filters, loads,
// saves and clears never interleave.
#pragma once

#include <functional>
#include <memory>

class SerialWork {
  public:
    using Job = std::function<void()>;

    SerialWork();

    // Queues a job. Jobs run on a worker thread that lives while there is work; nobody waits for it, and the
    // queue outlives this object for as long as a job is left, so jobs must hold what they use.
    void Post(Job job);
    // Queues a filter. A filter still waiting is dropped: only the newest one asked for is worth running.
    void PostFilter(Job job);

  private:
    struct Queue;
    std::shared_ptr<Queue> queue_;
};
