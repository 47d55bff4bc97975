// Mates: the distance found stays the true one in every deeper iteration, mate scores keep
// their meaning through the table and the node's mate-distance bounds, a tree with a mate
// found stays small, and a search for a mate stops once it has one.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "board/movegen.h"
#include "notation/movetext.h"
#include "search/driver.h"
#include "search/nodeprologue.h"
#include "search/score.h"
#include "search/searchreport.h"
#include "support.h"

namespace {

// One line of tests/data/mates.epd.
struct MatePosition {
    std::string fen;
    int moves = 0;      // the side to move mates in this many moves, no fewer
    std::string move;   // its first move, in coordinate notation
    int found = 0;      // the first iteration that reports the mate
    std::string id;
};

// Reads "FEN ;mate N ;move M ;found D ;id "NAME"" lines.
std::vector<MatePosition> ReadMates() {
    std::vector<MatePosition> mates;
    std::ifstream in(TestDataPath("mates.epd"));
    for (std::string line; std::getline(in, line);) {
        MatePosition m;
        size_t fields = line.find(" ;");
        m.fen = line.substr(0, fields);
        std::istringstream ops(line.substr(fields));
        for (std::string op; std::getline(ops, op, ';');) {
            std::istringstream words(op);
            std::string name, value;
            words >> name >> value;
            if (name == "mate")
                m.moves = std::stoi(value);
            else if (name == "move")
                m.move = value;
            else if (name == "found")
                m.found = std::stoi(value);
            else if (name == "id")
                m.id = op.substr(op.find('"'));
        }
        mates.push_back(m);
    }
    return mates;
}

// The score of each completed iteration, by depth (0 where none was reported).
std::vector<int> iterationScores;

void RecordIterations(Engine&, const SearchReport& r) {
    if (r.kind != ReportKind::Iteration)
        return;
    if (int(iterationScores.size()) <= r.depth)
        iterationScores.resize(r.depth + 1, 0);
    iterationScores[r.depth] = r.score;
}

// Searches the engine's position to depth, recording each iteration's score; returns the
// move in coordinate notation.
std::string SearchRecording(Engine& e, int depth) {
    iterationScores.clear();
    e.book.useBook = 0;
    e.search.report = RecordIterations;
    e.search.searchDepth = depth;
    Move m = IterativeDeepening(e);
    EXPECT_EQ(CheckPosition(e.pos), "");
    std::string text = MoveFrom(m) ? MoveToCoordinate(m) : "none";
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));  // promotions as UCI writes them
    return text;
}

// The score of a mate given in so many moves.
constexpr int MateIn(int moves) { return MateScore - (2 * moves - 1); }

}  // namespace

TEST(Mates, DistanceHoldsFromTheFirstIterationThatFindsIt) {
    // Mates in 1 to 5, each with its colour-flipped twin, searched two iterations beyond the
    // one that first finds the mate: that iteration and every later one report the true
    // distance, and the mating move is played.
    PositionChecksOff fast;
    std::vector<MatePosition> mates = ReadMates();
    ASSERT_EQ(mates.size(), 26u);
    int black = 0;
    for (const MatePosition& m : mates) {
        auto e = NewTestEngine();
        SetFen(*e, m.fen);
        black += !e->pos.whiteToMove;
        std::string move = SearchRecording(*e, m.found + 2);
        EXPECT_EQ(move, m.move) << m.id;
        // A mate in one ends the search at the root of its first iteration.
        const int last = m.moves == 1 ? m.found : m.found + 2;
        ASSERT_EQ(int(iterationScores.size()), last + 1) << m.id;
        for (int depth = m.found; depth <= last; depth++)
            EXPECT_EQ(iterationScores[depth], MateIn(m.moves)) << m.id << " depth " << depth;
    }
    EXPECT_EQ(black, 13);
}

