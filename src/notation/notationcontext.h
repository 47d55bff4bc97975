// The game position as the players see it, and what move text is read against in it.
#pragma once

#include <cstdint>

struct PlyRecord;

// The game position as shown to the players; the Engine may be a ply ahead while pondering.
struct DisplayBoard {
    int32_t board[120];     // PieceCodes, 7 outside a1..h8
    int32_t whiteToMove;
    uint8_t castleRights;
};

// What the move-text operations read a typed move against: the display board and the
// legal moves of the game position's record.
struct NotationContext {
    DisplayBoard* board;
    PlyRecord* moves;  // record holding the legal move list, nullptr before the first set
};
