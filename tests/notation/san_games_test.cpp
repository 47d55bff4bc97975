// SAN of every legal move over positions of random games: checked against the board and the
// legal list without the writer's own algorithm, read back in its accepted spellings, and
// written again on a NotationContext.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "notation/movetext.h"
#include "randomgames.h"
#include "shell/displayboard.h"

static std::string SquareName(int sq) {
    return {char('a' + fileOf[sq] - 1), char('0' + rankOf[sq])};
}

// The check mark a move deserves, found by making it and looking: "#", "+" or "".
static std::string MarkByMaking(Engine& e, Move m) {
    MakeMove(e.pos, m);
    EXPECT_EQ(CheckPosition(e.pos), "");
    const PlyRecord* r = e.pos.currentPly;
    std::string mark = r->checkCount == 0 ? "" : r->moveCount == 0 ? "#" : "+";
    UnmakeMove(e.pos);
    EXPECT_EQ(CheckPosition(e.pos), "");
    return mark;
}

// True when a disambiguation text ("", file letter, rank digit or square) fits the square.
static bool DisambiguationFits(const std::string& text, int sq) {
    if (text.empty())
        return true;
    if (text.size() == 2)
        return text == SquareName(sq);
    if (text[0] >= 'a' && text[0] <= 'h')
        return text[0] == 'a' + fileOf[sq] - 1;
    return text[0] == '0' + rankOf[sq];
}

// Tallies of what the positions exercised.
struct SanCoverage {
    int positions = 0, moves = 0, captures = 0, promotions = 0, castles = 0, checks = 0,
        mates = 0, byFile = 0, byRank = 0, bySquare = 0;
};

// Checks the SAN body (no marks) of a legal move: the piece letter, "x" exactly for captures,
// the target, the promotion piece, and a disambiguation that singles the mover out among the
// pieces of its kind reaching the target while no shorter one would (a file before a rank).
static void CheckSanBody(const Engine& e, Move m, const std::string& body, SanCoverage& seen) {
    const Position& p = e.pos;
    int f = MoveFrom(m), t = MoveTo(m);
    int piece = p.board[f], kind = std::abs(piece);
    bool capture = p.board[t] != Empty || (kind == Pawn && fileOf[f] != fileOf[t]);
    seen.captures += capture;
    if (kind == King && std::abs(t - f) == 20) {
        seen.castles++;
        EXPECT_EQ(body, t > f ? "O-O" : "O-O-O");
        return;
    }
    if (kind == Pawn) {
        std::string expected = capture ? std::string{char('a' + fileOf[f] - 1), 'x'} : "";
        expected += SquareName(t);
        if (rankOf[t] == 8 || rankOf[t] == 1) {
            seen.promotions++;
            expected += std::string("=") + "PNBRQK"[std::abs(MovePromotion(m)) - 1];
        }
        EXPECT_EQ(body, expected);
        return;
    }
    ASSERT_GE(body.size(), 3u) << body;
    EXPECT_EQ(body[0], "PNBRQK"[kind - 1]) << body;
    ASSERT_EQ(body.substr(body.size() - 2), SquareName(t)) << body;
    std::string middle = body.substr(1, body.size() - 3);
    if (capture) {
        ASSERT_FALSE(middle.empty()) << body;
        EXPECT_EQ(middle.back(), 'x') << body;
        middle.pop_back();
    }
    ASSERT_LE(middle.size(), 2u) << body;
    EXPECT_TRUE(DisambiguationFits(middle, f)) << body;

    // Every shorter description of the from-square must also fit a rival.
    std::string fileText(1, char('a' + fileOf[f] - 1)), rankText(1, char('0' + rankOf[f]));
    auto ambiguous = [&](const std::string& text) {
        const PlyRecord* r = p.currentPly;
        for (int i = 0; i < r->moveCount; i++) {
            int from = r->moves[i].from;
            if (r->moves[i].to == t && from != f && p.board[from] == piece &&
                DisambiguationFits(text, from))
                return true;
        }
        return false;
    };
    EXPECT_FALSE(ambiguous(middle)) << body;
    if (!middle.empty()) {
        EXPECT_TRUE(ambiguous("")) << body;
    }
    if (middle.size() == 2) {
        EXPECT_TRUE(ambiguous(fileText) && ambiguous(rankText)) << body;
    }
    if (middle == rankText) {
        EXPECT_TRUE(ambiguous(fileText)) << body;
    }
    seen.byFile += middle == fileText;
    seen.byRank += middle == rankText;
    seen.bySquare += middle.size() == 2;
}

