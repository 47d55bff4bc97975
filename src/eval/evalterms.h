// The named terms of the static score and the trace that breaks a score down into them.
#pragma once

#include <cstdint>

// Every additive step of Evaluate, in the order it runs.
enum EvalTerm : int {
    TermMaterial,              // "Material Eval."
    TermTradeDown,             // the side ahead likes trading pieces
    TermPieceCount,            // more pieces than the opponent
    TermWhiteKingPlacement,    // White king to the edge early, to the centre late
    TermBlackKingPlacement,
    TermSideToMove,
    TermWhitePins,             // "White Pin Eval"
    TermBlackPins,             // "Black Pin Eval"
    TermPawnStructure,         // "Pawn Structure Eval"
    TermPawnControl,           // "Pawn Control Eval"
    TermBishopPair,
    TermConnectedRooks,
    TermRooksOnFiles,          // "Rooks on Files"
    TermRooksOnSeventh,        // "Rooks on 7th"
    TermTrappedMinors,
    TermMobility,              // "Linear Piece Control Eval"
    TermKnightPlacement,       // "PST Knight Eval"
    TermEndgamePawnStructure,  // the structure counted half again in the endgame
    TermWingPassers,
    TermDrawnMaterial,         // two knights against a bare king
    TermExtraPiece,            // a piece up with pawns left
    TermKingDistance,          // kings far from the pawns
    TermPawnEnding,
    TermWhitePassers,          // "White passer bonus"
    TermBlackPassers,          // "Black passer bonus"
    TermMinorEnding,
    TermRookEnding,
    TermEndgameScaling,
    TermWhiteKingSafety,       // "White's king safety"
    TermBlackKingSafety,       // "Black king safety"
    TermOpeningPatterns,
    TermEarlyQueen,
    TermBlockedCentrePawns,
    TermWhiteKnights,          // outposts and knights on the rim
    TermBlackKnights,
    TermKnightsAndSpread,
    EvalTermCount
};

// White-relative change of the running score per term, filled while a trace is attached.
struct EvalTrace {
    int32_t value[EvalTermCount];  // sum of the changes booked to each term
    int32_t last;                  // running score at the previous mark
};

// Books the change of the running score s since the previous mark to a term.
inline void MarkTerm(EvalTrace* trace, EvalTerm term, int s) {
    if (trace) {
        trace->value[term] += s - trace->last;
        trace->last = s;
    }
}
