// The legal move generator: order, the hard cases, and agreement with a slow reference.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "board/attacks.h"
#include "board/geometry.h"
#include "board/makemove.h"
#include "board/movegen.h"
#include "board/reference.h"
#include "eval/evaltest.h"  // FlipFen
#include "notation/epd.h"
#include "support.h"

// The moves of the current list as text "e2e4", "a7a8q", in list order.
static std::vector<std::string> MoveTexts(const Engine& e) {
    std::vector<std::string> texts;
    const PlyRecord* r = e.pos.currentPly;
    for (int i = 0; i < r->moveCount; i++) {
        const MoveListEntry& m = r->moves[i];
        std::string t;
        for (int sq : {int(m.from), int(m.to)}) {
            t += char('a' + fileOf[sq] - 1);
            t += char('0' + rankOf[sq]);
        }
        int kind = m.promotion < 0 ? -m.promotion : m.promotion;
        bool pawn = e.pos.board[m.from] == Pawn || e.pos.board[m.from] == -Pawn;
        if (pawn && (rankOf[m.to] == 1 || rankOf[m.to] == 8))
            t += "?pnbrq"[kind];
        texts.push_back(t);
    }
    return texts;
}

static bool Contains(const std::vector<std::string>& list, const std::string& move) {
    return std::find(list.begin(), list.end(), move) != list.end();
}

// Number of enemy pieces attacking the king of the side to move, counted from scratch.
static int ReferenceCheckers(const Position& p) {
    bool white = p.whiteToMove;
    int k = white ? p.white.kingSquare : p.black.kingSquare;
    int s = white ? -1 : 1;  // the enemy's sign
    int n = 0;
    if (white)
        n += (p.board[k - 9] == -Pawn) + (p.board[k + 11] == -Pawn);
    else
        n += (p.board[k - 11] == Pawn) + (p.board[k + 9] == Pawn);
    for (int d : knightSteps)
        n += p.board[k + d] == s * Knight;
    for (int d : kingSteps) {
        bool diagonal = d == 9 || d == -9 || d == 11 || d == -11;
        int t = k + d;
        while (p.board[t] == Empty)
            t += d;
        int kind = p.board[t] * s;
        if (p.board[t] != Border && (kind == Queen || kind == (diagonal ? Bishop : Rook)))
            n++;
    }
    return n;
}

// The positions of the published perft counts: castling, en passant, promotions, pins.
static const char* const perftFens[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -",
    "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq -",
    "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ -",
    "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - -",
};

TEST(MoveGen, StartingPositionInGenerationOrder) {
    auto e = NewTestEngine();
    std::vector<std::string> expected = {
        "a2a3", "a2a4", "b2b3", "b2b4", "c2c3", "c2c4", "d2d3", "d2d4", "e2e3", "e2e4",
        "f2f3", "f2f4", "g2g3", "g2g4", "h2h3", "h2h4", "b1c3", "b1a3", "g1h3", "g1f3"};
    EXPECT_EQ(MoveTexts(*e), expected);
    EXPECT_EQ(e->pos.currentPly->checkCount, 0);
    EXPECT_EQ(e->pos.checkCount, 0);
}

TEST(MoveGen, GenerationOrderOfEachKind) {
    auto e = NewTestEngine();
    // En passant first, then pawns, knights, rooks, bishops, queens, king, castling.
    SetFen(*e, "4k3/8/8/3pP3/8/8/7Q/R3K1NB w Q d6 0 1");
    std::vector<std::string> moves = MoveTexts(*e);
    ASSERT_FALSE(moves.empty());
    EXPECT_EQ(moves.front(), "e5d6");
    auto first = [&](const std::string& from) {
        for (size_t i = 0; i < moves.size(); i++)
            if (moves[i].compare(0, 2, from) == 0)
                return int(i);
        return -1;
    };
    EXPECT_LT(first("e5"), first("g1"));  // pawn push before the knight
    EXPECT_LT(first("g1"), first("a1"));  // knight before the rook
    EXPECT_LT(first("a1"), first("h1"));  // rook before the bishop
    EXPECT_LT(first("h1"), first("h2"));  // bishop before the queen
    EXPECT_LT(first("h2"), first("e1"));  // queen before the king
    EXPECT_EQ(moves.back(), "e1c1");      // castling last
    // A rook's rays: +1 (up the file) before -1, then +10 (right) before -10.
    SetFen(*e, "4k3/8/8/8/3R4/8/8/4K3 w - - 0 1");
    std::vector<std::string> rook = MoveTexts(*e);
    EXPECT_EQ(std::vector<std::string>(rook.begin(), rook.begin() + 6),
              (std::vector<std::string>{"d4d5", "d4d6", "d4d7", "d4d8", "d4d3", "d4d2"}));
}

