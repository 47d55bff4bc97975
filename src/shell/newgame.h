// The reset to a new game that every protocol uses.
#pragma once

struct Engine;

// Sets up the starting position and resets the game's bookkeeping.
void NewGame(Engine& e);

// Points the notation context at the display board and the Engine's root move list.
void SetNotationContext(Engine& e);
