// The small book: hand-written positions with up to four book moves each.
#pragma once

#include <cstdio>

struct Engine;

constexpr const char* SmallBookTextName = "kitebook.txt";
constexpr const char* SmallBookImageName = "kitebook.bin";

// Start-up: loads kitebook.bin from folder, else from fallbackFolder (nullptr for none);
// without a usable image compiles kitebook.txt from the same places and writes the image
// into folder. Prints "--- ERROR: Cannot open book file ---" when there is neither.
void LoadSmallBook(Engine& e, const char* folder, const char* fallbackFolder);

// Start-up: the small book from the working folder, else from the installed data folder.
void LoadStartupSmallBook(Engine& e);

// Compiles book text into the small book, reporting each defect with its line number.
// Uses the Position to read the positions and moves; leaves it at the last book position.
void ReadSmallBookText(Engine& e, FILE* f);

// Returns the slot holding the current position's key, or -1. The walk from the key's
// home slot stops at an empty record; stopAtZeroKey also stops it at a record keyed 0.
int FindSmallBookEntry(const Engine& e, bool stopAtZeroKey);
