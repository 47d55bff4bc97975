// Legal move generation into the current ply's list.
#pragma once

#include "board/geometry.h"
#include "board/types.h"

struct Position;

// Room one list may take: no chess position has more than 218 legal moves.
constexpr int MaxLegalMoves = 256;

// Generates the legal moves of the current position into the current PlyRecord,
// rebuilding attack maps, pins and mobilityBalance. Returns the number of checkers.
// A list that could run past the move area is left empty (HasRoomForPly guards against it).
int GenerateMoves(Position& p);

// GenerateMoves where the attack maps, pins and mobilityBalance already describe the
// placement, as after a null move: only the list and the checkers are made (the maps
// walked again only when the side to move is in check).
int GenerateMovesOnMaps(Position& p);

// Rebuilds the attack maps, pins, mobilityBalance and checkers of the current position as
// GenerateMoves would, keeping the current record's list, which must still be its own.
// Returns the number of checkers.
int RebuildMaps(Position& p);

// Appends the moves of the side to move when it is not in check, at genCursor. Neither
// clears maps, pins or mobilityBalance nor sets the list start or count (the caller does).
void GenerateAll(Position& p);

// Appends the non-king answers to a single check, at genCursor.
void GenerateEvasions(Position& p);

// Nonzero when capturing en passant with the pawn on from leaves the king on kingSquare
// safe along the rank of the two pawns.
int EpRankPinSafe(Position& p, int from, int kingSquare);

// True for a pawn move onto the last rank, where the promotion byte is part of the move.
inline bool IsPromotionMove(const int32_t* board, int from, int to) {
    return (board[from] == Pawn || board[from] == -Pawn) && (rankOf[to] == 8 || rankOf[to] == 1);
}

// Index of move m in a legal list of the position on board: from and to agree, and for a
// pawn reaching the last rank the promotion piece too. -1 when m is not in the list or
// names a square off the board.
int FindMoveIndex(const int32_t* board, const MoveListEntry* moves, int count, Move m);

// Move m as the current list holds it, its promotion byte 0 unless it promotes; 0 when m
// is not a legal move here.
Move LegalMoveOf(const Position& p, Move m);

// Sets the promotion byte of every move of the current list that is not a pawn move onto
// the first or last rank to 0.
void NormalizePromotions(Position& p);

// True when one more MakeMove fits: a free PlyRecord and room for a full move list.
bool HasRoomForPly(const Position& p);
