// Endgame branch: structure and wing passers count more, drawn material, kings near the
// pawns, passers, and the adjusters and divisors of typical material configurations.
#include "eval/endgame.h"

#include "board/geometry.h"
#include "engine.h"
#include "eval/minorending.h"
#include "eval/passers.h"
#include "eval/pawnending.h"
#include "eval/rookending.h"

constexpr int WingPasserUnit = 10;
constexpr int TwoKnightsValue = 6000;
constexpr int ExtraPieceWithPawns = 200;
constexpr int KingDistanceWeight = 100;       // per file of difference between the kings
constexpr int RookAndBishopDivisor = 5;       // rook and bishop against rook, no pawns
constexpr int RookAndKnightDivisor = 7;
constexpr int TwoMinorsAgainstRookDivisor = 32;
constexpr int QueenAndMinorDivisor = 5;       // queen and minor against queen, no pawns

// Files between a king and the span of pawn files (0 inside the span).
static int FilesOutside(int king, int left, int right) {
    int file = fileOf[king];
    if (file > right)
        return file - right;
    if (file < left)
        return left - file;
    return 0;
}

// True for a dark square (rank + file even; a1 is dark).
static bool IsDark(int sq) {
    return (rankOf[sq] + fileOf[sq]) % 2 == 0;
}

// Divisors for a rook, or rook and minor, or two minors against a lone rook, no pawns.
static int ScaleAgainstRook(const Position& p, int s) {
    const SideState& white = p.white;
    const SideState& black = p.black;
    if (white.material == RookValue + MinorValue && white.pawnCount == 0 && s > 0) {
        if (white.bishopCount)
            return s / RookAndBishopDivisor;
        return white.knightCount ? s / RookAndKnightDivisor : s;
    }
    if (black.material == RookValue + MinorValue && black.pawnCount == 0 && s < 0) {
        if (black.bishopCount)
            return s / RookAndBishopDivisor;
        return black.knightCount ? s / RookAndKnightDivisor : s;
    }
    if (white.material == 2 * MinorValue && white.pawnCount == 0 && s > 0)
        return s / TwoMinorsAgainstRookDivisor;
    if (black.material == 2 * MinorValue && black.pawnCount == 0 && s < 0)
        return s / TwoMinorsAgainstRookDivisor;
    return s;
}

bool EvaluateEndgame(Engine& e, int& s, const PawnHashEntry& entry) {
    const Position& p = e.pos;
    const SideState& white = p.white;
    const SideState& black = p.black;
    EvalTrace* trace = e.eval.trace;

    // 1. Pawn structure counts one and a half times; passers on the wings count.
    s += entry.structureScore / 2;
    MarkTerm(trace, TermEndgamePawnStructure, s);
    int wing = WingPasserUnit * entry.wingPasserUnits;
    s += wing;
    MarkTerm(trace, TermWingPassers, s);

    // 2. Two knights cannot force mate. 3. A piece up with pawns; kings away from the pawns.
    int kingDistance = 0;
    if (white.pawnCount == 0 && black.pawnCount == 0) {
        bool whiteKnights = white.material == TwoKnightsValue && white.knightCount == 2;
        bool blackKnights = black.material == TwoKnightsValue && black.knightCount == 2;
        if ((black.material == 0 && whiteKnights) || (white.material == 0 && blackKnights)) {
            s = 0;
            MarkTerm(trace, TermDrawnMaterial, s);
            return true;
        }
    } else {
        if (white.material == black.material + MinorValue && white.pawnCount)
            s += ExtraPieceWithPawns;
        else if (black.material == white.material + MinorValue && black.pawnCount)
            s -= ExtraPieceWithPawns;
        MarkTerm(trace, TermExtraPiece, s);
        int left = lowestClearBit[entry.openFiles];
        int right = highestClearBit[entry.openFiles];
        int whiteOut = FilesOutside(white.kingSquare, left, right);
        int blackOut = FilesOutside(black.kingSquare, left, right);
        if (whiteOut > 1 || blackOut > 1)
            kingDistance = KingDistanceWeight * (blackOut - whiteOut);
        s += kingDistance;
        MarkTerm(trace, TermKingDistance, s);
    }

    // 4. Kings and pawns only: the king and wing terms count twice, then the pawn ending.
    if (white.material == 0 && black.material == 0) {
        s += kingDistance;
        MarkTerm(trace, TermKingDistance, s);
        s += wing;
        MarkTerm(trace, TermWingPassers, s);
        PawnEndgame(e, s);
        MarkTerm(trace, TermPawnEnding, s);
        return true;
    }

    // 5. Passed pawns on the sixth and seventh.
    if (entry.pawnFlags & WhitePasserFlag) {
        EvaluatePassers(e, WhiteSide);
        s += e.eval.whitePasserBonus;
        MarkTerm(trace, TermWhitePassers, s);
    }
    if (entry.pawnFlags & BlackPasserFlag) {
        EvaluatePassers(e, BlackSide);
        s -= e.eval.blackPasserBonus;
        MarkTerm(trace, TermBlackPassers, s);
    }

    // 6. Material configurations, the first that matches.
    bool final = false;
    if (white.material == MinorValue || black.material == MinorValue) {
        if (wing > 0 && black.material == MinorValue)
            s += wing / 2;
        if (wing < 0 && white.material == MinorValue)
            s += wing / 2;
        MarkTerm(trace, TermWingPassers, s);
        MinorEndgame(e, s, final, entry);
        MarkTerm(trace, TermMinorEnding, s);
    } else if (white.material == RookValue || black.material == RookValue) {
        if (white.material == RookValue && black.material == RookValue) {
            RookEndgame(e, s, final, entry);
            MarkTerm(trace, TermRookEnding, s);
        } else {
            s = ScaleAgainstRook(p, s);
            MarkTerm(trace, TermEndgameScaling, s);
        }
    } else if (white.material == RookValue + MinorValue && black.material == RookValue + MinorValue
               && white.bishopCount && black.bishopCount) {
        if (IsDark(white.bishopSquares[0]) != IsDark(black.bishopSquares[0]))
            s = s * 3 / 4;
        MarkTerm(trace, TermEndgameScaling, s);
    } else if (white.material == QueenValue || black.material == QueenValue) {
        if (white.material == QueenValue + MinorValue && white.pawnCount == 0 && s > 0)
            s /= QueenAndMinorDivisor;
        else if (black.material == QueenValue + MinorValue && black.pawnCount == 0 && s < 0)
            s /= QueenAndMinorDivisor;
        MarkTerm(trace, TermEndgameScaling, s);
    }
    return final;
}
