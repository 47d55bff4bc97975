// Choosing a book move for the current position.
#pragma once

#include "board/types.h"

struct Engine;

// Plies of a game in which the books are consulted.
constexpr int BookPlies = 30;

// Which book a move came from.
enum class BookSource { None, Small, Big };

// Looks the current position up in the small book, then in the big book. On success
// fills move with the matching entry of the legal move list and returns the book it came
// from; otherwise returns None. The current PlyRecord's legal moves must have been generated.
BookSource ProbeBook(Engine& e, Move* move);

// How a book move is described: "Book Move (small)" or "Book Move (big)".
const char* BookMoveText(BookSource source);

// Returns the book moves of the current position and the fill of the big book, as the
// "book" command prints them; the next call overwrites the text.
const char* BookText(Engine& e);
