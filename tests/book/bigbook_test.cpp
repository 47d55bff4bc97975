// Counting moves into the big book: slots, halving at 255, full entries and picking.
#include <gtest/gtest.h>

#include <vector>

#include "book/bigbook.h"
#include "engine.h"
#include "book/bookimage.h"
#include "bookfiles.h"
#include "support.h"

static constexpr Move E2E4 = MakeMoveValue(62, 64);
static constexpr Move D2D4 = MakeMoveValue(52, 54);
static constexpr Move G1F3 = MakeMoveValue(81, 73);

// An Engine whose big book starts empty whatever image lies in the working folder.
static std::unique_ptr<Engine> EmptyBookEngine() {
    auto e = NewTestEngine();
    ClearBigBook(*e);
    return e;
}

// A key whose home slot is the given one.
static uint64_t KeyAt(int slot, uint32_t high) { return (uint64_t(high) << 32) | uint32_t(slot); }

TEST(BigBook, NewPositionTakesTheLastEmptySlotOfItsEight) {
    auto e = EmptyBookEngine();
    RecordBigBookMove(*e, KeyAt(100, 7), E2E4);
    EXPECT_EQ(FindBigBookEntry(*e, KeyAt(100, 7)), 107);
    RecordBigBookMove(*e, KeyAt(100, 8), E2E4);
    EXPECT_EQ(FindBigBookEntry(*e, KeyAt(100, 8)), 106);
    const BigBookEntry& entry = e->book.bigBook[107];
    EXPECT_EQ(entry.keyLow, 100u);
    EXPECT_EQ(entry.keyHigh, 7u);
    EXPECT_EQ(entry.counts[0], 1);
    EXPECT_EQ(entry.counts[1], 0);
    EXPECT_EQ(entry.moves[0].from, 62);
    EXPECT_EQ(entry.moves[0].to, 64);
}

TEST(BigBook, CountsUpAndHalvesAt255) {
    auto e = EmptyBookEngine();
    uint64_t key = KeyAt(100, 7);
    RecordBigBookMove(*e, key, D2D4);
    RecordBigBookMove(*e, key, D2D4);
    RecordBigBookMove(*e, key, D2D4);
    RecordBigBookMove(*e, key, G1F3);
    for (int game = 1; game <= 300; game++) {
        RecordBigBookMove(*e, key, E2E4);
        const BigBookEntry& entry = e->book.bigBook[107];
        if (game == 254) {
            EXPECT_EQ(entry.counts[2], 254);
            EXPECT_EQ(entry.counts[0], 3);
        }
        if (game == 255) {
            // 255 halves every count; 1 stays 1 rather than dropping the move.
            EXPECT_EQ(entry.counts[2], 127);
            EXPECT_EQ(entry.counts[0], 1);
            EXPECT_EQ(entry.counts[1], 1);
            EXPECT_EQ(entry.counts[3], 0);
            EXPECT_EQ(entry.counts[4], 0);
            EXPECT_EQ(entry.moves[3].from, 0);
        }
    }
    const BigBookEntry& entry = e->book.bigBook[107];
    EXPECT_EQ(entry.counts[2], 172);
    EXPECT_EQ(entry.moves[2].from, 62);
    EXPECT_EQ(entry.moves[2].to, 64);
}

TEST(BigBook, SixthMoveIsNotRecorded) {
    auto e = EmptyBookEngine();
    uint64_t key = KeyAt(5, 1);
    for (int to = 0; to < 6; to++)
        RecordBigBookMove(*e, key, MakeMoveValue(22, 23 + to));
    RecordBigBookMove(*e, key, MakeMoveValue(22, 23));
    const BigBookEntry& entry = e->book.bigBook[12];
    for (int j = 0; j < BigBookMoves; j++)
        EXPECT_EQ(entry.moves[j].to, 23 + j);
    EXPECT_EQ(entry.counts[0], 2);
    EXPECT_EQ(entry.counts[4], 1);
}

