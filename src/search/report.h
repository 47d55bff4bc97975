// Texts describing a finished search: speed, depth, summary and statistics.
#pragma once

struct Engine;

// Nodes per second of the last search, or "undef." when no millisecond passed.
const char* NpsText(Engine& e);

// Iterations completed and root moves done in the last one, as "7.12".
const char* DepthText(Engine& e);

// The summary written after each own move: when the best move was found, depth, time, nodes,
// speed, the PV in SAN and the score text.
const char* SearchSummary(Engine& e);

// The statistics of the last search, for the console; the next call overwrites the text.
const char* SearchStatisticsText(Engine& e);
