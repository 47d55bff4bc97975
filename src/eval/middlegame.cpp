// Middlegame branch: both kings' safety, opening patterns, passers once the opponent's
// pieces thin out, and queens brought out before the minor pieces.
#include "eval/middlegame.h"

#include "board/geometry.h"
#include "engine.h"
#include "eval/kingsafety.h"
#include "eval/passers.h"
#include "eval/placement.h"

constexpr int FewPieces = 5;         // pieceCount at or below which passers count here
constexpr int ManyPieces = 7;        // pieceCount from which an early queen is punished
constexpr int QueenSortieWeight = 2;

// Penalty for a White queen out early: centre weight x 2 x Black's pieces beyond five,
// half again while White's king still stands on e1.
static int WhiteQueenSortie(const Position& p) {
    int queen = p.white.queenSquares[0];
    int penalty = centreTable[queen] * QueenSortieWeight * (p.black.pieceCount - FewPieces);
    if (p.white.kingSquare == SqE1)
        penalty += penalty / 2;
    return penalty;
}

// Penalty for a Black queen out early, the mirror of WhiteQueenSortie.
static int BlackQueenSortie(const Position& p) {
    int queen = p.black.queenSquares[0];
    int penalty = centreTable[queen] * QueenSortieWeight * (p.white.pieceCount - FewPieces);
    if (p.black.kingSquare == SqE8)
        penalty += penalty / 2;
    return penalty;
}

void EvaluateMiddlegame(Engine& e, int& s, const PawnHashEntry& entry) {
    const Position& p = e.pos;
    EvalTrace* trace = e.eval.trace;

    // 1. King safety of both sides.
    EvaluateKingSafety(e, WhiteSide, entry);
    EvaluateKingSafety(e, BlackSide, entry);
    s += e.eval.whiteKingSafety;
    MarkTerm(trace, TermWhiteKingSafety, s);
    s += e.eval.blackKingSafety;
    MarkTerm(trace, TermBlackKingSafety, s);

    // 2. Opening patterns.
    s += OpeningPatterns(p);
    MarkTerm(trace, TermOpeningPatterns, s);

    // 3. White passers against few pieces, else an early White queen.
    if (p.black.pieceCount <= FewPieces) {
        if (entry.pawnFlags & WhitePasserFlag) {
            EvaluatePassers(e, WhiteSide);
            s += e.eval.whitePasserBonus * 3 / 4;
            MarkTerm(trace, TermWhitePassers, s);
        }
    } else if (p.black.pieceCount >= ManyPieces && p.white.queenCount
               && rankOf[p.white.queenSquares[0]] > 2) {
        s -= WhiteQueenSortie(p);
        MarkTerm(trace, TermEarlyQueen, s);
    }

    // 4. Black passers against few pieces, else an early Black queen.
    if (p.white.pieceCount <= FewPieces) {
        if (entry.pawnFlags & BlackPasserFlag) {
            EvaluatePassers(e, BlackSide);
            s -= e.eval.blackPasserBonus * 3 / 4;
            MarkTerm(trace, TermBlackPassers, s);
        }
    } else if (p.white.pieceCount >= ManyPieces && p.black.queenCount
               && rankOf[p.black.queenSquares[0]] < 7) {
        s += BlackQueenSortie(p);
        MarkTerm(trace, TermEarlyQueen, s);
    }
}
