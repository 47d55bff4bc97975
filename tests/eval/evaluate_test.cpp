// The evaluation driver: side to move, the early results, term bookkeeping, colour flips
// and the "eval" command.
#include <gtest/gtest.h>

#include <sstream>

#include "eval/evalreport.h"
#include "eval/evaluate.h"
#include "evaltest.h"
#include "output.h"
#include "support.h"

static const char* const startFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

TEST(Evaluate, InitialPositionIsTheMoveBonusForEitherSide) {
    auto e = NewTestEngine();
    EXPECT_EQ(Evaluate(*e), 71);
    SetFen(*e, "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 0 1");
    EXPECT_EQ(Evaluate(*e), 71);
    // Each king pays 100 with one danger (castling still possible, f1/g1 occupied).
    SetFen(*e, startFen);
    EvalTrace t = TraceEval(*e);
    EXPECT_EQ(t.value[TermWhiteKingSafety], -100);
    EXPECT_EQ(t.value[TermBlackKingSafety], 100);
    EXPECT_EQ(e->eval.whiteKingDanger, 1);
    EXPECT_EQ(e->eval.blackKingDanger, 1);
}

TEST(Evaluate, TwoKnightsAgainstBareKingIsZero) {
    auto e = NewTestEngine();
    for (const char* fen : {"4k3/8/8/8/8/8/8/1N2KN2 w - - 0 1", "4k3/8/8/8/8/8/8/1N2KN2 b - - 0 1",
                            "1n2kn2/8/8/8/8/8/8/4K3 w - - 0 1"}) {
        SetFen(*e, fen);
        EXPECT_EQ(Evaluate(*e), 0) << fen;
    }
}

TEST(Evaluate, TermsAddUpToTheScore) {
    auto e = NewTestEngine();
    for (const char* fen : {startFen,
                            "r1bqk2r/pppp1ppp/2n2n2/2b1p3/2B1P3/2N2N2/PPPP1PPP/R1BQK2R w KQkq - 0 1",
                            "4k3/8/8/8/8/8/8/1N2KN2 b - - 0 1",
                            "8/8/4k3/8/3PK3/8/8/8 w - - 0 1",
                            "3r2k1/5ppp/8/8/8/8/5PPP/3RB1K1 b - - 0 1"}) {
        SetFen(*e, fen);
        EvalTrace t = TraceEval(*e);
        int sum = 0;
        for (int v : t.value)
            sum += v;
        EXPECT_EQ(sum, WhiteEval(*e)) << fen;
    }
}

TEST(Evaluate, KingOnH1CountsAsG1WhileBlackHasAQueen) {
    auto e = NewTestEngine();
    SetFen(*e, "q3k3/8/8/8/8/8/8/R6K w - - 0 1");
    int h1 = TraceEval(*e).value[TermWhiteKingPlacement];
    SetFen(*e, "q3k3/8/8/8/8/8/8/R5K1 w - - 0 1");
    EXPECT_EQ(h1, TraceEval(*e).value[TermWhiteKingPlacement]);
    EXPECT_EQ(h1, ((12500 - 9500) / 200) * 3);
}

TEST(Evaluate, MaterialEdges) {
    auto e = NewTestEngine();
    // A knight up: the trade-down bonus grows as Black's material shrinks, and one more piece.
    SetFen(*e, "4k3/pppppppp/8/8/8/8/PPPPPPPP/4KN2 w - - 0 1");
    EvalTrace t = TraceEval(*e);
    EXPECT_EQ(t.value[TermMaterial], 3000);
    EXPECT_EQ(t.value[TermTradeDown], 31500 / 128);
    EXPECT_EQ(t.value[TermPieceCount], 150);
    // No piece-count edge for the side with more pieces but no queen against a queen.
    SetFen(*e, "3qk3/8/8/8/8/8/8/2RRK3 w - - 0 1");
    EXPECT_EQ(TraceEval(*e).value[TermPieceCount], 0);
}

// Positions whose evaluation must not change when colours are exchanged.
static const char* const symmetricCases[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r1bqk2r/pppp1ppp/2n2n2/2b1p3/2B1P3/2N2N2/PPPP1PPP/R1BQK2R w KQkq - 0 1",
    "r2q1rk1/pp2bppp/2n1pn2/3p4/3P4/2NBPN2/PP3PPP/R2Q1RK1 b - - 0 1",
    "2rq1rk1/1b2bppp/p3pn2/1p6/3N4/P1N1B3/1PP1QPPP/3R1RK1 w - - 0 1",
    "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
    "6k1/5ppp/8/8/8/8/5PPP/6K1 w - - 0 1",
    "8/8/4k3/8/3PK3/8/8/8 w - - 0 1",
    "8/5k2/8/3p4/8/2P5/5K2/8 b - - 0 1",
    "3r2k1/5ppp/8/8/8/8/5PPP/3RB1K1 b - - 0 1",
    "4k3/8/8/8/8/8/8/1N2KN2 w - - 0 1",
    "8/8/8/4k3/8/8/1P6/R3K3 w - - 0 1",
    "3k4/8/8/8/8/8/3P4/3BK3 w - - 0 1",
    "4k3/1p6/1P6/8/8/8/8/2B1K3 w - - 0 1",
    "r3k3/8/8/8/8/8/8/R3KB2 w - - 0 1",
    "7k/P7/8/8/8/8/8/R3K3 w - - 0 1",
    "1k6/8/8/8/8/8/6p1/4K2Q b - - 0 1",
    "8/8/8/4k3/8/4K3/8/8 w - - 0 1",    // bare kings in opposition
    "8/8/8/4k3/8/4K3/P7/8 b - - 0 1",   // the same with one free pawn
    "8/8/8/4k3/4P3/4K3/8/8 w - - 0 1",  // and with the pawn stuck
};

