// Start-up: command line, Engine, log file, protocol detection and the main loop.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <unistd.h>

#include "book/smallbook.h"
#include "engine.h"
#include "notation/boardtext.h"
#include "output.h"
#include "shell/commandline.h"
#include "shell/commands.h"
#include "shell/displayboard.h"
#include "shell/inputring.h"
#include "shell/interrupt.h"
#include "shell/logfile.h"
#include "shell/mainwake.h"
#include "shell/newgame.h"
#include "shell/playgame.h"
#include "shell/searchthread.h"
#include "shell/thinking.h"
#include "shell/toolcommands.h"
#include "shell/uci.h"
#include "tools/bench.h"
#include "version.h"
#include "shell/xboard.h"

static constexpr int IdleYields = 10;     // zero-length sleeps before the main loop sleeps
static constexpr int IdleSleepMs = 200;  // sleep while nothing is asked of the engine
static constexpr int FirstTokenWaitMs = 100;  // at a terminal the console starts after this
static constexpr int BadArgumentsStatus = 2;

// Waits for the next token from a pipe, for as long as it takes: the interface that
// started the engine decides the protocol with its first words, however late it sends them.
static void WaitForTokenFromPipe() {
    while (!isatty(STDIN_FILENO) && !PeekToken())
        ShortPause();
}

// Waits for the first token; at a terminal for a moment only, so that a person gets the
// console at once.
static void WaitForFirstToken() {
    if (isatty(STDIN_FILENO))
        AwaitFirstToken(FirstTokenWaitMs);
    else
        WaitForTokenFromPipe();
}

// Looks at the first token to choose the protocol; prints the console banner otherwise.
// What start-up printed is let out here, in the protocol's form.
static void DetectProtocol(Engine& e) {
    WaitForFirstToken();
    char token[SlotSize];
    const char* next = PeekToken();
    if (next && std::strcmp(next, "fritz") == 0) {
        TakeToken(token);
        e.shell.fritzMode = 1;
        LogPrint(e, "**** Running in Fritz Mode ****\n");
        WaitForTokenFromPipe();
        next = PeekToken();
    } else if (next && std::strcmp(next, "uci") == 0) {
        TakeToken(token);
        EnterUciMode(e);
    }
    if (next && std::strcmp(next, "xboard") == 0) {
        TakeToken(token);
        e.shell.xboardMode = 1;
        e.shell.consoleMode = 0;
    }
    if (e.shell.xboardMode) {
        // xboard ignores lines that start with "#".
        ReleaseOutput(NoticeForm::Comment);
        return;
    }
    ReleaseOutput(NoticeForm::Plain);
    e.shell.interruptQuits.store(1, std::memory_order_release);
    Print("\n----------------------------------\nmossKite version %s\n"
          "----------------------------------\n\ntype help for ... help!\n%s"
          "Enter a move or command:\n",
          VersionText, DrawBoard(e.pos.board, e.pos.whiteToMove, e.shell.invertBoard));
}

int main(int argc, char** argv) {
    // Before any thread starts, so that every thread inherits the blocked signal.
    BlockInterrupt();
    CommandLine args = ParseCommandLine(argc, argv);
    if (args.help) {
        std::fputs(UsageText(), stdout);
        return 0;
    }
    if (args.error) {
        std::fprintf(stderr, "mosskite: %s\nTry \"mosskite --help\" for the options.\n",
                     args.error);
        return BadArgumentsStatus;
    }
    HoldOutput();
    std::unique_ptr<Engine> engine = CreateEngine(args.hashMegabytes);
    Engine& e = *engine;
    e.search.report = ThinkingReport;  // UCI installs its own once it is known
    e.search.searchKind = args.searchKind;
    StartInterruptWatch(e);
    if (args.xboard) {
        e.shell.xboardMode = 1;
        e.shell.consoleMode = 0;
    }
    InitDisplayBoard(e.shell.display);

    // The log is a help, not a need: without one the engine plays all the same.
    std::string logName = LogFileName(argc > 0 ? argv[0] : "mosskite");
    std::string tried;
    if (!OpenStartupLog(e, logName, tried))
        std::fprintf(stderr, "--- No log file: cannot open %s ---\n", tried.c_str());
    LogPrint(e, "======= MossKite %s Log File =======\n\n", VersionText);
    if (args.test) {
        ReleaseOutput(NoticeForm::Plain);
        e.shell.interruptQuits.store(1, std::memory_order_release);
        return RunCommandLineTest(e, args.suite, args.results, args.seconds, args.depth);
    }
    if (args.bench) {
        // The fingerprint testing tools read: the benchmark's report, its node count, status 0.
        ReleaseOutput(NoticeForm::Plain);
        RunBenchmark(e, e.shell.seams.search);
        return 0;
    }

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
            AnswerPendingPings(e);
            idle = 0;
        } else if (!PeekToken()) {
            // While a search is asked for, runs or waits, its result is collected at once;
            // under a GUI the opponent's move is taken at once too.
            if (idle < IdleYields)
                std::this_thread::yield();
            else if (GetSearchState(e) == Idle && e.shell.consoleMode)
                MainThreadPause(IdleSleepMs);
            else
                MainLoopPause(e);
            idle++;
        } else {
            idle = 0;
            TakeToken(token);
            if (TokensTaken() == 1 && std::strcmp(token, "uci") == 0)
                EnterUciMode(e);  // "uci" first, but later than the start-up wait
            if (!InterpretCommand(e, token) && !HandleUserMove(e, token))
                RejectToken(e, token);
            AnswerPendingPings(e);
        }
    }
}
