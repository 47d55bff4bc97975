// Search state held by the Engine: limits, statistics and tables.
#pragma once

#include <cstdint>

struct SearchData {
    int32_t searchDepth = 30;  // depth setting; the running iteration's depth during a search
    int32_t maxTime = 10;      // seconds per move
    int64_t maxNodes = 0;      // node limit, 0 for none
    int32_t post = 0;          // print thinking lines
    int32_t uciOutput = 0;     // thinking as UCI info lines
};
