// The console side of the suite and benchmark commands.
#pragma once

#include <cstdio>

struct Engine;

// Asks for a suite file and a result file and opens them, the suite for reading and the
// results for appending; suiteName (at least SlotSize bytes) receives the suite's name.
// Returns false, with nothing left open, after reporting a file that does not open.
bool AskSuiteFiles(char* suiteName, FILE*& suite, FILE*& results);

// Makes the Engine's position the game, as loading a position does: ply number 1, the
// display board and the notation context follow it, and the console shows the board.
void AdoptEnginePosition(Engine& e);

// Message for a suite line too long to read.
void ReportLongSuiteLine();

// Message for a suite position the set-up refused or that has no move to search.
void ReportSkippedPosition(const char* why);
