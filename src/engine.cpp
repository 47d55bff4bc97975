// Construction of the one Engine.
#include "engine.h"

#include <cstring>
#include <ctime>

#include "board/geometry.h"
#include "board/setup.h"
#include "book/bigbook.h"
#include "book/random.h"
#include "search/tables.h"
#include "search/transtable.h"
#include "shell/hashsize.h"

// Makes an Engine with its ply stack and move area, holding the empty board.
static std::unique_ptr<Engine> MakeEngine() {
    InitGeometry();
    auto e = std::make_unique<Engine>();
    e->plyStorage = std::make_unique<PlyRecord[]>(PlyStackSize);
    e->moveStorage = std::make_unique<MoveListEntry[]>(MoveAreaSize);
    Position& p = e->pos;
    std::memset(&p, 0, sizeof p);
    p.plyStack = e->plyStorage.get();
    p.moveArea = e->moveStorage.get();
    for (int sq = 0; sq < 120; sq++)
        p.board[sq] = IsBorder(sq) ? Border : Empty;
    p.white.queenCode = Queen;
    p.white.rookCode = Rook;
    p.black.queenCode = -Queen;
    p.black.rookCode = -Rook;
    p.whiteToMove = 1;
    ResetPlyStack(e->pos);
    return e;
}

std::unique_ptr<Engine> CreateEngine(int hashMegabytes) {
    auto e = MakeEngine();
    ResizeHash(*e, hashMegabytes);
    ClearTables(*e);
    CreateBigBook(*e);
    AdvanceRandomByTime(*e, int64_t(std::time(nullptr)));
    return e;
}

std::unique_ptr<Engine> CreateHelperEngine() {
    auto e = MakeEngine();
    ClearTables(*e);
    return e;
}
