// The clock the search measures its time with.
#pragma once

#include <algorithm>
#include <cstdint>

struct Engine;

constexpr int64_t MillisecondsPerSecond = 1000;
constexpr int64_t MillisecondsPerCentisecond = 10;

// Milliseconds of a monotonic clock.
int64_t NowMilliseconds();

// Milliseconds since the running (or last) search started.
int64_t ElapsedMilliseconds(const Engine& e);

// Milliseconds the running search has used as its time limit counts them: since the
// request that started it when the search thread runs it, else since it started.
int64_t SearchElapsedMs(const Engine& e);

// Longer than any game: times are kept within it, so that sums and products of a few
// terms cannot overflow.
constexpr int64_t MaxTimeMs = int64_t(1) << 50;

// A time clamped to plus or minus MaxTimeMs.
inline int64_t ClampMs(int64_t ms) {
    return std::clamp(ms, -MaxTimeMs, MaxTimeMs);
}

// Nodes a second over ms milliseconds; 0 when no millisecond has passed.
inline int64_t NodesPerSecond(int64_t nodes, int64_t ms) {
    return ms > 0 ? nodes * MillisecondsPerSecond / ms : 0;
}

// Whole seconds of a count of milliseconds, for the texts that print seconds.
inline int32_t WholeSeconds(int64_t ms) {
    return int32_t(ms / MillisecondsPerSecond);
}
