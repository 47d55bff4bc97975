// Setting up positions: the starting position, a position written square by square, and
// rebuilding derived state.
#pragma once

#include <cstdint>

struct Position;

// Sets up the standard starting position.
void SetInitialPosition(Position& p);

// The fields a set-up writes before the rest is derived from them.
struct BoardFields {
    int board[120];
    int whiteToMove;
    uint8_t castleRights;
    uint8_t epSquare;
};

// The board, side, castling and en-passant fields of a position, to go back to.
BoardFields SaveBoardFields(const Position& p);

// What entering a position found.
struct SetupResult {
    const char* defect = nullptr;  // why no game can be played from it, or nullptr
    bool epIgnored = false;        // an impossible en-passant square was dropped
};

// Makes the board, side, castling and en-passant fields just written the current position,
// deriving everything else from them. A position no game can be played from is refused:
// the fields of previous are written back, and the rest of the position is untouched.
SetupResult EnterPosition(Position& p, const BoardFields& previous);

// Recomputes piece lists, counts, material and king/knight attack counts from the board.
void RebuildPosition(Position& p);

// Recomputes balances, keys and side pointers and makes the position record 0.
void ResetPlyStack(Position& p);
