// Small helpers shared by the benchmarks: a monotonic clock, medians, a message pump and a window prober.
#pragma once

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

inline double NowSeconds() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Dispatches the messages waiting for this thread.
inline void DispatchQueued() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// Dispatches this thread's messages until `done` holds, checking it at least every `wait_ms`.
template <class Done>
void PumpUntil(Done done, DWORD wait_ms) {
    while (!done()) {
        DispatchQueued();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, wait_ms, QS_ALLINPUT);
    }
}

// Asks a window of this thread for an answer from another thread every `interval_ms` and keeps the slowest
// wait: how long a user would have found the window frozen.
class WindowProbe {
  public:
    WindowProbe(HWND window, DWORD interval_ms)
        : prober_([this, window, interval_ms] {
              while (probing_) {
                  double asked = NowSeconds();
                  DWORD_PTR result;
                  SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
                  slowest_ = std::max(slowest_.load(), NowSeconds() - asked);
                  Sleep(interval_ms);
              }
              stopped_ = true;
          }) {}

    // Stops probing, answering the last question meanwhile; the slowest wait in seconds.
    double Stop() {
        probing_ = false;
        PumpUntil([this] { return stopped_.load(); }, 1);
        prober_.join();
        return slowest_;
    }

  private:
    std::atomic<bool> probing_{true}, stopped_{false};
    std::atomic<double> slowest_{0};
    std::thread prober_;
};
