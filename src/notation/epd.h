// EPD/FEN text: reading a position's four fields and writing them back.
#pragma once

#include <cstddef>

struct Engine;

// Fills board, whiteToMove, castleRights and epSquare from the first four EPD fields.
// Never fails: each defect is reported on standard output and replaced by a fallback.
void LoadEpd(Engine& e, const char* text);

// Returns the position as "board side castling ep"; the next call overwrites the text.
const char* PositionToEpd(const Engine& e);

// Writes the 64 squares a8..h1 ("1" for empty), side, castling and ep square into buf.
void FlatPositionString(const Engine& e, char* buf, size_t size);