TEST(MoveGen, DoubleCheckAllowsOnlyKingMoves) {
    auto e = NewTestEngine();
    // Rook e8 and knight d3 both check; the bishop could take the knight but may not.
    SetFen(*e, "4r2k/8/8/8/8/3n4/8/1B2K3 w - - 0 1");
    EXPECT_EQ(e->pos.checkCount, 2);
    std::vector<std::string> moves = MoveTexts(*e);
    ASSERT_FALSE(moves.empty());
    for (const std::string& m : moves)
        EXPECT_EQ(m.substr(0, 2), "e1") << m;
    EXPECT_FALSE(Contains(moves, "e1e2"));  // still on the rook's file
}

TEST(MoveGen, PinnedPawns) {
    auto e = NewTestEngine();
    // Pinned on a diagonal: may take the pinner, may not push.
    SetFen(*e, "4k3/8/8/8/8/4b3/3P4/2K5 w - - 0 1");
    std::vector<std::string> moves = MoveTexts(*e);
    EXPECT_TRUE(Contains(moves, "d2e3"));
    EXPECT_FALSE(Contains(moves, "d2d3"));
    EXPECT_FALSE(Contains(moves, "d2d4"));
    // Pinned on its file: may push, may not capture.
    SetFen(*e, "4r1k1/8/8/8/8/3b4/4P3/4K3 w - - 0 1");
    moves = MoveTexts(*e);
    EXPECT_TRUE(Contains(moves, "e2e3"));
    EXPECT_TRUE(Contains(moves, "e2e4"));
    EXPECT_FALSE(Contains(moves, "e2d3"));
}

TEST(MoveGen, EnPassantRefusedWhenTheRankOpens) {
    auto e = NewTestEngine();
    struct Case { const char* fen; const char* move; bool legal; };
    const Case cases[] = {
        {"8/8/8/KPp4r/8/8/8/7k w - c6 0 1", "b5c6", false},  // rook beyond the captured pawn
        {"8/8/8/r1pPK3/8/8/8/7k w - c6 0 1", "d5c6", false}, // rook beyond the capturing pawn
        {"8/8/8/KPp3nr/8/8/8/7k w - c6 0 1", "b5c6", true},  // a blocker keeps the rank shut
        {"8/8/8/KPp5/8/8/8/7k w - c6 0 1", "b5c6", true},
        {"7K/8/8/8/kpP4R/8/8/8 b - c3 0 1", "b4c3", false},  // the same for Black
        {"7K/8/8/8/kpP4Q/8/8/8 b - c3 0 1", "b4c3", false},
        // A set-up whose double step hid a check: taking the pawn would open the diagonal.
        {"4k3/1b6/8/3pP3/8/5K2/8/8 w - d6 0 1", "e5d6", false},
    };
    for (const Case& c : cases) {
        SetFen(*e, c.fen);
        EXPECT_EQ(Contains(MoveTexts(*e), c.move), c.legal) << c.fen;
        EXPECT_EQ(GeneratedMoves(*e), ReferenceMoves(e->pos)) << c.fen;
    }
}

TEST(MoveGen, EnPassantAnswersAPawnCheck) {
    auto e = NewTestEngine();
    // Black's d7-d5 checks the king on e4; exd6 and cxd6 remove the checker.
    SetFen(*e, "4k3/8/8/2PpP3/4K3/8/8/8 w - d6 0 1");
    EXPECT_EQ(e->pos.checkCount, 1);
    std::vector<std::string> moves = MoveTexts(*e);
    EXPECT_TRUE(Contains(moves, "c5d6"));
    EXPECT_TRUE(Contains(moves, "e5d6"));
    EXPECT_EQ(GeneratedMoves(*e), ReferenceMoves(e->pos));
}

