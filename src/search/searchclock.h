// The clock the search measures its time with.
#pragma once

#include <cstdint>

struct Engine;

constexpr int64_t MillisecondsPerSecond = 1000;

// Milliseconds of a monotonic clock.
int64_t NowMilliseconds();

// Milliseconds since the running (or last) search started.
int64_t ElapsedMilliseconds(const Engine& e);

// Nodes a second over ms milliseconds; 0 when no millisecond has passed.
inline int64_t NodesPerSecond(int64_t nodes, int64_t ms) {
    return ms > 0 ? nodes * MillisecondsPerSecond / ms : 0;
}

// Whole seconds of a count of milliseconds, for the texts that print seconds.
inline int32_t WholeSeconds(int64_t ms) {
    return int32_t(ms / MillisecondsPerSecond);
}
