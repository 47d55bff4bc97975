// Commands that drive the game.
#include "shell/gamecommands.h"

#include "board/gameline.h"
#include "board/movegen.h"
#include "book/probe.h"
#include "engine.h"
#include "notation/boardtext.h"
#include "output.h"
#include "search/rootfilter.h"
#include "shell/displayboard.h"
#include "shell/logfile.h"
#include "shell/newgame.h"
#include "shell/playgame.h"
#include "shell/searchthread.h"


// Prints the Engine's text board when the console is in use.
static void ShowBoard(const Engine& e) {
    if (e.shell.consoleMode)
        Write(DrawBoard(e.pos.board, e.pos.whiteToMove, e.shell.invertBoard));
}

bool CommandNew(Engine& e) {
    bool analyzing = GetSearchState(e) == Analyzing;
    StopSearchForCommand(e);
    NewGame(e);
    ShowBoard(e);
    LogPrint(e, "\n\nNew Game\n");
    if (analyzing)
        RequestSearchAfterCommand(e, Analyzing);
    return true;
}

bool CommandGo(Engine& e) {
    SearchState s = GetSearchState(e);
    if (s == Pondering) {
        StopSearchForCommand(e);
    } else if (s != Idle) {
        return false;
    }
    if (e.shell.consoleMode)
        Print("Thinking...\n");
    e.shell.forceMode = 0;
    RequestSearch(e, Thinking);
    return false;
}

bool CommandForce(Engine& e) {
    StopSearchForCommand(e);
    e.shell.forceMode = 1;
    return true;
}

bool CommandMoveNow(Engine& e) {
    if (GetSearchState(e) != Thinking)
        return false;
    SetSearchState(e, StopRequested);
    WaitWhileState(e, StopRequested);
    // The search thread had not started the search: the main loop then finds a move itself.
    if (GetSearchState(e) == Idle)
        SetSearchState(e, Done);
    return false;
}

bool CommandHard(Engine& e) {
    e.shell.ponderEnabled = 1;
    return true;
}

bool CommandEasy(Engine& e) {
    e.shell.ponderEnabled = 0;
    // Only a ponder search ends here; the engine's own thinking goes on.
    if (GetSearchState(e) == Pondering)
        StopSearchForCommand(e);
    return true;
}

// True when the record above the game position holds a legal move of it.
static bool NextRecordIsLegal(const Engine& e) {
    const PlyRecord* r = e.pos.currentPly;
    return LegalMoveOf(e.pos, MakeMoveValue(r[1].from, r[1].to, r[1].promotion)) != 0;
}

// Replays plies taken-back plies one at a time, each only when it is legal; all or none.
// Returns the plies replayed.
static int ReplayGame(Engine& e, int plies) {
    if (e.pos.lastGamePly - e.pos.currentPly < plies)
        return 0;
    int done = 0;
    while (done < plies && NextRecordIsLegal(e)) {
        GameTakeBack(e.pos, -1);
        done++;
    }
    if (done == plies)
        return plies;
    GameTakeBack(e.pos, done);
    return 0;
}

// Takes back (plies > 0) or replays (plies < 0) moves of the game and shows the result.
static void StepThroughGame(Engine& e, int plies) {
    bool analyzing = plies > 0 && GetSearchState(e) == Analyzing;
    StopSearchForCommand(e);
    if (plies > 0)
        e.shell.plyNumber -= GameTakeBack(e.pos, plies);
    else
        e.shell.plyNumber += ReplayGame(e, -plies);
    ClearRootFilter(e.search.rootFilter);
    CopyToDisplayBoard(e, e.shell.display);
    SetNotationContext(e);
    if (plies > 0 && e.shell.plyNumber <= BookPlies)
        e.book.useBook = 1;
    if (plies < 0 && e.shell.plyNumber > BookPlies)
        e.book.useBook = 0;
    ShowBoard(e);
    if (analyzing)
        RequestSearchAfterCommand(e, Analyzing);
}

bool CommandRemove(Engine& e) {
    StepThroughGame(e, 2);
    return true;
}

bool CommandUndo(Engine& e) {
    StepThroughGame(e, 1);
    return true;
}

bool CommandForward(Engine& e) {
    StepThroughGame(e, -2);
    return true;
}
