// Dispatch of command words, tested in table order.
#include "shell/commands.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "board/gameline.h"
#include "board/setup.h"
#include "engine.h"
#include "eval/evalreport.h"
#include "shell/displayboard.h"
#include "shell/inputring.h"
#include "shell/logfile.h"
#include "shell/newgame.h"
#include "shell/output.h"
#include "shell/searchthread.h"
#include "tools/bench.h"
#include "tools/loadnth.h"
#include "tools/perft.h"
#include "tools/suitenodes.h"
#include "tools/testsuite.h"

// Prints the console prompt after a command when the console is in use.
static void Prompt(const Engine& e) {
    if (e.shell.consoleMode)
        Print("Enter a move or command:\n");
}

// Stops any search before a command changes the position; a ponder search also takes
// back the predicted reply it was thinking on.
static void StopSearchForCommand(Engine& e) {
    bool pondering = GetSearchState(e) == Pondering;
    StopSearch(e);
    if (pondering)
        GameTakeBack(e, 1);
}

// File names are single tokens; the buffer also holds an appended ".fen".
constexpr int FileNameSize = 100;
// Longest EPD line read from a position file, without its end of line.
constexpr int EpdLineLength = 199;

// "load": sets the position from the first line of a file, trying NAME then NAME.fen.
static void LoadPositionCommand(Engine& e) {
    StopSearchForCommand(e);
    Print("Enter a file name to load a position from:\n");
    char token[SlotSize];
    TakeToken(token);
    char name[FileNameSize];
    std::snprintf(name, sizeof name, "%s", token);
    FILE* file = std::fopen(name, "r");
    if (!file) {
        std::snprintf(name, sizeof name, "%s.fen", token);
        file = std::fopen(name, "r");
    }
    if (!file) {
        Print("--- ERROR: Cannot open file ---\n");
        return;
    }
    char line[EpdLineLength + 1] = "";
    if (!std::fgets(line, sizeof line, file))
        line[0] = '\0';
    std::fclose(file);
    if (!SetPositionFromEpd(e, line))
        return;  // the refusal was reported; the game goes on unchanged
    e.shell.plyNumber = 1;
    CopyToDisplayBoard(e, e.shell.display);
    SetNotationContext(e);
    if (e.shell.consoleMode)
        Write(DrawBoard(e.pos.board, e.pos.whiteToMove, e.shell.invertBoard));
}

// Runs a suite or benchmark command after stopping the search; the command says whether the
// prompt follows.
static int RunToolCommand(Engine& e, bool (*command)(Engine&)) {
    StopSearchForCommand(e);
    if (command(e))
        Prompt(e);
    return 1;
}

int InterpretCommand(Engine& e, const char* token) {
    if (std::strcmp(token, "quit") == 0) {
        FlushLog(e);
        std::fflush(stdout);
        std::_Exit(0);
    }
    if (std::strcmp(token, "xboard") == 0) {
        e.shell.xboardMode = 1;
        e.shell.consoleMode = 0;
        return 1;
    }
    if (std::strcmp(token, "load") == 0) {
        LoadPositionCommand(e);
        Prompt(e);
        return 1;
    }
    if (std::strcmp(token, "loadnth") == 0)
        return RunToolCommand(e, LoadNthCommand);
    if (std::strcmp(token, "test") == 0)
        return RunToolCommand(e, TestCommand);
    if (std::strcmp(token, "testgensuite") == 0)
        return RunToolCommand(e, TestgenSuiteCommand);
    if (std::strcmp(token, "testgen") == 0) {
        StopSearchForCommand(e);
        RunTestgen(e);
        Prompt(e);
        return 1;
    }
    if (std::strcmp(token, "bench") == 0)
        return RunToolCommand(e, BenchCommand);
    if (std::strcmp(token, "eval") == 0) {
        PrintEvaluation(e);
        Prompt(e);
        return 1;
    }
    return 0;
}
