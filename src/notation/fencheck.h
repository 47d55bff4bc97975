// The strict reading of FEN text that interfaces send: a position with a defect is refused,
// where the EPD reader would report the defect and carry on with a fallback.
#pragma once

// Returns nullptr when the text is a well-formed FEN: the board, the side to move, then
// optionally the castling field, the en-passant square and the two move counters. Otherwise
// returns a one-line description of the first defect (without a line end). Whether the
// position itself can be played is not looked at here. The next call overwrites the text.
const char* FenDefect(const char* text);
