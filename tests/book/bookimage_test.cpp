// Book image files: byte layout, size checks and failed writes.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "book/bookimage.h"
#include "bookfiles.h"

static bool SmallTableEmpty(const SmallBookEntry* table) {
    for (int i = 0; i < SmallBookSize; i++)
        if (table[i].keyLow || table[i].keyHigh || table[i].moves[0].from)
            return false;
    return true;
}

static bool BigTableEmpty(const BigBookEntry* table) {
    for (int i = 0; i < BigBookSize; i++)
        if (table[i].keyLow || table[i].keyHigh || table[i].counts[0] || table[i].moves[0].from)
            return false;
    return true;
}

TEST(BookImage, SmallBookIsLittleEndianFieldByField) {
    std::string folder = ScratchFolder();
    auto table = std::make_unique<SmallBookEntry[]>(SmallBookSize);
    table[1].keyLow = 0x04030201;
    table[1].keyHigh = 0x88776655;
    table[1].moves[0] = BookMove{62, 64, 0};
    table[1].moves[1] = BookMove{22, 21, -2};
    std::string path = folder + "/kitebook.bin";
    ASSERT_EQ(SaveSmallBookImage(table.get(), path.c_str()), ImageSaved);

    std::string bytes = ReadFile(path);
    ASSERT_EQ(long(bytes.size()), SmallBookImageBytes);
    const std::string expected("\x01\x02\x03\x04\x55\x66\x77\x88\x3e\x40\x00\x16\x15\xfe", 14);
    EXPECT_EQ(bytes.substr(20, 14), expected);
    EXPECT_EQ(bytes.substr(34, 6), std::string(6, '\0'));
    EXPECT_EQ(bytes.substr(0, 20), std::string(20, '\0'));
    EXPECT_FALSE(FileExists(path + ".new"));

    auto back = std::make_unique<SmallBookEntry[]>(SmallBookSize);
    ASSERT_EQ(LoadSmallBookImage(back.get(), path.c_str()), ImageLoaded);
    EXPECT_EQ(back[1].keyLow, 0x04030201u);
    EXPECT_EQ(back[1].keyHigh, 0x88776655u);
    EXPECT_EQ(back[1].moves[1].from, 22);
    EXPECT_EQ(back[1].moves[1].promotion, -2);
    EXPECT_EQ(back[1].moves[2].from, 0);
}

TEST(BookImage, BigBookIsLittleEndianWithCountsAndZeroSpare) {
    std::string folder = ScratchFolder();
    auto table = std::make_unique<BigBookEntry[]>(BigBookSize);
    BigBookEntry& entry = table[BigBookSize - 1];
    entry.keyLow = 0xddccbbaa;
    entry.keyHigh = 0x01020304;
    entry.moves[0] = BookMove{27, 28, 5};
    entry.moves[4] = BookMove{61, 81, 0};
    entry.counts[0] = 200;
    entry.counts[4] = 7;
    entry.spare[0] = 99;  // never written
    std::string path = folder + "/kitebigb.bin";
    ASSERT_EQ(SaveBigBookImage(table.get(), path.c_str()), ImageSaved);

    std::string bytes = ReadFile(path);
    ASSERT_EQ(long(bytes.size()), BigBookImageBytes);
    std::string last = bytes.substr(bytes.size() - 32);
    const std::string expected(
        "\xaa\xbb\xcc\xdd\x04\x03\x02\x01"
        "\x1b\x1c\x05" "\0\0\0" "\0\0\0" "\0\0\0" "\x3d\x51\x00"
        "\xc8\0\0\0\x07" "\0\0\0\0", 32);
    EXPECT_EQ(last, expected);

    auto back = std::make_unique<BigBookEntry[]>(BigBookSize);
    ASSERT_EQ(LoadBigBookImage(back.get(), path.c_str()), ImageLoaded);
    EXPECT_EQ(back[BigBookSize - 1].keyLow, 0xddccbbaau);
    EXPECT_EQ(back[BigBookSize - 1].counts[0], 200);
    EXPECT_EQ(back[BigBookSize - 1].moves[4].to, 81);
    EXPECT_EQ(back[BigBookSize - 1].moves[0].promotion, 5);
}

TEST(BookImage, MissingShortLongAndUnreadableImagesLeaveEmptyTables) {
    std::string folder = ScratchFolder();
    auto small = std::make_unique<SmallBookEntry[]>(SmallBookSize);
    auto big = std::make_unique<BigBookEntry[]>(BigBookSize);
    // Anything but a whole image must leave the tables empty, not half filled.
    struct Case {
        std::string name;
        long bytes;
        ImageResult result;
    };
    for (const Case& c : {Case{"short", -1, ImageWrongSize}, Case{"long", 1, ImageWrongSize},
                          Case{"empty", 0, ImageWrongSize}}) {
        SCOPED_TRACE(c.name);
        long smallBytes = c.name == "empty" ? 0 : SmallBookImageBytes + c.bytes;
        long bigBytes = c.name == "empty" ? 0 : BigBookImageBytes + c.bytes;
        WriteFile(folder + "/small", std::string(size_t(smallBytes), '\x01'));
        WriteFile(folder + "/big", std::string(size_t(bigBytes), '\x01'));
        EXPECT_EQ(LoadSmallBookImage(small.get(), (folder + "/small").c_str()), c.result);
        EXPECT_TRUE(SmallTableEmpty(small.get()));
        EXPECT_EQ(LoadBigBookImage(big.get(), (folder + "/big").c_str()), c.result);
        EXPECT_TRUE(BigTableEmpty(big.get()));
    }
    small[5].moves[0].from = 31;
    big[5].counts[0] = 3;
    EXPECT_EQ(LoadSmallBookImage(small.get(), (folder + "/none").c_str()), ImageMissing);
    EXPECT_TRUE(SmallTableEmpty(small.get()));
    EXPECT_EQ(LoadBigBookImage(big.get(), (folder + "/none").c_str()), ImageMissing);
    EXPECT_TRUE(BigTableEmpty(big.get()));
    // A folder opens but cannot be read.
    EXPECT_EQ(LoadBigBookImage(big.get(), folder.c_str()), ImageUnreadable);
    EXPECT_TRUE(BigTableEmpty(big.get()));
}

TEST(BookImage, FailedSaveKeepsTheEarlierFile) {
    std::string folder = ScratchFolder();
    auto big = std::make_unique<BigBookEntry[]>(BigBookSize);
    EXPECT_EQ(SaveBigBookImage(big.get(), (folder + "/no/such/folder/kitebigb.bin").c_str()),
              ImageCannotCreate);
    // A folder in the way of the file: the data is written, the rename fails.
    std::string blocked = folder + "/kitebigb.bin";
    ASSERT_EQ(std::system(("mkdir '" + blocked + "' && touch '" + blocked + "/keep'").c_str()), 0);
    EXPECT_EQ(SaveBigBookImage(big.get(), blocked.c_str()), ImageWriteFailed);
    EXPECT_TRUE(FileExists(blocked + "/keep"));
    EXPECT_FALSE(FileExists(blocked + ".new"));
}
