// Checks that a board read from text is a position the engine can play from.
#pragma once

struct Position;

// Returns a one-line description of what makes the board unplayable, or nullptr.
// Reads only board and whiteToMove.
const char* PositionDefect(const Position& p);

// True when epSquare could follow an enemy double step: right rank, empty, pawn in front.
bool EnPassantSquareConsistent(const Position& p);