TEST(BigBook, CollisionsUseEightSlotsAndReplaceSingletons) {
    auto e = EmptyBookEngine();
    // Positions sharing home slot 32765 fill the last empty slot of the eight from there,
    // wrapping past the end of the table; slot 0 never takes a new position.
    for (uint32_t high = 1; high <= 7; high++) {
        RecordBigBookMove(*e, KeyAt(32765, high), E2E4);
        RecordBigBookMove(*e, KeyAt(32765, high), E2E4);
    }
    std::vector<int> slots;
    for (uint32_t high = 1; high <= 7; high++)
        slots.push_back(FindBigBookEntry(*e, KeyAt(32765, high)));
    EXPECT_EQ(slots, (std::vector<int>{4, 3, 2, 1, 32767, 32766, 32765}));
    EXPECT_EQ(e->book.bigBook[0].counts[0], 0);

    // No empty slot left among the eight: an entry seen once gives way to the newcomer.
    RecordBigBookMove(*e, KeyAt(32765, 8), D2D4);
    EXPECT_EQ(FindBigBookEntry(*e, KeyAt(32765, 8)), -1);  // every slot holds a count of 2
    e->book.bigBook[2].counts[0] = 1;
    RecordBigBookMove(*e, KeyAt(32765, 8), D2D4);
    EXPECT_EQ(FindBigBookEntry(*e, KeyAt(32765, 8)), 2);
    EXPECT_EQ(e->book.bigBook[2].counts[0], 1);
    EXPECT_EQ(e->book.bigBook[2].moves[0].from, 52);
    EXPECT_EQ(FindBigBookEntry(*e, KeyAt(32765, 3)), -1);
}

TEST(BigBook, NinthSlotIsFoundButNeverFilled) {
    auto e = EmptyBookEngine();
    BigBookEntry& ninth = e->book.bigBook[208];
    ninth.keyLow = 200;
    ninth.keyHigh = 9;
    ninth.moves[0] = BookMove{62, 64, 0};
    ninth.counts[0] = 4;
    for (int slot = 200; slot < 208; slot++)
        e->book.bigBook[slot].counts[0] = 3;  // busy with other positions
    RecordBigBookMove(*e, KeyAt(200, 9), E2E4);
    EXPECT_EQ(ninth.counts[0], 5);
    EXPECT_EQ(FindBigBookEntry(*e, KeyAt(200, 9)), 208);
}

TEST(BigBook, PickWeightsMovesByCountAndSkipsSingletons) {
    BigBookEntry entry{};
    entry.counts[0] = 5;
    entry.counts[1] = 1;
    entry.counts[2] = 2;
    // Draws 0..7 cover the total of 8: the draw landing on the count-1 move takes the
    // most played move instead.
    std::vector<int> picks;
    for (uint32_t r = 0; r < 8; r++)
        picks.push_back(PickBigBookMove(entry, r + 8000));
    EXPECT_EQ(picks, (std::vector<int>{0, 0, 0, 0, 0, 0, 2, 2}));

    BigBookEntry singletons{};
    singletons.counts[0] = singletons.counts[1] = singletons.counts[2] = 1;
    EXPECT_EQ(PickBigBookMove(singletons, 0), -1);
    EXPECT_EQ(PickBigBookMove(BigBookEntry{}, 3), -1);

    BigBookEntry tie{};
    tie.counts[0] = 1;
    tie.counts[1] = 3;
    tie.counts[2] = 3;
    EXPECT_EQ(PickBigBookMove(tie, 0), 1);  // the first of the equal counts is the best
}

TEST(BigBook, LoadsAnImageAndReportsBadOnes) {
    auto e = EmptyBookEngine();
    RecordBigBookMove(*e, KeyAt(9, 9), E2E4);
    std::string folder = ScratchFolder();
    std::string path = folder + "/kitebigb.bin";
    ASSERT_EQ(SaveBigBookImage(e->book.bigBook.get(), path.c_str()), ImageSaved);
    ClearBigBook(*e);
    EXPECT_TRUE(LoadBigBook(*e, path.c_str()));
    EXPECT_EQ(FindBigBookEntry(*e, KeyAt(9, 9)), 16);

    WriteFile(path, "short");
    testing::internal::CaptureStdout();
    EXPECT_FALSE(LoadBigBook(*e, path.c_str()));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "--- ERROR: " + path + " is not 1048576 bytes long, the big book is empty ---\n");
    EXPECT_EQ(FindBigBookEntry(*e, KeyAt(9, 9)), -1);
}
