// The root moves a search may play: every legal move, or the ones an interface names
// (UCI "searchmoves", xboard "exclude" and "include").
#pragma once

#include <cstdint>

#include "board/movegen.h"
#include "board/types.h"

struct Position;

// A set of root moves for one position. Inactive, it holds every legal move.
struct RootFilter {
    bool active = false;        // false: every legal move is searched
    uint64_t rootKey = 0;       // hashKey of the position the set belongs to
    int32_t count = 0;          // moves in the set
    Move moves[MaxLegalMoves] = {};  // the set, each as the legal list holds it
};

// Makes the set every legal move of any position.
void ClearRootFilter(RootFilter& f);

// Makes the set empty for the current position, ready for RootFilterInclude.
void EmptyRootFilter(RootFilter& f, const Position& p);

// True when the set belongs to the current position and leaves out at least one move.
bool RootFilterApplies(const RootFilter& f, const Position& p);

// Adds the legal move m of the current position to the set; a set of another position
// is emptied first. False when m is not legal here.
bool RootFilterInclude(RootFilter& f, const Position& p, Move m);

// Takes the legal move m of the current position out of the set; a set that held every
// move (or belonged to another position) starts from all legal moves. False when m is not
// legal here.
bool RootFilterExclude(RootFilter& f, const Position& p, Move m);

// Keeps only the moves of the set in the current position's legal list, in their order,
// and returns how many are left. A set of another position, or one that would leave no
// move at all, keeps the whole list.
int FilterRootMoves(const RootFilter& f, Position& p);
