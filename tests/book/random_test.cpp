// The random walk: its stored table, the wrap-around and the start-up advance.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "book/random.h"
#include "support.h"

// One step of splitmix64, the generator the table was produced with.
static uint64_t SplitMix64(uint64_t& state) {
    state += 0x9E3779B97F4A7C15ull;
    uint64_t z = state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

TEST(Random, TableIsTheSeededSplitMixSequenceAndWellMixed) {
    uint64_t state = 0x6D6F73734B697465ull;
    for (int i = 0; i < RandomTableSize; i++)
        ASSERT_EQ(randomTable[i], uint32_t(SplitMix64(state) >> 32)) << "entry " << i;

    std::set<uint32_t> distinct(randomTable, randomTable + RandomTableSize);
    EXPECT_EQ(distinct.size(), size_t(RandomTableSize));
    // Every bit is set in roughly half of the entries, and the low bits that book choices
    // take with "mod n" spread evenly over small moduli.
    for (int bit = 0; bit < 32; bit++) {
        int set = 0;
        for (uint32_t v : randomTable)
            set += (v >> bit) & 1;
        EXPECT_GT(set, 1350) << "bit " << bit;
        EXPECT_LT(set, 1650) << "bit " << bit;
    }
    for (uint32_t n : {3u, 5u, 8u}) {
        std::vector<int> counts(n);
        for (uint32_t v : randomTable)
            counts[v % n]++;
        for (int c : counts)
            EXPECT_NEAR(c, RandomTableSize / int(n), RandomTableSize / int(n) / 8) << "mod " << n;
    }
}

TEST(Random, WalkStartsAtTheFirstEntryAndRepeatsAfterTheLast) {
    auto e = NewTestEngine();
    e->book.randomIndex = -1;  // as before the start-up advance
    EXPECT_EQ(NextRandom(*e), randomTable[0]);
    EXPECT_EQ(NextRandom(*e), randomTable[1]);
    for (int i = 2; i < RandomTableSize; i++)
        ASSERT_EQ(NextRandom(*e), randomTable[i]);
    EXPECT_EQ(NextRandom(*e), randomTable[0]);
}

TEST(Random, StartUpAdvanceDependsOnTheSecondsModuloOneThousand) {
    auto e = NewTestEngine();
    e->book.randomIndex = -1;
    AdvanceRandomByTime(*e, 1700000000);  // a multiple of 1000: the walk stays at its start
    EXPECT_EQ(NextRandom(*e), randomTable[0]);

    e->book.randomIndex = -1;
    AdvanceRandomByTime(*e, 1700000567);
    EXPECT_EQ(NextRandom(*e), randomTable[567]);

    e->book.randomIndex = -1;
    AdvanceRandomByTime(*e, 999);
    EXPECT_EQ(NextRandom(*e), randomTable[999]);

    // Construction advances by the clock: the walk has left its unused state.
    auto fresh = CreateEngine(1);
    EXPECT_GE(fresh->book.randomIndex.load(), -1);
    EXPECT_LT(fresh->book.randomIndex.load(), 1000);
}
