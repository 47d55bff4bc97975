// The text diagram of a board.
#pragma once

#include <cstdint>

// Returns the text diagram of a board; the next call overwrites it.
const char* DrawBoard(const int32_t* board, int whiteToMove, int inverted);
