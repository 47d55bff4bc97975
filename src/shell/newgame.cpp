// New game: the starting position with fresh game bookkeeping.
#include "shell/newgame.h"

#include "board/setup.h"
#include "engine.h"
#include "shell/logfile.h"

void SetNotationContext(Engine& e) {
    e.shell.notation.board = &e.shell.display;
    e.shell.notation.moves = e.pos.rootPly;
}

void NewGame(Engine& e) {
    SetInitialPosition(e, !e.shell.fritzMode);
    e.book.useBook = 1;
    e.shell.forceMode = 0;
    e.shell.plyNumber = 1;
    CopyToDisplayBoard(e, e.shell.display);
    SetNotationContext(e);
    FlushLog(e);
}