TEST(MoveGen, KingCannotStepBackAlongTheCheckingRay) {
    auto e = NewTestEngine();
    SetFen(*e, "4k3/8/8/8/8/8/8/r3K3 w - - 0 1");
    std::vector<std::string> moves = MoveTexts(*e);
    EXPECT_FALSE(Contains(moves, "e1f1"));  // unmarked in the map: the king shields it
    EXPECT_FALSE(Contains(moves, "e1d1"));
    EXPECT_EQ(moves, (std::vector<std::string>{"e1e2", "e1d2", "e1f2"}));
    // Diagonal check by a queen: the step away along the diagonal is refused too.
    SetFen(*e, "4k3/8/8/8/1q6/8/3K4/8 w - - 0 1");
    EXPECT_FALSE(Contains(MoveTexts(*e), "d2e1"));
    EXPECT_TRUE(Contains(MoveTexts(*e), "d2e2"));
    EXPECT_EQ(GeneratedMoves(*e), ReferenceMoves(e->pos));
}

TEST(MoveGen, CastlingRulesForBothColours) {
    auto e = NewTestEngine();
    struct Case { const char* fen; bool kingSide, queenSide; };
    const Case cases[] = {
        {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", true, true},
        {"r3k2r/8/8/8/2b5/8/8/R3K2R w KQkq - 0 1", false, true},   // f1 attacked
        {"3rk2r/8/8/8/8/8/8/R3K2R w KQk - 0 1", true, false},      // d1 attacked
        {"1r2k2r/8/8/8/8/8/8/R3K2R w KQk - 0 1", true, true},      // b1 attacked: allowed
        {"r3k2r/8/8/8/8/8/6p1/R3K2R w KQkq - 0 1", false, true},   // pawn on g2 hits f1
        {"r3k2r/8/8/8/8/8/8/RN2K1NR w KQkq - 0 1", false, false},  // squares occupied
        {"r3k2r/8/8/8/8/8/8/R3K2R w Kkq - 0 1", true, false},      // right gone
    };
    for (const Case& c : cases) {
        for (bool flipped : {false, true}) {
            std::string fen = flipped ? FlipFen(c.fen) : c.fen;
            SetFen(*e, fen);
            std::vector<std::string> moves = MoveTexts(*e);
            const char* kingSide = flipped ? "e8g8" : "e1g1";
            const char* queenSide = flipped ? "e8c8" : "e1c1";
            EXPECT_EQ(Contains(moves, kingSide), c.kingSide) << fen;
            EXPECT_EQ(Contains(moves, queenSide), c.queenSide) << fen;
            EXPECT_EQ(GeneratedMoves(*e), ReferenceMoves(e->pos)) << fen;
        }
    }
}

TEST(MoveGen, PromotionsQueenRookBishopKnightAndNormalized) {
    auto e = NewTestEngine();
    SetFen(*e, "1n5k/P7/8/8/8/8/8/K7 w - - 0 1");
    const PlyRecord* r = e->pos.currentPly;
    std::vector<int> pushes, captures;
    for (int i = 0; i < r->moveCount; i++) {
        const MoveListEntry& m = r->moves[i];
        if (m.from == MakeSquare(7, 1))
            (m.to == MakeSquare(8, 1) ? pushes : captures).push_back(m.promotion);
    }
    EXPECT_EQ(captures, (std::vector<int>{5, 4, 3, 2}));
    EXPECT_EQ(pushes, (std::vector<int>{5, 4, 3, 2}));
    SetFen(*e, FlipFen("1n5k/P7/8/8/8/8/8/K7 w - - 0 1"));
    r = e->pos.currentPly;
    std::vector<int> black;
    for (int i = 0; i < r->moveCount; i++)
        if (r->moves[i].to == MakeSquare(1, 1))
            black.push_back(r->moves[i].promotion);
    EXPECT_EQ(black, (std::vector<int>{-5, -4, -3, -2}));
    // Stale promotion bytes on other moves are cleared, real ones kept.
    for (int i = 0; i < r->moveCount; i++)
        if (rankOf[r->moves[i].to] != 1)
            r->moves[i].promotion = 3;
    NormalizePromotions(e->pos);
    for (int i = 0; i < r->moveCount; i++) {
        bool promotion = rankOf[r->moves[i].to] == 1;
        EXPECT_EQ(r->moves[i].promotion != 0, promotion) << i;
    }
}

TEST(MoveGen, TwoHundredEighteenMoves) {
    auto e = NewTestEngine();
    SetFen(*e, "R6R/3Q4/1Q4Q1/4Q3/2Q4Q/Q4Q2/pp1Q4/kBNN1KB1 w - - 0 1");
    EXPECT_EQ(e->pos.currentPly->moveCount, 218);
    EXPECT_EQ(GeneratedMoves(*e), ReferenceMoves(e->pos));
    EXPECT_TRUE(HasRoomForPly(e->pos));
}

// Random games from the perft positions and their colour flips: at every position the
// moves, both attack maps, both pin lists and the checker count agree with the reference,
// and the flipped position mirrors the counts and balances.
TEST(MoveGen, AgreesWithReferenceInRandomGames) {
    auto e = NewTestEngine();
    auto flip = NewTestEngine();
    std::mt19937 rng(12345);
    std::vector<std::string> fens(std::begin(perftFens), std::end(perftFens));
    fens.push_back("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
    fens.push_back("4k3/8/8/2PpP3/4K3/8/8/8 w - d6 0 1");
    fens.push_back("R6R/3Q4/1Q4Q1/4Q3/2Q4Q/Q4Q2/pp1Q4/kBNN1KB1 w - - 0 1");
    int positions = 0;
    for (const std::string& start : fens) {
        for (int game = 0; game < 4; game++) {
            SetFen(*e, game % 2 ? FlipFen(start) : start);
            for (int ply = 0; ply < 120; ply++) {
                const Position& p = e->pos;
                std::string where = std::string(PositionToEpd(e->pos));
                ASSERT_EQ(GeneratedMoves(*e), ReferenceMoves(p)) << where;
                for (bool white : {true, false}) {
                    std::vector<uint16_t> map = ReferenceAttackMap(p, white);
                    const uint16_t* stored = white ? p.white.attacks : p.black.attacks;
                    for (int sq = 21; sq <= 98; sq++) {
                        if (IsBorder(sq))
                            continue;
                        ASSERT_EQ(stored[sq], map[size_t(sq)]) << where << " square " << sq;
                    }
                    ASSERT_EQ(StoredPins(p, white), ReferencePins(p, white)) << where;
                }
                ASSERT_EQ(p.checkCount, ReferenceCheckers(p)) << where;
                SetFen(*flip, FlipFen(where));
                ASSERT_EQ(flip->pos.currentPly->moveCount, p.currentPly->moveCount) << where;
                ASSERT_EQ(flip->pos.mobilityBalance, -p.mobilityBalance) << where;
                ASSERT_EQ(flip->pos.materialBalance, -p.materialBalance) << where;
                ASSERT_EQ(flip->pos.knightPlacement, -p.knightPlacement) << where;
                positions++;
                int count = p.currentPly->moveCount;
                if (count == 0 || !HasRoomForPly(e->pos))
                    break;
                const MoveListEntry& m = p.currentPly->moves[rng() % unsigned(count)];
                MakeMove(e->pos, EntryMove(m));
            }
        }
    }
    EXPECT_GT(positions, 2000);
}

TEST(MoveGen, NoListRunsPastTheMoveArea) {
    auto e = NewTestEngine();
    SetFen(*e, "R6R/3Q4/1Q4Q1/4Q3/2Q4Q/Q4Q2/pp1Q4/kBNN1KB1 w - - 0 1");
    PlyRecord* r = e->pos.currentPly;
    // Move the list up as if earlier lists had filled the area: right at the edge a child
    // list still fits, one entry further it does not.
    MoveListEntry* edge = e->pos.moveArea + MoveAreaSize - MaxLegalMoves - r->moveCount;
    std::memmove(edge, r->moves, sizeof(MoveListEntry) * size_t(r->moveCount));
    r->moves = edge;
    EXPECT_TRUE(HasRoomForPly(e->pos));
    std::memmove(edge + 1, edge, sizeof(MoveListEntry) * size_t(r->moveCount));
    r->moves = edge + 1;
    EXPECT_FALSE(HasRoomForPly(e->pos));
    MakeMove(e->pos, EntryMove(r->moves[0]));
    EXPECT_EQ(e->pos.currentPly->moveCount, 0);  // refused rather than written past the end
    EXPECT_EQ(e->pos.genCursor, e->pos.currentPly->moves);
    UnmakeMove(e->pos);
    EXPECT_EQ(CheckPosition(e->pos), "");
}