TEST(Evaluate, ColourFlipGivesTheSameScore) {
    // The rules are colour-symmetric except in three places that these positions avoid:
    // the endgame branch is chosen by White's material alone, the Black fianchetto bishop
    // looks for a White pawn on e5 (White's twin for its own pawn on e4), and in pawn endings
    // with pawns on both sides the opposition term tries White's stuck pawns first.
    auto e = NewTestEngine();
    auto flipped = NewTestEngine();
    for (const char* fen : symmetricCases) {
        SetFen(*e, fen);
        SetFen(*flipped, FlipFen(fen));
        EXPECT_EQ(Evaluate(*e), Evaluate(*flipped)) << fen << "\n" << FlipFen(fen);
    }
}

TEST(Evaluate, EndgameBranchFollowsWhiteMaterialOnly) {
    // White with a rook against a queen and rooks takes the endgame branch (its structure
    // counts half again); the flipped position takes the middlegame branch.
    auto e = NewTestEngine();
    const char* fen = "r2qk2r/ppp2ppp/8/8/8/7P/PP4PP/3R2K1 w - - 0 1";
    SetFen(*e, fen);
    EvalTrace t = TraceEval(*e);
    EXPECT_NE(t.value[TermEndgamePawnStructure], 0);
    SetFen(*e, FlipFen(fen));
    t = TraceEval(*e);
    EXPECT_EQ(t.value[TermEndgamePawnStructure], 0);
    EXPECT_NE(t.value[TermWhiteKingSafety] + t.value[TermBlackKingSafety], 0);
}

// Returns what the eval report says for the engine's position.
static std::string EvalReport(Engine& e) {
    testing::internal::CaptureStdout();
    Write(EvaluationReport(e));
    return testing::internal::GetCapturedStdout();
}

// Reads the report's term lines (up to "Total") and returns their sum; stores the header score.
static int SumOfTermLines(const std::string& report, int* header, int* total, int* lines) {
    std::istringstream in(report);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(std::sscanf(line.c_str(), "Static evaluation: %d (White's view)", header), 1) << line;
    int sum = 0;
    *lines = 0;
    while (std::getline(in, line)) {
        size_t end = line.find_last_not_of(' ');
        size_t cut = line.find_last_of(' ', end);
        int value = std::atoi(line.c_str() + cut + 1);
        if (line.find("  Total ") == 0) {
            *total = value;
            break;
        }
        sum += value;
        ++*lines;
    }
    return sum;
}

TEST(EvalCommand, TermLinesAddUpToTheScore) {
    auto e = NewTestEngine();
    for (const char* fen : symmetricCases) {
        SetFen(*e, fen);
        int white = WhiteEval(*e);
        std::string report = EvalReport(*e);
        int header = 0, total = 0, lines = 0;
        int sum = SumOfTermLines(report, &header, &total, &lines);
        EXPECT_EQ(header, white) << fen;
        EXPECT_EQ(sum, white) << fen << "\n" << report;
        EXPECT_EQ(total, white) << fen;
        EXPECT_EQ(lines, EvalTermCount) << fen;
    }
}

TEST(EvalCommand, NamesTheProgramsComponents) {
    auto e = NewTestEngine();
    std::string report = EvalReport(*e);
    for (const char* name : {"Material Eval.", "Linear Piece Control Eval", "PST Knight Eval",
                             "Pawn Structure Eval", "Pawn Control Eval", "White passer bonus",
                             "Black passer bonus", "White's king safety", "Black king safety",
                             "WK danger count", "BK danger count", "White Pin Eval",
                             "Black Pin Eval", "Pin Danger", "Rooks on 7th", "Rooks on Files",
                             "Open files bitmap", "White half open files bitmap",
                             "Black half open files bitmap", "Left pawn file", "Right pawn file",
                             "Pawn Spread", "Blocked Centre?"})
        EXPECT_NE(report.find(std::string("  ") + name + " "), std::string::npos) << name;
}

TEST(EvalCommand, ConsoleCommandPrintsTheBreakdown) {
    int status = -1;
    std::string out = RunCommand("printf 'eval\\nquit\\n' | '" + EngineBinary() + "'", &status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(out.find("Static evaluation: 71 (White's view)\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Total                                71\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Blocked Centre?                      no\nEnter a move or command:\n"),
              std::string::npos) << out;
}
