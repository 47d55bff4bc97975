// The console commands of the test and benchmark tools: their file dialogs, and the hand-over
// of the position they leave to the game.
#include "shell/toolcommands.h"

#include <algorithm>
#include <cstdio>

#include "engine.h"
#include "notation/boardtext.h"
#include "output.h"
#include "search/searchclock.h"
#include "search/searchdata.h"
#include "search/tables.h"
#include "shell/displayboard.h"
#include "shell/filedialog.h"
#include "shell/inputring.h"
#include "shell/newgame.h"
#include "tools/bench.h"
#include "tools/loadnth.h"
#include "tools/perft.h"
#include "tools/suitenodes.h"
#include "tools/testsuite.h"

// Asks for a suite file and a result file and opens them, the suite for reading and the
// results for appending; suiteName (at least SlotSize bytes) receives the suite's name.
// Returns false, with nothing left open, after reporting a file that does not open.
static bool AskSuiteFiles(char* suiteName, FILE*& suite, FILE*& results) {
    Print("Enter the test suite file name:\n");
    TakeToken(suiteName);
    suite = OpenOrReport(suiteName, "r");
    if (!suite)
        return false;
    Print("Enter the results file name:\n");
    char resultsName[SlotSize];
    TakeToken(resultsName);
    results = OpenOrReport(resultsName, "a");
    if (!results) {
        std::fclose(suite);
        suite = nullptr;
        return false;
    }
    return true;
}

void AdoptEnginePosition(Engine& e) {
    e.shell.positionRefused = 0;
    e.shell.plyNumber = 1;
    CopyToDisplayBoard(e, e.shell.display);
    SetNotationContext(e);
    if (e.shell.consoleMode)
        Write(DrawBoard(e.pos.board, e.pos.whiteToMove, e.shell.invertBoard));
}


bool BenchCommand(Engine& e) {
    RunBenchmark(e, e.shell.seams.search);
    AdoptEnginePosition(e);
    return true;
}

bool TestgenCommand(Engine& e) {
    Print("Enter depth to count nodes at: ");
    RunTestgen(e, TakeInt());
    return true;
}

bool LoadNthCommand(Engine& e) {
    FILE* file = AskAndOpenFile("Enter a file name to load a position from:\n", "r");
    if (!file)
        return false;
    Print("Enter the position number:\n");
    int n = TakeInt();
    int loaded = LoadNthPosition(file, n, e);
    std::fclose(file);
    if (!loaded)
        return false;
    AdoptEnginePosition(e);
    return true;
}

// A run over a suite: the suite's name and its open suite and result files.
using SuiteRunner = void (*)(Engine& e, const char* suiteName, FILE* suite, FILE* results);

// Asks for the suite and result files, runs runner over them, closes them and makes the
// last position the game.
static bool RunOverSuiteFiles(Engine& e, SuiteRunner runner) {
    char suiteName[SlotSize];
    FILE* suite = nullptr;
    FILE* results = nullptr;
    if (!AskSuiteFiles(suiteName, suite, results))
        return false;
    runner(e, suiteName, suite, results);
    std::fclose(suite);
    std::fclose(results);
    AdoptEnginePosition(e);
    return true;
}

bool TestgenSuiteCommand(Engine& e) {
    return RunOverSuiteFiles(e, [](Engine& engine, const char*, FILE* suite, FILE* results) {
        CountSuiteNodes(suite, results, engine);
    });
}

bool TestCommand(Engine& e) {
    return RunOverSuiteFiles(e, [](Engine& engine, const char* name, FILE* suite, FILE* results) {
        RunTestSuite(name, suite, results, engine.shell.logFile, engine, engine.shell.seams.search);
    });
}

int RunCommandLineTest(Engine& e, const char* suiteName, const char* resultsName,
                       int seconds, int depth) {
    FILE* suite = std::fopen(suiteName, "r");
    FILE* results = suite ? std::fopen(resultsName, "a") : nullptr;
    if (!results) {
        Print("--- ERROR: Cannot open file ---\n");
        if (suite)
            std::fclose(suite);
        return 1;
    }
    e.search.maxTime = int64_t(std::max(seconds, 0)) * MillisecondsPerSecond;
    e.search.searchDepth = std::clamp(depth, 1, MaxDepthSetting);
    SetUpStartPosition(e, 1);  // a suite that searches before setting a position gets this one
    RunTestSuite(suiteName, suite, results, e.shell.logFile, e, e.shell.seams.search);
    std::fclose(suite);
    std::fclose(results);
    return 0;
}
