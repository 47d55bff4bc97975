// EPD/FEN text: reading a position's four fields and writing them back.
#pragma once

#include <cstddef>

struct Position;

// Sets up the position of an EPD/FEN text, reporting each defect. Returns false, leaving
// the previous position untouched, when no game can be played from it.
bool ReadEpdPosition(Position& p, const char* text);

// Fills board, whiteToMove, castleRights and epSquare from the first four EPD fields.
// Never fails: each defect is reported on standard output and replaced by a fallback.
void LoadEpd(Position& p, const char* text);

// Returns the position as "board side castling ep"; the next call overwrites the text.
const char* PositionToEpd(const Position& p);

// Writes the 64 squares a8..h1 ("1" for empty), side, castling and ep square into buf.
void FlatPositionString(const Position& p, char* buf, size_t size);
