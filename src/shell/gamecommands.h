// Commands that drive the game: new game, moving, force mode, take-back and replay,
// pondering. Each returns true when the console prompt follows.
#pragma once

struct Engine;

// "new": a new game; analysis, if running, goes on from the new position.
bool CommandNew(Engine& e);

// "go": the engine plays the side to move.
bool CommandGo(Engine& e);

// "play" and "force": the engine stops answering moves.
bool CommandForce(Engine& e);

// "?": the engine moves now with the best move found so far.
bool CommandMoveNow(Engine& e);

// "hard" and "easy": pondering on and off.
bool CommandHard(Engine& e);
bool CommandEasy(Engine& e);

// "remove", "undo" and "forward": take back two plies, one ply; replay two plies.
bool CommandRemove(Engine& e);
bool CommandUndo(Engine& e);
bool CommandForward(Engine& e);
