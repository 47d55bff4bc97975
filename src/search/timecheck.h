// The check the search makes every few thousand nodes: stop request and limits.
#pragma once

#include <cstdint>

struct Engine;

// Nodes between two time checks.
constexpr int64_t PollInterval = 2048;

// Schedules the next check and sets abortSearch when the search has to end: on a stop
// request, or on the node limit unless pondering or analysing. Reports progress every few
// seconds and the remarks of the time limit.
void TimeCheck(Engine& e);