// Reads back a move in the spellings ParseMove accepts for it.
static void CheckReadBack(Engine& e, Move m, const std::string& san, const std::string& body,
                          const std::string& mark) {
    EXPECT_EQ(ParseMove(e, san.c_str()), m) << san;
    EXPECT_EQ(ParseMove(e, body.c_str()), m) << body;
    EXPECT_EQ(ParseMove(e, (body + "+").c_str()), m) << body << "+";
    std::string coordinate = MoveToCoordinate(m);
    EXPECT_EQ(ParseMove(e, coordinate.c_str()), m) << coordinate;
    size_t equals = body.find('=');
    if (equals != std::string::npos) {
        std::string shortForm = body.substr(0, equals) + body.substr(equals + 1);
        EXPECT_EQ(ParseMove(e, shortForm.c_str()), m) << shortForm;
        EXPECT_EQ(ParseMove(e, (shortForm + mark).c_str()), m) << shortForm << mark;
        coordinate.back() = char(std::tolower(coordinate.back()));
        EXPECT_EQ(ParseMove(e, coordinate.c_str()), m) << coordinate;
    }
    if (body[0] >= 'A' && body[0] <= 'Z' && body[0] != 'B' && body[0] != 'O') {
        std::string lower = body;
        lower[0] = char(std::tolower(lower[0]));
        EXPECT_EQ(ParseMove(e, lower.c_str()), m) << lower;
    }
    if (body.size() > 2 && body[2] == 'x' && body[0] >= 'A' && body[0] <= 'Z') {
        std::string noCapture = body.substr(0, 2) + body.substr(3);
        EXPECT_EQ(ParseMove(e, noCapture.c_str()), m) << noCapture;
    }
}

TEST(SanGames, EveryLegalMoveOfRandomGames) {
    auto e = NewTestEngine();
    SanCoverage seen;
    DisplayBoard display;
    ForEachRandomGamePosition(*e, 3, 40, 0x5A4E, [&](Engine& eng) {
        seen.positions++;
        CopyToDisplayBoard(eng, display);
        NotationContext context{&display, eng.pos.currentPly};
        int count = eng.pos.currentPly->moveCount;
        for (int i = 0; i < count; i++) {
            Move m = ListMove(eng, i);
            std::string san = MoveToSan(eng, m);
            ASSERT_EQ(CheckPosition(eng.pos), "") << san;
            std::string mark = MarkByMaking(eng, m);
            ASSERT_GE(san.size(), mark.size());
            std::string body = san.substr(0, san.size() - mark.size());
            EXPECT_EQ(body + mark, san) << "check mark of " << san;
            seen.moves++;
            seen.checks += mark == "+";
            seen.mates += mark == "#";
            CheckSanBody(eng, m, body, seen);
            CheckReadBack(eng, m, san, body, mark);
            EXPECT_EQ(MoveToSan(context, m), body);
            EXPECT_EQ(ParseMove(context, body.c_str()), m) << body;
            EXPECT_EQ(ParseMove(context, san.c_str()), m) << san;
        }
        ASSERT_EQ(CheckPosition(eng.pos), "");
    });
    EXPECT_GE(seen.positions, 300);
    EXPECT_GT(seen.captures, 100);
    EXPECT_GT(seen.promotions, 20);
    EXPECT_GT(seen.castles, 10);
    EXPECT_GT(seen.checks, 50);
    EXPECT_GT(seen.byFile, 10);
    EXPECT_GT(seen.byRank, 0);
    std::printf("SAN: %d positions, %d moves, %d captures, %d promotions, %d castles, %d checks, "
                "%d mates, disambiguated by file %d, rank %d, square %d\n",
                seen.positions, seen.moves, seen.captures, seen.promotions, seen.castles,
                seen.checks, seen.mates, seen.byFile, seen.byRank, seen.bySquare);
}
