// File dialogs of the suite commands and the hand-over of their position to the game.
#include "tools/toolshell.h"

#include "engine.h"
#include "notation/boardtext.h"
#include "output.h"
#include "shell/displayboard.h"
#include "shell/filedialog.h"
#include "shell/inputring.h"
#include "shell/newgame.h"
#include "tools/suiteline.h"

bool AskSuiteFiles(char* suiteName, FILE*& suite, FILE*& results) {
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

void ReportLongSuiteLine() {
    Print("Suite line longer than %d characters skipped\n", SuiteLineCapacity - 1);
}

void ReportSkippedPosition(const char* why) {
    Print("Suite position skipped: %s\n", why);
}
