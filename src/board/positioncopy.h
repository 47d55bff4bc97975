// Copying a Position into another one's storage, for a search thread of its own.
#pragma once

struct Position;

// Makes to the same position as from, with the same game line behind it: the board, every
// derived field and the ply records and move lists up to the current ones, the pointers
// re-taken into to's own ply stack and move area. The records above the current one are
// left as they were in to: a search writes them afresh.
void CopyPosition(Position& to, const Position& from);
