// The set of root moves a search may play.
#include "search/rootfilter.h"

#include <algorithm>

#include "board/position.h"

// The move of a list entry as the set keeps it: the promotion byte only on a promotion.
static Move SetMove(const Position& p, const MoveListEntry& m) {
    return IsPromotionMove(p.board, m.from, m.to) ? EntryMove(m) : MakeMoveValue(m.from, m.to);
}

// True when the set holds the move.
static bool Holds(const RootFilter& f, Move m) {
    return std::find(f.moves, f.moves + f.count, m) != f.moves + f.count;
}

// True when the set is one of the current position's.
static bool BelongsHere(const RootFilter& f, const Position& p) {
    return f.active && f.rootKey == p.hashKey;
}

void ClearRootFilter(RootFilter& f) {
    f.active = false;
    f.count = 0;
}

void EmptyRootFilter(RootFilter& f, const Position& p) {
    f.active = true;
    f.rootKey = p.hashKey;
    f.count = 0;
}

bool RootFilterApplies(const RootFilter& f, const Position& p) {
    return BelongsHere(f, p) && f.count < p.currentPly->moveCount;
}

bool RootFilterInclude(RootFilter& f, const Position& p, Move m) {
    const Move legal = LegalMoveOf(p, m);
    if (!legal)
        return false;
    if (!BelongsHere(f, p))
        EmptyRootFilter(f, p);
    if (!Holds(f, legal) && f.count < MaxLegalMoves)
        f.moves[f.count++] = legal;
    return true;
}

bool RootFilterExclude(RootFilter& f, const Position& p, Move m) {
    const Move legal = LegalMoveOf(p, m);
    if (!legal)
        return false;
    if (!BelongsHere(f, p)) {
        EmptyRootFilter(f, p);
        const PlyRecord* r = p.currentPly;
        for (int i = 0; i < r->moveCount && i < MaxLegalMoves; i++)
            f.moves[f.count++] = SetMove(p, r->moves[i]);
    }
    Move* end = std::remove(f.moves, f.moves + f.count, legal);
    f.count = int32_t(end - f.moves);
    return true;
}

int FilterRootMoves(const RootFilter& f, Position& p) {
    PlyRecord* r = p.currentPly;
    if (!BelongsHere(f, p) || f.count == 0)
        return r->moveCount;
    int kept = 0;
    for (int i = 0; i < r->moveCount; i++)
        if (Holds(f, SetMove(p, r->moves[i])))
            r->moves[kept++] = r->moves[i];
    if (kept > 0)
        r->moveCount = kept;
    return r->moveCount;
}
