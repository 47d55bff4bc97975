// The clock the search measures its time with.
#pragma once

#include <cstdint>

struct Engine;

// Milliseconds of a monotonic clock.
int64_t NowMilliseconds();

// Milliseconds and whole seconds since the running (or last) search started.
int64_t ElapsedMilliseconds(const Engine& e);
int32_t ElapsedSeconds(const Engine& e);
