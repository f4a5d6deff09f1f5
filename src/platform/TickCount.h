#pragma once

#include <cstdint>

// Milliseconds on the monotonic clock, which is never set back (it counts
// from an arbitrary start, usually the boot). Durations and deadlines are
// differences of two readings; logic classes take it as their default clock.
std::int64_t MonotonicMs();

// The same reading cut to 32 bits: the tick counts the typing model and the
// menu store. It wraps after 49.7 days, so only the unsigned difference of
// two readings is meaningful.
std::uint32_t TickCount();
