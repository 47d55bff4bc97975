// New game: the starting position with fresh game bookkeeping.
#include "shell/newgame.h"

#include "engine.h"
#include "search/rootfilter.h"
#include "search/strength.h"
#include "search/tables.h"
#include "shell/logfile.h"
#include "shell/searchthread.h"

void SetNotationContext(Engine& e) {
    e.shell.notation.board = &e.shell.display;
    e.shell.notation.moves = e.pos.rootPly;
}

void NewGame(Engine& e) {
    StopSearch(e);
    SetUpStartPosition(e, !e.shell.fritzMode);
    e.book.useBook = 1;
    e.shell.forceMode = 0;
    e.shell.plyNumber = 1;
    e.shell.predictedReply = 0;
    e.shell.positionRefused = 0;
    ClearRootFilter(e.search.rootFilter);
    NewGameSeed(e.search.strength, ClockSeed());
    e.shell.time.totalThinkingMs = 0;
    e.shell.time.incrementMs = 0;
    if (e.shell.time.restoreDefaultsAtNewGame) {
        e.shell.time.restoreDefaultsAtNewGame = 0;
        e.search.searchDepth = DefaultSearchDepth;
        e.search.maxTime = DefaultMoveTimeMs;
    }
    CopyToDisplayBoard(e, e.shell.display);
    SetNotationContext(e);
    FlushLog(e);
}
