// Book probing: small book before big book, legality of stored moves, the weighted choice
// and the "book" report.
#include <gtest/gtest.h>

#include <string>

#include "book/bigbook.h"
#include "book/probe.h"
#include "book/random.h"
#include "search/scoretext.h"
#include "support.h"

static constexpr Move E2E4 = MakeMoveValue(62, 64);
static constexpr Move D2D4 = MakeMoveValue(52, 54);
static constexpr Move G1F3 = MakeMoveValue(81, 73);
static constexpr Move C2C4 = MakeMoveValue(42, 44);

// An Engine at the starting position with both books empty.
static std::unique_ptr<Engine> EmptyBooks() {
    auto e = NewTestEngine();
    ClearBigBook(*e);
    for (SmallBookEntry& entry : e->book.smallBook)
        entry = SmallBookEntry{};
    return e;
}

static BookMove Stored(Move m) {
    return BookMove{uint8_t(MoveFrom(m)), uint8_t(MoveTo(m)), int8_t(MovePromotion(m))};
}

// Puts a small-book record for the current position at its home slot.
static void PutSmall(Engine& e, std::initializer_list<BookMove> moves) {
    SmallBookEntry& entry = e.book.smallBook[uint32_t(e.pos.hashKey) & (SmallBookSize - 1)];
    entry = SmallBookEntry{};
    entry.keyLow = uint32_t(e.pos.hashKey);
    entry.keyHigh = uint32_t(e.pos.hashKey >> 32);
    int j = 0;
    for (const BookMove& m : moves)
        entry.moves[j++] = m;
}

// Counts each move into the big book for the current position as often as given.
static void PutBig(Engine& e, std::initializer_list<std::pair<Move, int>> counts) {
    for (const auto& [m, n] : counts)
        for (int i = 0; i < n; i++)
            RecordBigBookMove(e, e.pos.hashKey, m);
}

// Makes the next NextRandom return a value r with r % modulus == wanted.
static void SteerRandom(Engine& e, uint32_t modulus, uint32_t wanted) {
    for (int k = 0; k < RandomTableSize; k++)
        if (randomTable[k] % modulus == wanted) {
            e.book.randomIndex = k - 1;
            return;
        }
    FAIL() << "no table value gives " << wanted << " mod " << modulus;
}

TEST(ProbeBook, SmallBookComesFirstAndDrawsAmongItsMoves) {
    auto e = EmptyBooks();
    PutSmall(*e, {Stored(E2E4), Stored(D2D4), Stored(C2C4)});
    PutBig(*e, {{G1F3, 9}});
    const Move expected[3] = {E2E4, D2D4, C2C4};
    for (uint32_t r = 0; r < 3; r++) {
        SteerRandom(*e, 3, r);
        Move m = 0;
        ASSERT_EQ(ProbeBook(*e, &m), BookSource::Small);
        EXPECT_EQ(m, expected[r]);
    }
}

TEST(ProbeBook, SmallEntryWithAnIllegalMoveIsIgnoredForTheBigBook) {
    auto e = EmptyBooks();
    PutSmall(*e, {Stored(E2E4), Stored(MakeMoveValue(62, 65))});  // e2e5: a hash collision
    PutBig(*e, {{G1F3, 3}});
    Move m = 0;
    ASSERT_EQ(ProbeBook(*e, &m), BookSource::Big);
    EXPECT_EQ(m, G1F3);

    // A big entry with an illegal move is no entry either.
    auto f = EmptyBooks();
    PutBig(*f, {{G1F3, 3}, {MakeMoveValue(61, 63), 4}});
    EXPECT_EQ(ProbeBook(*f, &m), BookSource::None);
}

TEST(ProbeBook, MovesSeenOnceAreNotPlayed) {
    auto e = EmptyBooks();
    PutBig(*e, {{E2E4, 1}, {D2D4, 1}, {G1F3, 1}});
    Move m = 0;
    int index = e->book.randomIndex.load();
    EXPECT_EQ(ProbeBook(*e, &m), BookSource::None);
    EXPECT_EQ(e->book.randomIndex.load(), index);  // no draw was spent
}

TEST(ProbeBook, CountsFiveOneTwoChooseByWeight) {
    auto e = EmptyBooks();
    PutBig(*e, {{E2E4, 5}, {D2D4, 1}, {G1F3, 2}});
    const Move expected[8] = {E2E4, E2E4, E2E4, E2E4, E2E4, E2E4, G1F3, G1F3};
    for (uint32_t r = 0; r < 8; r++) {
        SteerRandom(*e, 8, r);
        Move m = 0;
        ASSERT_NE(ProbeBook(*e, &m), BookSource::None);
        EXPECT_EQ(m, expected[r]) << "draw " << r;
    }
}

TEST(ProbeBook, ReturnsTheLegalListEntryNotTheStoredBytes) {
    auto e = EmptyBooks();
    PutSmall(*e, {BookMove{62, 64, 5}});  // a stray promotion byte on e2e4
    Move m = 0;
    ASSERT_NE(ProbeBook(*e, &m), BookSource::None);
    EXPECT_EQ(m, E2E4);

    SetFen(*e, "8/P6k/8/8/8/8/8/K7 w - -");
    PutSmall(*e, {BookMove{27, 28, Knight}});
    ASSERT_NE(ProbeBook(*e, &m), BookSource::None);
    EXPECT_EQ(m, MakeMoveValue(27, 28, Knight));
    PutSmall(*e, {BookMove{27, 28, 0}});  // promotion piece missing: some legal promotion
    ASSERT_NE(ProbeBook(*e, &m), BookSource::None);
    EXPECT_EQ(MoveFrom(m), 27);
    EXPECT_EQ(MoveTo(m), 28);
    EXPECT_NE(MovePromotion(m), 0);
}

TEST(ProbeBook, BookTextListsBothBooksAndTheFill) {
    auto e = EmptyBooks();
    EXPECT_STREQ(BookText(*e),
                 "Small Book: \nBig Book:   \n"
                 "Big Book:  0 entries used out of 32768\n"
                 "Big Book:  0 singleton entries.\n");
    PutSmall(*e, {Stored(E2E4), Stored(G1F3)});
    PutBig(*e, {{D2D4, 12}, {C2C4, 1}});
    RecordBigBookMove(*e, 0x123456789ull, E2E4);
    EXPECT_STREQ(BookText(*e),
                 "Small Book: e4 Nf3 \nBig Book:   d4 (12) c4 (1) \n"
                 "Big Book:  2 entries used out of 32768\n"
                 "Big Book:  1 singleton entries.\n");
}
