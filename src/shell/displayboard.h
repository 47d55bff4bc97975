// The game position as the players see it, and the text board.
#pragma once

#include <cstdint>

#include "board/types.h"

struct Engine;
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

// Makes an empty display board: 0 on a1..h8, 7 elsewhere, White to move.
void InitDisplayBoard(DisplayBoard& d);

// Copies the Engine's board, side to move and castling rights.
void CopyToDisplayBoard(const Engine& e, DisplayBoard& d);

// Plays a legal move of the side to move on the display board.
void DisplayBoardApplyMove(DisplayBoard& d, Move m);

// Returns the text diagram of a board; the next call overwrites it.
const char* DrawBoard(const int32_t* board, int whiteToMove, int inverted);
