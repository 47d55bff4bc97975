// The UCI protocol: identification, the command loop and the limits of "go".
#pragma once

#include <cstdint>

#include "search/searchdata.h"

struct Engine;

// The parameters of one "go" line; -1 marks a number that was not given.
struct UciGoParams {
    int64_t wtime = -1;      // White's clock, milliseconds
    int64_t btime = -1;      // Black's clock, milliseconds
    int64_t winc = -1;       // White's increment, milliseconds
    int64_t binc = -1;       // Black's increment, milliseconds
    int64_t movestogo = -1;  // moves to the next time control
    int64_t movetime = -1;   // fixed time for this move, milliseconds
    int64_t depth = -1;      // fixed depth
    int64_t nodes = -1;      // node limit
    int64_t mate = -1;       // look for a mate in so many moves or fewer
    bool infinite = false;   // search until "stop"
    bool ponder = false;     // search on the opponent's time until "ponderhit" or "stop"
};

// The limits of one search, worked out from a "go" line.
struct UciLimits {
    int32_t searchDepth;     // last iteration
    int64_t maxTime;         // target milliseconds
    int64_t maxNodes;        // node limit, 0 for none
    int64_t clockRemaining;  // milliseconds on the engine's clock, 0 without a clock
    int64_t panicCeiling;    // longest any panic time may run, -1 without a clock
    SearchState state;       // Thinking, Pondering or Analyzing
    int32_t mateMoves;       // a mate in so many moves or fewer ends the search, 0 for none
};

// Works out the limits of one search from its "go" parameters and the side to move; a
// budget from a clock or "movetime" keeps back moveOverheadMs. The limits hold for that
// search only: what is not given gets its default.
UciLimits UciGoLimits(const UciGoParams& go, int whiteToMove, int64_t moveOverheadMs);

// The identification block that answers "uci": names, options (the search's default the
// one chosen now) and "uciok".
const char* UciIdentification(SearchKind search);

// Switches the process to UCI for good: logs the mode, prints the identification and runs
// the UCI command loop. Never returns.
[[noreturn]] void EnterUciMode(Engine& e);

// Carries out one UCI command word taken from the input ring; "position", "go" and
// "setoption" read their arguments up to the end of the word's input line.
void UciCommand(Engine& e, const char* token);
