// What a leak check counts in this process: GDI objects it can still create, its private memory, its thread's
// windows.
#pragma once

#include <windows.h>
#include <psapi.h>

#include <cstddef>
#include <vector>

// GDI objects this process can still create, found by creating brushes until the process's handle table is
// full. Wine answers GetGuiResources with 0 (not implemented) and publishes its handle table only where a
// 64-bit process looks for it, so counting the free slots is what works in both builds; fewer of them after
// the rounds than before means objects were leaked.
inline long GdiObjectsLeft() {
    constexpr size_t kBeyondAnyTable = 1 << 20;  // stops the loop should creation never fail
    std::vector<HBRUSH> brushes;
    while (brushes.size() < kBeyondAnyTable) {
        HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
        if (!brush) break;
        brushes.push_back(brush);
    }
    for (HBRUSH brush : brushes) DeleteObject(brush);
    return static_cast<long>(brushes.size());
}

// Private bytes of this process. Wine leaves PrivateUsage at 0; there the committed private memory is summed.
inline size_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof(counters));
    if (counters.PrivateUsage) return counters.PrivateUsage;
    size_t total = 0;
    MEMORY_BASIC_INFORMATION region{};
    const BYTE* address = nullptr;
    while (VirtualQuery(address, &region, sizeof(region))) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
        const BYTE* next = static_cast<const BYTE*>(region.BaseAddress) + region.RegionSize;
        if (next <= address) break;
        address = next;
    }
    return total;
}

// Top-level windows of the calling thread.
inline int ThreadWindowCount() {
    int count = 0;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND, LPARAM counted) CALLBACK -> BOOL {
            ++*reinterpret_cast<int*>(counted);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}
