// Building the big book from the games of a PGN file.
#pragma once

#include <cstdio>

#include "book/bigbook.h"

struct Engine;

// Adds the first BigBookPlies moves of every readable game of an open PGN file to the big
// book and writes the book to imagePath, saying so when that fails. The Engine is left at
// the starting position. Returns the number of games read.
int BuildBigBook(Engine& e, FILE* pgn, const char* imagePath = BigBookImageName);
