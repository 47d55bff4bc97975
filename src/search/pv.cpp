// The principal-variation table: a triangle of lines, one per ply.
#include "search/pv.h"

#include <algorithm>
#include <cstdio>

#include "board/geometry.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "notation/movetext.h"
#include "search/draw.h"
#include "search/transtable.h"
#include "textbuilder.h"

void UpdatePv(Engine& e, const MoveListEntry& entry, int ply) {
    if (ply < 0 || ply >= PvSize)
        return;
    MoveListEntry* row = e.search.pv[ply];
    row[ply] = entry;
    if (row[ply].promotion && !IsPromotionMove(e.pos.board, entry.from, entry.to))
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

const char* PvSanText(Engine& e) {
    char* out = e.search.texts.pvSanText;
    const size_t size = sizeof e.search.texts.pvSanText;
    int32_t state = e.search.searchState.load(std::memory_order_acquire);
    if (state != Idle && state != Done) {
        std::snprintf(out, size, "???");
        return out;
    }
    TextBuilder b(out, size);
    const int64_t nodes = e.pos.nodeCount;
    GenerateMoves(e.pos);
    // The PV is copied first: making its moves must not disturb the table it comes from.
    MoveListEntry line[MaxPvTextMoves];
    int length = 0;
    while (length < MaxPvTextMoves && length < PvSize && e.search.pv[0][length].from) {
        line[length] = e.search.pv[0][length];
        length++;
    }
    int made = 0;
    for (int k = 0; k < length; k++) {
        const PlyRecord* r = e.pos.currentPly;
        int index = FindMoveIndex(e.pos.board, r->moves, r->moveCount, EntryMove(line[k]));
        if (index < 0 || !HasRoomForPly(e.pos))
            break;
        Move move = EntryMove(r->moves[index]);
        if (k > 0)
            b.Append(" ");
        b.Append(MoveToSan(e, move));
        MakeMove(e.pos, move);
        made++;
    }
    while (made-- > 0)
        UnmakeMove(e.pos);
    GenerateMoves(e.pos);
    NormalizePromotions(e.pos);
    e.pos.nodeCount = nodes;
    return out;
}

void ExtendLineFromTable(Engine& e, MoveListEntry* line) {
    Position& p = e.pos;
    const int64_t nodes = p.nodeCount;
    const int64_t hashHits = e.search.stats.hashHits;
    int made = 0;
    for (; made < MaxPvTextMoves && made + 1 < PvSize && HasRoomForPly(p); made++) {
        const PlyRecord* r = p.currentPly;
        Move move = EntryMove(line[made]);
        if (line[made].from == 0) {
            // Past the line's end: the table's move, when the position has one and it is legal.
            TTEntry t;
            if (!TTProbe(e, t) || t.from <= NullMoveBestMarker)
                break;
            move = MakeMoveValue(t.from, t.to, t.promotion);
        }
        const int index = FindMoveIndex(p.board, r->moves, r->moveCount, move);
        if (index < 0)
            break;
        line[made] = r->moves[index];
        line[made + 1].from = 0;
        MakeMove(p, EntryMove(r->moves[index]));
        if (IsDraw(e, 1)) {
            made++;
            break;
        }
    }
    line[made].from = 0;
    while (made-- > 0)
        UnmakeMove(p);
    p.nodeCount = nodes;
    e.search.stats.hashHits = hashHits;
}
