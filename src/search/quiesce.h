// The quiescence search below the horizon.
#pragma once

struct Engine;

// Fail-soft score of the current position after the tactics are resolved: stand pat on the
// static score, search the captures and threats that pass the filter, or every evasion when in
// check close to the horizon.
int Quiesce(Engine& e, int alpha, int beta);
