// Start-up: command line, Engine, log file, protocol detection and the main loop.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "book/smallbook.h"
#include "engine.h"
#include "shell/commandline.h"
#include "shell/commands.h"
#include "shell/displayboard.h"
#include "shell/inputring.h"
#include "shell/logfile.h"
#include "shell/newgame.h"
#include "shell/output.h"
#include "shell/playgame.h"
#include "shell/searchthread.h"
#include "shell/uci.h"
#include "shell/version.h"
#include "tools/testsuite.h"

static constexpr int IdleYields = 10;     // zero-length sleeps before the main loop sleeps
static constexpr int IdleSleepMs = 200;  // sleep while nothing is asked of the engine
static constexpr int FirstTokenWaitMs = 100;  // input later than this gets the console

// Looks at the first token to choose the protocol; prints the console banner otherwise.
static void DetectProtocol(Engine& e) {
    AwaitFirstToken(FirstTokenWaitMs);
    char token[SlotSize];
    const char* next = PeekToken();
    if (next && std::strcmp(next, "fritz") == 0) {
        TakeToken(token);
        e.shell.fritzMode = 1;
        LogPrint(e, "**** Running in Fritz Mode ****\n");
        next = PeekToken();
    } else if (next && std::strcmp(next, "uci") == 0) {
        TakeToken(token);
        EnterUciMode(e);
    }
    if (next && std::strcmp(next, "xboard") == 0) {
        TakeToken(token);
        e.shell.xboardMode = 1;
        e.shell.consoleMode = 0;
        return;
    }
    if (e.shell.consoleMode) {
        Print("\n----------------------------------\nmossKite version %s\n"
              "----------------------------------\n\ntype help for ... help!\n%s"
              "Enter a move or command:\n",
              VersionText, DrawBoard(e.pos.board, e.pos.whiteToMove, e.shell.invertBoard));
    }
}

int main(int argc, char** argv) {
    // xboard interrupts an engine before most of its commands unless a feature opts out;
    // the engine has no use for the signal, and its default action would end the engine.
    std::signal(SIGINT, SIG_IGN);
    CommandLine args = ParseCommandLine(argc, argv);
    std::unique_ptr<Engine> engine = CreateEngine(args.hashMegabytes);
    Engine& e = *engine;
    if (args.xboard) {
        e.shell.xboardMode = 1;
        e.shell.consoleMode = 0;
    }
    InitDisplayBoard(e.shell.display);

    std::string logName = LogFileName(argc > 0 ? argv[0] : "mosskite");
    if (!OpenLog(e, logName)) {
        Print("ERROR - Cannot open log file: %s\n", logName.c_str());
        return 1;
    }
    LogPrint(e, "======= MossKite %s Log File =======\n\n", VersionText);
    if (args.test)
        return RunCommandLineTest(e, args.suite, args.results, args.seconds, args.depth);

    LoadStartupSmallBook(e);
    NewGame(e);
    StartSearchThread(e, ShellSearch);
    std::thread(InputThreadMain).detach();
    DetectProtocol(e);

    int idle = 0;
    char token[SlotSize];
    for (;;) {
        if (SearchFinished(e)) {
            OnSearchDone(e);
            idle = 0;
        } else if (!PeekToken()) {
            // While a search is asked for, runs or waits, its result is collected at once;
            // under a GUI the opponent's move is taken at once too.
            if (idle < IdleYields)
                std::this_thread::yield();
            else if (GetSearchState(e) == Idle && e.shell.consoleMode)
                std::this_thread::sleep_for(std::chrono::milliseconds(IdleSleepMs));
            else
                MainLoopPause(e);
            idle++;
        } else {
            idle = 0;
            TakeToken(token);
            if (TokensTaken() == 1 && std::strcmp(token, "uci") == 0)
                EnterUciMode(e);  // "uci" first, but later than the start-up wait
            if (!InterpretCommand(e, token) && !HandleUserMove(e, token))
                Print("Illegal move (no matching move)%s\n", token);
        }
    }
}
