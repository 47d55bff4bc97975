// The "eval" command's report: Evaluate run with a trace attached, and the trace as text.
#include "eval/evalreport.h"

#include "board/geometry.h"
#include "board/movegen.h"
#include "engine.h"
#include "eval/evaluate.h"
#include "eval/pawnhash.h"
#include "textbuilder.h"

static constexpr size_t EvaluationReportSize = 4096;

// Names of the terms, in EvalTerm order.
static const char* const termNames[EvalTermCount] = {
    "Material Eval.",
    "Trade-down bonus",
    "Piece count edge",
    "White king placement",
    "Black king placement",
    "Side to move",
    "White Pin Eval",
    "Black Pin Eval",
    "Pawn Structure Eval",
    "Pawn Control Eval",
    "Bishop pair",
    "Connected rooks",
    "Rooks on Files",
    "Rooks on 7th",
    "Trapped minor pieces",
    "Linear Piece Control Eval",
    "PST Knight Eval",
    "Endgame pawn structure",
    "Wing passers",
    "Drawn material",
    "Extra piece with pawns",
    "King distance from pawns",
    "Pawn ending",
    "White passer bonus",
    "Black passer bonus",
    "Minor piece ending",
    "Rook ending",
    "Endgame scaling",
    "White's king safety",
    "Black king safety",
    "Opening patterns",
    "Early queen development",
    "Blocked centre pawns",
    "White knight placement",
    "Black knight placement",
    "Knights against spread pawns",
};

// Writes a file bitmap as eight characters a..h, the letter where the bit is set.
static void FileText(uint8_t files, char* text) {
    for (int f = 0; f < 8; f++)
        text[f] = (files >> f) & 1 ? char('a' + f) : '-';
    text[8] = '\0';
}

const char* EvaluationReport(Engine& e) {
    static char text[EvaluationReportSize];
    TextBuilder b(text, sizeof text);
    // The attack maps and pins must describe this very position.
    GenerateMoves(e.pos);
    EvalTrace trace = {};
    e.eval.trace = &trace;
    int score = Evaluate(e);
    e.eval.trace = nullptr;
    int white = e.pos.whiteToMove ? score : -score;

    b.Add("Static evaluation: %d (White's view)\n", white);
    int sum = 0;
    for (int t = 0; t < EvalTermCount; t++) {
        b.Add("  %-30s %8d\n", termNames[t], trace.value[t]);
        sum += trace.value[t];
    }
    b.Add("  %-30s %8d\n", "Total", sum);

    const PawnHashEntry& entry = ProbePawnHash(e);
    char files[9];
    b.Add("  %-30s %8d\n", "WK danger count", e.eval.whiteKingDanger);
    b.Add("  %-30s %8d\n", "BK danger count", e.eval.blackKingDanger);
    b.Add("  %-30s %8d\n", "Pin Danger", e.pos.currentPly->threatMarker);
    FileText(entry.openFiles, files);
    b.Add("  %-30s %8s\n", "Open files bitmap", files);
    FileText(entry.whiteHalfOpen, files);
    b.Add("  %-30s %8s\n", "White half open files bitmap", files);
    FileText(entry.blackHalfOpen, files);
    b.Add("  %-30s %8s\n", "Black half open files bitmap", files);
    b.Add("  %-30s %8d\n", "Left pawn file", lowestClearBit[entry.openFiles]);
    b.Add("  %-30s %8d\n", "Right pawn file", highestClearBit[entry.openFiles]);
    b.Add("  %-30s %8d\n", "Pawn Spread", openSpan[entry.openFiles]);
    b.Add("  %-30s %8s\n", "Blocked Centre?", entry.pawnFlags & BlockedCentreFlag ? "yes" : "no");
    return text;
}
