// The principal-variation table: a triangle of lines, one per ply.
#include "search/pv.h"

#include "board/geometry.h"

// True when the move is a pawn reaching the last rank, the only moves that promote.
static bool IsPromotion(const Position& p, const MoveListEntry& m) {
    int mover = p.board[m.from];
    return (mover == Pawn && rankOf[m.from] == 7 && rankOf[m.to] == 8)
        || (mover == -Pawn && rankOf[m.from] == 2 && rankOf[m.to] == 1);
}

void UpdatePv(Engine& e, const MoveListEntry& entry, int ply) {
    if (ply < 0 || ply >= PvSize)
        return;
    MoveListEntry* row = e.search.pv[ply];
    row[ply] = entry;
    if (row[ply].promotion && !IsPromotion(e.pos, entry))
        row[ply].promotion = 0;
    if (ply + 1 >= PvSize)
        return;
    const MoveListEntry* child = e.search.pv[ply + 1];
    for (int column = ply + 1; column < PvSize; column++) {
        row[column] = child[column];
        if (child[column].from == 0)
            break;
    }
}
