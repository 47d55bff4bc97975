// How a search below full strength plays: several lines within a node budget, a move drawn
// from them, and on a clock no answer before a share of the move's time has passed.
#pragma once

struct Engine;

// True when the search about to run plays below full strength: a limited strength, and a
// search that is not an analysis.
bool PlaysLimited(const Engine& e);

// Sets up a limited search after the driver's reset: at least StrengthLines lines, the
// level's node budget, and no lines recorded yet. Returns the MultiPV setting to restore.
int BeginLimitedSearch(Engine& e);

// Keeps the lines of the iteration just completed when it stayed within the node budget
// (the first iteration's always), as the ones the move is drawn from.
void RecordLimitedLines(Engine& e);

// Draws the move from the recorded lines, puts it at the front of the root list and makes
// its line the search's line and score; then, on a clock, holds the answer until a share
// of the move's budget has passed or a stop request comes.
void PlayLimitedMove(Engine& e);
