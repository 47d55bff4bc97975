// The check the search makes every few thousand nodes: stop request and limits.
#pragma once

#include <cstdint>

struct Engine;

// Nodes between two time checks.
constexpr int64_t PollInterval = 2048;

// Schedules the next check and sets abortSearch when the search has to end: on a stop
// request, or on the node limit unless pondering or analysing. Prints the UCI progress line.
void TimeCheck(Engine& e);
