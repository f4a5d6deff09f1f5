#include "platform/TickCount.h"

#include <chrono>

std::int64_t MonotonicMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::uint32_t TickCount() {
    return static_cast<std::uint32_t>(MonotonicMs());
}
