// Process-wide values of the shell: modes, game bookkeeping and the search result.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>

#include "board/types.h"
#include "search/searchdata.h"
#include "shell/displayboard.h"
#include "shell/seams.h"
#include "shell/timecontrol.h"

// Length of beepText: the bell character or nothing, and the terminator.
constexpr int BeepTextSize = 2;
// "ping" numbers waiting for the engine's move before their "pong", and their length.
constexpr int PendingPingSlots = 8;
constexpr int PingTextSize = 24;

// Text buffers the thinking output is built in; each call overwrites its own.
struct ThinkingTexts {
    char pvText[400];         // PV in coordinate notation
    char thinkingLine[480];   // one thinking line
};

struct ShellState {
    int32_t consoleMode = 1;     // prompts and text boards are printed
    int32_t xboardMode = 0;      // running under xboard
    int32_t fritzMode = 0;       // a new game keeps the hash tables; "reset" is accepted
    int32_t uciMode = 0;         // running under UCI
    int32_t xboardVersion2 = 0;  // xboard announced protocol version 2 and got our features
    // The position the interface last set up was refused: nothing is searched or played
    // until a position is accepted or a new game starts.
    int32_t positionRefused = 0;
    // Ctrl-C ends the program: at the console, never under an interface (read by the
    // thread that waits for the signal).
    std::atomic<int32_t> interruptQuits{0};
    int32_t forceMode = 0;       // the engine does not answer moves on its own
    int32_t ponderEnabled = 0;   // think on the opponent's time ("hard" / "easy")
    int32_t showSearchInfo = 0;  // print the search information block after own moves
    // Thinking lines are printed ("post"); read by the search thread while it reports.
    std::atomic<int32_t> post{0};
    char beepText[BeepTextSize] = {'\a', '\0'};  // printed after the console move announcement
    int32_t plyNumber = 1;       // half-move about to be played, 1-based
    int32_t invertBoard = 0;     // the Engine's text board is drawn from Black's side
    FILE* logFile = nullptr;     // the open log file
    DisplayBoard display;        // the game as the players see it
    NotationContext notation;    // display board and root move list for move text

    // Move of the last search: stored (release) by the search thread before it reports
    // Done in the Engine's searchState, read (acquire) by the main thread after it saw Done.
    std::atomic<Move> bestMove{0};

    // Search a command asked for, started once the command has printed all it prints
    // (Idle when none).
    SearchState searchAfterCommand = Idle;

    Move predictedReply = 0;         // reply made on the Engine while pondering, 0 when none
    int64_t ponderStartMs = 0;       // steady-clock milliseconds when pondering began
    int64_t ponderGainedMs = 0;      // milliseconds spent pondering before a ponder hit
    TimeControl time;                // clock, time controls and thinking time of the game

    // "ping" numbers received while the engine was on move, answered after its move.
    char pendingPings[PendingPingSlots][PingTextSize] = {};
    int32_t pendingPingCount = 0;

    ThinkingTexts texts{};  // written on the search thread while it reports

    ShellSeams seams;  // the search, table sizing and process end the shell goes through
};
