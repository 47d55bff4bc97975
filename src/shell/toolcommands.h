// The console commands of the test and benchmark tools. Each returns true when the console
// prompt follows.
#pragma once

struct Engine;

// Makes the Engine's position the game, as loading a position does: ply number 1, the
// display board and the notation context follow it, and the console shows the board.
void AdoptEnginePosition(Engine& e);

// "bench": the benchmark search; its position becomes the game.
bool BenchCommand(Engine& e);

// "testgen": asks for a depth and counts the leaves of the legal-move tree to it.
bool TestgenCommand(Engine& e);

// "loadnth": asks for a file and a number and loads that position as the game.
bool LoadNthCommand(Engine& e);

// "testgensuite": asks for the files, counts each position's moves, closes the files and
// makes the last position the game.
bool TestgenSuiteCommand(Engine& e);

// "test": asks for the suite and result files, runs the suite, closes the files and makes
// the last position the game.
bool TestCommand(Engine& e);

// The command-line run "-test SUITE RESULTS SECONDS DEPTH": returns the exit status, 1 when
// a file does not open, 0 after the run.
int RunCommandLineTest(Engine& e, const char* suiteName, const char* resultsName,
                       int seconds, int depth);
