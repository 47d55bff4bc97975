// Process-wide values of the shell: modes and game bookkeeping.
#pragma once

#include <cstdint>
#include <cstdio>

#include "shell/displayboard.h"

struct ShellState {
    int32_t consoleMode = 1;     // prompts and text boards are printed
    int32_t xboardMode = 0;
    int32_t fritzMode = 0;
    int32_t uciMode = 0;
    int32_t forceMode = 0;       // the engine does not answer moves on its own
    int32_t ponderEnabled = 0;
    int32_t showSearchInfo = 0;
    int32_t plyNumber = 1;       // half-move about to be played, 1-based
    int32_t invertBoard = 0;     // text board drawn from Black's side
    FILE* logFile = nullptr;
    DisplayBoard display;        // the game as the players see it
    NotationContext notation;    // display board and root move list for move text
};
