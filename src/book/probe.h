// Choosing a book move for the current position.
#pragma once

#include "board/types.h"

struct Engine;

// Looks the current position up in the small book, then in the big book. On success
// fills move with the matching entry of the legal move list, sets the score text to
// "Book Move (small)" or "Book Move (big)" and returns 1; otherwise returns 0.
// The current PlyRecord's legal moves must have been generated.
int ProbeBook(Engine& e, Move* move);

// Returns the book moves of the current position and the fill of the big book, as the
// "book" command prints them; the next call overwrites the text.
const char* BookText(Engine& e);
