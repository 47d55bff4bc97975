// Playing the game: the opponent's moves, the engine's searches and their announcement,
// pondering on the opponent's time.
#pragma once

#include "board/types.h"
#include "search/searchdata.h"

struct Engine;

// The search the search thread runs for the shell: the search seam on the Engine, nothing
// while the position the interface set up was refused.
Move ShellSearch(Engine& e);

// Plays a move of the game on the Engine and the display board; with report set and not
// in force mode, announces mate and draw.
void PlayGameMove(Engine& e, Move m, int report);

// Acts on a token that may be a move of the game; returns nonzero when it was a legal move
// and was acted on, 0 when it is not a move here.
int HandleUserMove(Engine& e, const char* token);

// Collects a finished search: announces and plays its move, then starts pondering.
void OnSearchDone(Engine& e);

// Announces the engine's move before it is played, in the current protocol's form, and
// books the thinking time. ponder is the UCI ponder move (0 for none).
void AnnounceMove(Engine& e, Move m, Move ponder);

// Logs the opponent's move and, unless under xboard, echoes it; the text after (a board)
// follows in the same message.
void LogOpponentMove(Engine& e, Move m, const char* after = "");

// Stops the search before a command changes the Engine; a ponder search also takes back
// the predicted reply it made.
void StopSearchForCommand(Engine& e);

// Asks for a search in state s once the running command has printed its output and the
// prompt: the search thread's output then never comes before the command's own.
void RequestSearchAfterCommand(Engine& e, SearchState s);

// Starts the search the command just carried out asked for, if any.
void StartSearchAfterCommand(Engine& e);

// Flushes standard output, the log and the tree dump, then ends the process with status 0
// at once through the endProcess seam: the search thread may still be running, so no
// destructor runs.
[[noreturn]] void ExitProgram(Engine& e);
