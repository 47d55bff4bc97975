// Evaluate: one White-relative score built as a fixed sequence of additive terms, the
// endgame or middlegame branch by White's material, then returned for the side to move.
#include "eval/evaluate.h"

#include "engine.h"
#include "eval/endgame.h"
#include "eval/knights.h"
#include "eval/material.h"
#include "eval/middlegame.h"
#include "eval/pawnhash.h"
#include "eval/pins.h"
#include "eval/placement.h"
#include "eval/rooks.h"

constexpr int SideToMoveBonus = 71;
constexpr int PinSafetyWeight = 64;  // king-safety points per pinned piece

// The score from White's view.
static int WhiteScore(Engine& e) {
    Position& p = e.pos;
    EvalData& ev = e.eval;
    EvalTrace* trace = ev.trace;

    // 1. Material, 2. trading down when ahead, 3. more pieces.
    int s = p.materialBalance;
    MarkTerm(trace, TermMaterial, s);
    s = TradeDown(p, s);
    MarkTerm(trace, TermTradeDown, s);
    s += PieceCountEdge(p);
    MarkTerm(trace, TermPieceCount, s);

    // 4. King safety starts from the pins.
    ev.whiteKingSafety = -PinSafetyWeight * p.white.pinCount;
    ev.whiteKingDanger = p.white.pinCount;
    ev.blackKingSafety = PinSafetyWeight * p.black.pinCount;
    ev.blackKingDanger = p.black.pinCount;
    ev.whitePasserBonus = 0;
    ev.blackPasserBonus = 0;

    // 5, 6. King placement by the material left.
    s += WhiteKingPlacement(p);
    MarkTerm(trace, TermWhiteKingPlacement, s);
    s += BlackKingPlacement(p);
    MarkTerm(trace, TermBlackKingPlacement, s);

    // 7. Side to move.
    s += p.whiteToMove ? SideToMoveBonus : -SideToMoveBonus;
    MarkTerm(trace, TermSideToMove, s);

    // 8. Pins.
    if (p.white.pinCount) {
        s += EvaluatePins(e, WhiteSide);
        MarkTerm(trace, TermWhitePins, s);
    }
    if (p.black.pinCount) {
        s -= EvaluatePins(e, BlackSide);
        MarkTerm(trace, TermBlackPins, s);
    }

    // 9. Pawn structure from the pawn hash.
    const PawnHashEntry& entry = ProbePawnHash(e);
    s += entry.structureScore;
    MarkTerm(trace, TermPawnStructure, s);
    s += entry.controlScore;
    MarkTerm(trace, TermPawnControl, s);

    // 10. Piece placement before the branch (scaled with the rest in the endgame).
    s += BishopPair(p, entry);
    MarkTerm(trace, TermBishopPair, s);
    s += ConnectedRooks(p);
    MarkTerm(trace, TermConnectedRooks, s);
    s += RooksOnFiles(e, entry);
    MarkTerm(trace, TermRooksOnFiles, s);
    s += RooksOnSeventh(p);
    MarkTerm(trace, TermRooksOnSeventh, s);
    s += TrappedMinors(p);
    MarkTerm(trace, TermTrappedMinors, s);

    // 11. Slider mobility and knight squares, kept up to date by the board code.
    s += p.mobilityBalance;
    MarkTerm(trace, TermMobility, s);
    s += p.knightPlacement;
    MarkTerm(trace, TermKnightPlacement, s);

    // 12-14. Endgame or middlegame by White's material alone.
    if (p.white.material < EndgameMaterial) {
        if (EvaluateEndgame(e, s, entry))
            return s;
    } else {
        EvaluateMiddlegame(e, s, entry);
    }

    // 15. Piece placement after the branches, never scaled.
    s += BlockedCentrePawns(p);
    MarkTerm(trace, TermBlockedCentrePawns, s);
    s += WhiteKnights(p);
    MarkTerm(trace, TermWhiteKnights, s);
    s += BlackKnights(p);
    MarkTerm(trace, TermBlackKnights, s);
    s += KnightsAndSpread(p, entry);
    MarkTerm(trace, TermKnightsAndSpread, s);
    return s;
}

int Evaluate(Engine& e) {
    // 16. From the side to move's view.
    int s = WhiteScore(e);
    return e.pos.whiteToMove ? s : -s;
}
