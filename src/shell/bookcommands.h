// Console commands for the opening books and PGN games. Each returns true when the
// console prompt follows.
#pragma once

struct Engine;

// "book": the book moves of the current position and the fill of the big book.
bool CommandBook(Engine& e);

// "build": asks for a PGN file and adds its games to the big book, then saves the book.
bool CommandBuild(Engine& e);

// "loadgame": asks for a PGN file and plays its first game, which can then be stepped
// through with "undo" and "forward".
bool CommandLoadGame(Engine& e);
