// Random games checked position by position: the colour-flipped copy evaluates the same
// wherever the rules are symmetric, the trace adds up, and the pawn hash matches a fresh
// computation.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "board/makemove.h"
#include "eval/evaluate.h"
#include "eval/pawnhash.h"
#include "eval/pawns.h"
#include "evaltest.h"
#include "notation/epd.h"
#include "support.h"

// True where the rules are not colour-symmetric: the endgame branch is chosen by White's
// material alone; the Black fianchetto pattern looks for a White pawn on e5 where White's
// looks for its own pawn on e4; and in king and pawn endings with pawns on both sides, the
// opposition term tries White's stuck pawns before Black's.
static bool AsymmetricRules(const Position& p) {
    bool whiteEnding = p.white.material < 13001;
    bool blackEnding = p.black.material < 13001;
    if (whiteEnding != blackEnding)
        return true;
    const int32_t* b = p.board;
    if ((b[MakeSquare(2, 7)] == Bishop && b[MakeSquare(3, 7)] == Pawn)
        || (b[MakeSquare(7, 7)] == -Bishop && b[MakeSquare(6, 7)] == -Pawn))
        return true;
    int wk = p.white.kingSquare;
    int bk = p.black.kingSquare;
    return p.white.material == 0 && p.black.material == 0 && bk == wk + 2 && p.white.pawnCount
        && p.black.pawnCount;
}

// Plays random games from a position and checks every position reached; returns how many
// positions were compared with their colour-flipped copy.
static int CheckRandomGames(const char* start, int games, int plies, uint32_t seed) {
    auto e = NewTestEngine();
    auto flipped = NewTestEngine();
    auto fresh = NewTestEngine();
    std::mt19937 random(seed);
    int compared = 0;
    for (int game = 0; game < games; game++) {
        SetFen(*e, start);
        for (int ply = 0; ply < plies; ply++) {
            PlyRecord* r = e->pos.currentPly;
            if (r->moveCount == 0 || r->reversibleCount >= 100)
                break;
            MakeMove(e->pos, EntryMove(r->moves[random() % r->moveCount]));
            EXPECT_EQ(CheckPosition(e->pos), "");
            std::string fen = PositionToEpd(e->pos);

            EvalTrace t = TraceEval(*e);
            int sum = 0;
            for (int v : t.value)
                sum += v;
            EXPECT_EQ(sum, WhiteEval(*e)) << fen;

            const PawnHashEntry& cached = ProbePawnHash(*e);
            PawnHashEntry computed = {};
            EvaluatePawns(*e, computed);
            EXPECT_EQ(cached.structureScore, computed.structureScore) << fen;
            EXPECT_EQ(cached.controlScore, computed.controlScore) << fen;
            EXPECT_EQ(cached.pawnFlags, computed.pawnFlags) << fen;

            if (AsymmetricRules(e->pos))
                continue;
            SetFen(*flipped, FlipFen(fen));
            EXPECT_EQ(Evaluate(*e), Evaluate(*flipped)) << fen << "\n" << FlipFen(fen);
            // The same position set up afresh (no last move) evaluates the same too.
            SetFen(*fresh, fen);
            EXPECT_EQ(Evaluate(*e), Evaluate(*fresh)) << fen;
            if (testing::Test::HasFailure())
                return compared;
            compared++;
        }
    }
    return compared;
}

TEST(EvalFlip, RandomGamesFromTheStart) {
    EXPECT_GT(CheckRandomGames("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
                               30, 160, 20240607), 2000);
}

TEST(EvalFlip, RandomEndgames) {
    static const char* const endings[] = {
        "8/pp3k2/2p5/8/8/2P5/PP3K2/8 w - - 0 1",           // kings and pawns
        "8/p4k2/1p4p1/2p5/2P5/1P4P1/P4K2/8 b - - 0 1",
        "r3k3/pp3ppp/8/8/8/8/PP3PPP/R3K3 w - - 0 1",       // rooks
        "2b1k3/pp3ppp/8/8/8/8/PP3PPP/2N1K3 w - - 0 1",     // minor pieces
        "1n2kb2/p4ppp/8/8/8/8/P4PPP/1B2K3 w - - 0 1",
        "3qk3/pp3ppp/8/8/8/8/PP3PPP/3QK3 w - - 0 1",       // queens
        "r1b1k3/pp4pp/8/8/8/8/PP4PP/R1B1K3 w - - 0 1",     // rook and bishop
    };
    int compared = 0;
    for (const char* fen : endings)
        compared += CheckRandomGames(fen, 20, 100, 7);
    EXPECT_GT(compared, 5000);
}
