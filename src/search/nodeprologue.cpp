// Mate, draw, pawn-ending, ply-limit and table exits shared by the node and quiescence searches.
#include "search/nodeprologue.h"

#include "board/geometry.h"
#include "board/movegen.h"
#include "engine.h"
#include "eval/evaluate.h"
#include "eval/pawnhash.h"
#include "search/draw.h"
#include "search/pawnending.h"
#include "search/pv.h"
#include "search/transtable.h"
#include "search/score.h"
#include "search/treedump.h"

static constexpr int RecognizerMinPly = 3;  // the recognizer answers only beyond this ply

int SearchEvaluate(Engine& e) {
    e.search.stats.evaluations++;
    return Evaluate(e);
}

// Empties the node's PV row when its score ends up strictly inside the window.
static inline void EmptyRowIfInside(Engine& e, int alpha, int beta, int score) {
    if (alpha < score && score < beta)
        EmptyPvRow(e, e.pos.searchPly);
}

bool ResolveNode(Engine& e, int alpha, int beta, int& score) {
    Position& p = e.pos;
    SearchData& s = e.search;
    if (p.searchPly > s.stats.deepestPly)
        s.stats.deepestPly = p.searchPly;
    // Checkmate, at the distance in moves made from the root.
    if (p.currentPly->moveCount == 0 && p.currentPly->checkCount) {
        TreeDumpText(e, "MATE!");
        score = p.searchPly - s.nullMoveExtraPlies - MateScore;
        EmptyRowIfInside(e, alpha, beta, score);
        return true;
    }
    // Stalemate, dead material, fifty moves, the first repetition.
    if (IsDraw(e, 1)) {
        TreeDumpText(e, "=draw=");
        score = DrawScore;
        EmptyRowIfInside(e, alpha, beta, score);
        return true;
    }
    // Mate distance: no line from here mates sooner than the next ply, nor, the node not being
    // mate, is mated sooner than the ply after. A window that a shorter mate elsewhere has
    // put beyond those scores settles the node at once; ordinary windows never do.
    const int plies = p.searchPly - s.nullMoveExtraPlies;
    if (alpha >= MateScore - plies - 1) {
        score = MateScore - plies - 1;
        return true;
    }
    if (beta <= plies + 2 - MateScore) {
        score = plies + 2 - MateScore;
        return true;
    }
    // King and pawn endings with a known result.
    if (p.white.pieceCount == 1 && p.black.pieceCount == 1 && p.searchPly > RecognizerMinPly
        && RecognizePawnEnding(e, score)) {
        TreeDumpText(e, "T%ld", long(score));
        EmptyRowIfInside(e, alpha, beta, score);
        return true;
    }
    // The ply limit or a full ply stack: a leaf.
    if (p.searchPly >= MaxSearchPly || !HasRoomForPly(e.pos)) {
        EmptyPvRow(e, p.searchPly);
        score = SearchEvaluate(e);
        return true;
    }
    return false;
}

void PrefetchChild(const Engine& e, const MoveListEntry& m) {
    const Position& p = e.pos;
    int mover = p.board[m.from];
    int captured = p.board[m.to];
    int arriving = mover;
    if ((mover == Pawn && rankOf[m.to] == 8) || (mover == -Pawn && rankOf[m.to] == 1))
        arriving = m.promotion;
    uint64_t key = p.hashKey ^ sideToMoveKey ^ Zobrist(m.from, mover) ^ Zobrist(m.to, arriving);
    if (captured != Empty)
        key ^= Zobrist(m.to, captured);
    TTPrefetch(e.search, key);

    // A move that leaves the pawns alone keeps the pawn key, whose slot this node has just
    // read; a pawn move or a pawn capture sends the child to another slot, likely uncached.
    bool pawnMoves = mover == Pawn || mover == -Pawn;
    bool pawnTaken = captured == Pawn || captured == -Pawn;
    if (!pawnMoves && !pawnTaken)
        return;
    uint64_t pawnKey = p.pawnKey;
    if (pawnMoves)
        pawnKey ^= Zobrist(m.from, mover) ^ (arriving == mover ? Zobrist(m.to, mover) : 0);
    if (pawnTaken)
        pawnKey ^= Zobrist(m.to, captured);
    PrefetchPawnHash(e.eval, pawnKey);
}

bool TableSettles(Engine& e, const TTEntry& t, int& alpha, int beta, int& best, int& score) {
    const int ply = e.pos.searchPly;
    if (t.type == ExactScore) {
        if (alpha < t.score && t.score < beta)
            EmptyPvRow(e, ply);
        score = t.score;
        return true;
    }
    if (t.type == LowerBound) {
        if (t.score >= beta) {
            score = t.score;
            return true;
        }
        if (t.score > alpha) {
            EmptyPvRow(e, ply);
            alpha = best = t.score;
        }
        return false;
    }
    if (t.score < alpha) {
        score = t.score;
        return true;
    }
    return false;
}
