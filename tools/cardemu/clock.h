// Microseconds from the performance counter; all emulator times use it.
#pragma once

#include <windows.h>

#include <cstdint>

namespace cardemu {

inline uint64_t nowMicros() {
    constexpr uint64_t kUsPerSecond = 1000000;
    static const uint64_t frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<uint64_t>(f.QuadPart);
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    const auto ticks = static_cast<uint64_t>(counter.QuadPart);
    return ticks / frequency * kUsPerSecond + ticks % frequency * kUsPerSecond / frequency;
}

}  // namespace cardemu
