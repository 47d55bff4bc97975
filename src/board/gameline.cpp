// Game moves on the shared ply stack, with the line moved down when it nears the end.
#include "board/gameline.h"

#include <cstring>

#include "board/makemove.h"
#include "board/movegen.h"
#include "board/poscheck.h"
#include "board/position.h"

// True when the game position leaves less than the search's reserve above it.
static bool NearStackEnd(const Position& p) {
    const PlyRecord* r = p.currentPly;
    if (r - p.plyStack > PlyStackSize - SearchReservePlies)
        return true;
    return (r->moves + r->moveCount) - p.moveArea > MoveAreaSize - SearchReserveEntries;
}

// Moves the records from the last irreversible move (at most RepetitionReach back) to the
// game position down to record 0. The two newest lists follow them (a ponder move leaves
// the game position's list in use); older records keep empty lists, as nothing reads them.
static void CompactGameLine(Position& p) {
    PlyRecord* top = p.currentPly;
    int keep = top->reversibleCount < RepetitionReach ? top->reversibleCount : RepetitionReach;
    if (keep < 1)
        keep = 1;  // a ponder reply on the game position must stay takeable
    if (keep > top - p.plyStack)
        keep = int(top - p.plyStack);
    PlyRecord* first = top - keep;
    PlyRecord* below = top - 1 >= first ? top - 1 : top;
    MoveListEntry* listStart = below->moves;
    MoveListEntry* listEnd = top->moves + top->moveCount;
    std::memmove(p.moveArea, listStart, size_t(listEnd - listStart) * sizeof(MoveListEntry));
    std::memmove(p.plyStack, first, size_t(keep + 1) * sizeof(PlyRecord));
    PlyRecord* newTop = p.plyStack + keep;
    PlyRecord* newBelow = newTop - (top - below);
    for (PlyRecord* r = p.plyStack; r < newBelow; r++) {
        r->moves = p.moveArea;
        r->moveCount = 0;
    }
    newBelow->moves = p.moveArea;
    if (newBelow != newTop)
        newTop->moves = p.moveArea + newBelow->moveCount;
    p.currentPly = p.rootPly = p.lastGamePly = newTop;
    p.gamePly = keep;
    GenerateMoves(p);
    NormalizePromotions(p);
    MOSSKITE_CHECK_POSITION(p);
}

void GameMakeMove(Position& p, Move m) {
    if (MoveFrom(m) == 0)
        return;
    MakeMove(p, m);
    p.lastGamePly = p.rootPly = p.currentPly;
    p.gamePly++;
    p.searchPly = 0;
    p.effectivePly = 0;
    NormalizePromotions(p);
    if (NearStackEnd(p))
        CompactGameLine(p);
}

int GameTakeBack(Position& p, int n) {
    if (n > 0) {
        if (p.currentPly - p.plyStack < n)
            return 0;
        for (int i = 0; i < n; i++) {
            p.rootPly = p.currentPly - 1;  // the game position goes back with each move
            UnmakeMove(p);
            p.gamePly--;
        }
    } else if (n < 0) {
        if (p.lastGamePly - p.currentPly < -n)
            return 0;
        for (int i = 0; i < -n; i++) {
            const PlyRecord* next = p.currentPly + 1;
            MakeMove(p, MakeMoveValue(next->from, next->to, next->promotion));
            p.gamePly++;
        }
    }
    p.searchPly = 0;
    p.effectivePly = 0;
    p.rootPly = p.currentPly;
    GenerateMoves(p);
    NormalizePromotions(p);
    return n;
}
