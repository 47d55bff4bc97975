// The set of root moves a search may play, and the search restricted to it.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "board/gameline.h"
#include "notation/movetext.h"
#include "search/driver.h"
#include "search/rootfilter.h"
#include "support.h"

namespace {

// The legal move of the text in the engine's position (0 when it names none).
Move MoveOf(Engine& e, const char* text) {
    return ParseMove(e, text);
}

// Searches quietly to depth and returns the move in coordinate notation.
std::string SearchTo(Engine& e, int depth) {
    e.book.useBook = 0;
    e.shell.post = 0;
    e.search.searchDepth = depth;
    Move m = IterativeDeepening(e);
    EXPECT_EQ(CheckPosition(e.pos), "");
    return MoveToCoordinate(m);
}

}  // namespace

TEST(RootFilter, IncludeExcludeAndTheWholeSet) {
    auto e = NewTestEngine();
    RootFilter f;
    EXPECT_FALSE(RootFilterApplies(f, e->pos));
    // Included moves only; an illegal one is refused, a repeated one counted once.
    EXPECT_TRUE(RootFilterInclude(f, e->pos, MoveOf(*e, "a2a3")));
    EXPECT_TRUE(RootFilterInclude(f, e->pos, MoveOf(*e, "h2h3")));
    EXPECT_TRUE(RootFilterInclude(f, e->pos, MoveOf(*e, "a2a3")));
    EXPECT_FALSE(RootFilterInclude(f, e->pos, MoveOf(*e, "e2e5")));
    EXPECT_EQ(f.count, 2);
    EXPECT_TRUE(RootFilterApplies(f, e->pos));
    // An exclusion from the whole set leaves the other 19 moves.
    ClearRootFilter(f);
    EXPECT_TRUE(RootFilterExclude(f, e->pos, MoveOf(*e, "e2e4")));
    EXPECT_EQ(f.count, 19);
    EXPECT_FALSE(RootFilterExclude(f, e->pos, MoveOf(*e, "e7e5")));
    EXPECT_EQ(f.count, 19);
    // Every move back in: the set no longer leaves anything out.
    EXPECT_TRUE(RootFilterInclude(f, e->pos, MoveOf(*e, "e2e4")));
    EXPECT_FALSE(RootFilterApplies(f, e->pos));
}

TEST(RootFilter, ListKeepsOnlyTheSetAndNeverBecomesEmpty) {
    auto e = NewTestEngine();
    RootFilter f;
    RootFilterInclude(f, e->pos, MoveOf(*e, "h2h3"));
    RootFilterInclude(f, e->pos, MoveOf(*e, "b1c3"));
    EXPECT_EQ(FilterRootMoves(f, e->pos), 2);
    EXPECT_EQ(std::string(MoveToCoordinate(EntryMove(e->pos.currentPly->moves[0]))), "h2h3");
    EXPECT_EQ(std::string(MoveToCoordinate(EntryMove(e->pos.currentPly->moves[1]))), "b1c3");
    // An empty set searches every move.
    auto g = NewTestEngine();
    EmptyRootFilter(f, g->pos);
    EXPECT_EQ(FilterRootMoves(f, g->pos), 20);
}

TEST(RootFilter, SetBelongsToItsPosition) {
    auto e = NewTestEngine();
    RootFilter f;
    RootFilterInclude(f, e->pos, MoveOf(*e, "a2a3"));
    GameMakeMove(e->pos, MoveOf(*e, "e2e4"));
    EXPECT_FALSE(RootFilterApplies(f, e->pos));
    EXPECT_EQ(FilterRootMoves(f, e->pos), 20);
    // Moves of the new position start a set of their own.
    EXPECT_TRUE(RootFilterExclude(f, e->pos, MoveOf(*e, "e7e5")));
    EXPECT_EQ(f.count, 19);
}

TEST(RootFilter, SearchPlaysOnlyMovesOfTheSet) {
    // The mate in 2 (h5a5) is left out: the search plays one of the moves it may, with the
    // threads and with several lines as well.
    for (int lines : {1, 3}) {
        auto e = NewTestEngine();
        SetFen(*e, "2brrb2/8/p7/7Q/1p1kpPp1/1P1pN1K1/3P4/8 w - -");
        e->search.multiPv = lines;
        RootFilterInclude(e->search.rootFilter, e->pos, MoveOf(*e, "e3g4"));
        RootFilterInclude(e->search.rootFilter, e->pos, MoveOf(*e, "h5f7"));
        std::string move = SearchTo(*e, 4);
        EXPECT_TRUE(move == "e3g4" || move == "h5f7") << move;
        EXPECT_EQ(e->search.rootMoveCount, 2);
        // The root list is whole again for the caller.
        EXPECT_GT(e->pos.currentPly->moveCount, 2);
    }
    // A single move of the set is searched, not played unsearched.
    auto e = NewTestEngine();
    SetFen(*e, "2brrb2/8/p7/7Q/1p1kpPp1/1P1pN1K1/3P4/8 w - -");
    RootFilterInclude(e->search.rootFilter, e->pos, MoveOf(*e, "f4f5"));
    EXPECT_EQ(SearchTo(*e, 3), "f4f5");
    EXPECT_EQ(e->search.iterationsDone, 3);
}