TEST(Mates, ShorterMateIsNotGivenUpForALongerOne) {
    // The mate in 2 (a4b4) is found at depth 2; a mate in 3 (g2g3) stood beside it, which
    // deeper iterations played once the null move of the defender, who has a single reply
    // after a4b4, hid the short mate from an aspiration window around the mate score.
    auto e = NewTestEngine();
    SetFen(*e, "5BQ1/2N4p/6bP/5Pk1/Qp6/1K2NBb1/2pR2R1/2B5 w - -");
    EXPECT_EQ(SearchRecording(*e, 7), "a4b4");
    for (int depth = 2; depth <= 7; depth++)
        EXPECT_EQ(iterationScores[depth], MateIn(2)) << "depth " << depth;
}

TEST(Mates, TreeStaysSmallOnceAMateIsFound) {
    // Checks everywhere: with the mate in 2 found, no line longer than it can matter, and
    // depth 8 needs a few thousand nodes (it took tens of millions by depth 6).
    auto e = NewTestEngine();
    SetFen(*e, "5BQ1/2N4p/6bP/5Pk1/Qp6/1K2NBb1/2pR2R1/2B5 w - -");
    SearchRecording(*e, 8);
    EXPECT_LT(e->pos.nodeCount, 2000000);
}

TEST(Mates, TableKeepsMateBoundsItCannotPlaceAsMateAtTheNode) {
    // A fail high over "mated at ply 3" stored at ply 7 would read, counted from the node,
    // as a mate before the node itself; it is kept as being mated at the node, which holds
    // at any ply it is read at.
    EXPECT_EQ(ScoreToTable(3 - MateScore, 7), -MateScore);
    EXPECT_EQ(ScoreFromTable(ScoreToTable(3 - MateScore, 7), 5), 5 - MateScore);
    EXPECT_EQ(ScoreToTable(MateScore - 3, 7), MateScore);
    // Mates the node can meet keep their distance from it.
    EXPECT_EQ(ScoreToTable(9 - MateScore, 7), 2 - MateScore);
    EXPECT_EQ(ScoreFromTable(ScoreToTable(MateScore - 9, 7), 3), MateScore - 5);
    EXPECT_EQ(ScoreToTable(1234, 7), 1234);
}

TEST(Mates, NodeOutsideAMateWindowSettlesAtOnce) {
    // At ply 4 nothing mates before ply 5 and, the node not being mate, nothing is mated
    // before ply 6: windows beyond those scores settle the node with that bound.
    auto e = NewTestEngine();
    SetFen(*e, "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq -");
    e->pos.searchPly = 4;
    int score = 0;
    EXPECT_TRUE(ResolveNode(*e, MateScore - 5, MateScore - 4, score));
    EXPECT_EQ(score, MateScore - 5);
    EXPECT_TRUE(ResolveNode(*e, -Infinity, 6 - MateScore, score));
    EXPECT_EQ(score, 6 - MateScore);
    EXPECT_FALSE(ResolveNode(*e, MateScore - 7, Infinity, score));
    EXPECT_FALSE(ResolveNode(*e, -Infinity, 7 - MateScore, score));
    e->pos.searchPly = 0;
}

TEST(Mates, MateSoughtEndsTheSearchOnceProven) {
    // The mate in 2 is proven at depth 6: a search for a mate in 2 or fewer ends there, one
    // for a mate in 1 goes on to its depth limit, and a depth limit below 6 ends it first.
    struct Case {
        int mateMoves, depth, iterations;
        const char* move;
    } cases[] = {{2, 30, 6, "h5a5"}, {3, 30, 6, "h5a5"}, {1, 8, 8, "h5a5"}, {2, 3, 3, "e3g4"}};
    for (const Case& c : cases) {
        auto e = NewTestEngine();
        SetFen(*e, "2brrb2/8/p7/7Q/1p1kpPp1/1P1pN1K1/3P4/8 w - -");
        e->search.mateMoves = c.mateMoves;
        EXPECT_EQ(SearchRecording(*e, c.depth), c.move) << c.mateMoves << " " << c.depth;
        EXPECT_EQ(e->search.iterationsDone, c.iterations) << c.mateMoves << " " << c.depth;
    }
}
