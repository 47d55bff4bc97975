// The "book", "build" and "loadgame" commands.
#include "shell/bookcommands.h"

#include <cstdio>

#include "book/bookbuild.h"
#include "book/probe.h"
#include "engine.h"
#include "notation/boardtext.h"
#include "notation/pgn.h"
#include "output.h"
#include "search/tables.h"
#include "shell/displayboard.h"
#include "shell/filedialog.h"
#include "shell/inputring.h"
#include "shell/newgame.h"
#include "shell/playgame.h"
#include "shell/searchthread.h"

// Brings the display board and the notation context in step with the Engine's game.
static void ShowEngineGame(Engine& e) {
    e.shell.positionRefused = 0;
    CopyToDisplayBoard(e, e.shell.display);
    SetNotationContext(e);
}

bool CommandBook(Engine& e) {
    // The report makes and takes back moves on the Position, which a running search owns.
    SearchState state = GetSearchState(e);
    if (state != Idle && state != Done) {
        Print("Book moves cannot be shown while the engine is searching.\n");
        return true;
    }
    Write(BookText(e));
    return true;
}

bool CommandBuild(Engine& e) {
    StopSearchForCommand(e);
    FILE* f = AskAndOpenFile("Enter PGN file name:\n", "r");
    if (!f)
        return false;
    BuildBigBook(e, f);
    std::fclose(f);
    ClearPvRows(e);  // the games replayed leave the start position, with no search behind it
    e.shell.plyNumber = 1;
    ShowEngineGame(e);
    return true;
}

bool CommandLoadGame(Engine& e) {
    StopSearchForCommand(e);
    FILE* f = AskAndOpenFile("Enter a file name to load a game from:\n", "r");
    if (!f)
        return false;
    PgnGame game;
    ReadPgnGame(e, f, &game);
    std::fclose(f);
    ClearPvRows(e);  // a new game position: the last search's lines no longer apply
    // Also after an unreadable move the moves before it stay played and count.
    e.shell.plyNumber = game.playedPlies + 1;
    ShowEngineGame(e);
    if (e.shell.consoleMode)
        Write(DrawBoard(e.pos.board, e.pos.whiteToMove, e.shell.invertBoard));
    Print("%d moves read in.\n", (game.playedPlies + 1) / 2);
    return true;
}
